#pragma once

#include <string>
#include <vector>

#include "solver/conduction.h"
#include "solver/iterative_solver.h"
#include "solver/model_state.h"
#include "solver/stage_values.h"

namespace resist_model {

// Number of stages run at the same time; 0 (the default) uses every hardware thread.
// Results and the list file do not depend on it.
void SetStageThreads(unsigned threads);
unsigned StageThreads();

// One solved stage: temperatures by cell number and the solver's outcome.
struct StageSolution {
    std::vector<double> temperature;
    SolveResult solve;
    bool heat_reaches_solid = false;  // some solid cell has a non-zero right-hand side
};

// Builds stage g's system on the shared conduction matrix and solves it from zero.
StageSolution SolveStage(const ModelState& state, const FourDiagonal& conduction, int g,
                         SolverWork& work);

// Outcome of one run.
struct RunOutput {
    int status = 0;
    int model_type = 0;
    std::vector<NamedResistance> results;  // names terminated after their last non-blank
    std::vector<StageValues> stages;       // what each stage's temperatures reduced to
};

// One solver run: reads the input, echoes it and writes the list file when list_path is
// not empty, runs the stages and derives the resistances. Every array is released and
// both files are closed before it returns.
RunOutput rst_main(const std::string& input_path, const std::string& list_path);

}  // namespace resist_model
