#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "solver/conduction.h"
#include "solver/iterative_solver.h"
#include "solver/model_state.h"
#include "solver/network_fit.h"
#include "solver/stage_values.h"

namespace resist_model {

// Number of threads of a run; 0 (the default) uses every hardware thread. Stages run side
// by side, one thread each, as far as the stages and the memory budget allow; the other
// threads share the work inside the running stages. Results and the list file do not
// depend on it.
void SetStageThreads(unsigned threads);
unsigned StageThreads();

// A stage holds about seven doubles per cell while it runs (its diagonal, right-hand side
// and temperatures, and the solver's four work vectors). Stages run side by side only as
// far as their working sets stay within the budget; one stage always runs.
constexpr std::int64_t kStageBytesPerCell = 7 * sizeof(double);
constexpr std::int64_t kStageMemoryBudget = std::int64_t{2} << 30;  // 2 GiB

// The most stages that run side by side in a run of `stages` stages on `cells` cells: the
// setting above (or the hardware threads), at most one per stage and within the memory
// budget. A run without a setting leads no more of them than there are free cores when
// its stages start (FreeCores), so fewer may run side by side.
unsigned StageThreadsFor(std::int64_t cells, unsigned stages);
// All threads of a run: the setting above or the hardware threads.
unsigned RunThreads();

// Starts one stage thread; it throws what std::thread throws when no thread can be
// created. Tests replace it to make starts fail; null restores the default.
using ThreadStarter = std::thread (*)(std::function<void()> body);
void SetThreadStarterForTest(ThreadStarter starter);

// One solved stage: temperatures by cell number and the solver's outcome.
struct StageSolution {
    std::vector<double> temperature;
    SolveResult solve;
    bool heat_reaches_solid = false;  // some solid cell has a non-zero right-hand side
};

// Builds stage g's system on the shared conduction matrix and solves it from zero.
StageSolution SolveStage(const ModelState& state, const FourDiagonal& conduction, int g,
                         SolverWork& work, SolveCrew crew = {});

// Outcome of one run.
struct RunOutput {
    int status = 0;
    int model_type = 0;
    std::vector<NamedResistance> results;  // names terminated after their last non-blank
    std::vector<StageValues> stages;       // what each stage's temperatures reduced to
    FittedNetwork network;                 // DELPHI: the fitted network
};

// One solver run: reads the input, echoes it and writes the list file when list_path is
// not empty, runs the stages and derives the resistances. Every array is released and
// both files are closed before it returns.
RunOutput rst_main(const std::string& input_path, const std::string& list_path);

}  // namespace resist_model
