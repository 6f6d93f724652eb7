#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tests/solver/solver_input.h"

// An independent check of the solver library, written from the conduction rules alone:
// each stage's linear system is assembled cell by cell from the series half-cell
// conductances and the boundary records, and solved directly by a banded Cholesky
// factorisation (the cells ordered with the longest axis slowest, so the band is as
// narrow as the grid allows). Nothing of solver/ is used.
namespace solver_oracle {

using solver_test::Input;

// What one stage reduces to. Temperatures are rises per watt of the whole package.
struct Stage {
    std::vector<double> temperature;  // by cell, i fastest
    double chip_max = -1.0e20;        // two- and three-resistor
    double tmax[3] = {-1.0e20, -1.0e20, -1.0e20};  // TOP, BOTTOM, LEAD surface maxima
    double junction_max = -1.0e20;    // DELPHI
    std::vector<double> area, mean_temperature, heat_flow;  // DELPHI, per node 1..NSURF
};

struct Outcome {
    std::vector<Stage> stages;
    // Named resistances in the library's order ("J-T", "J-B", "J-L"; the fitted links).
    std::vector<std::pair<std::string, double>> resistances;
    // DELPHI: the junction-star value RJ and the link values after each objective, by link
    // number (-1 for an adiabatic link).
    double rj = 0.0;
    std::vector<double> star, links;
    bool fit_failed = false;
};

Outcome Solve(const Input& input);

// How far a DELPHI network (one resistance per link in link order, -1 for a link that is
// not there) misses the outcome's junction maxima when it is solved under each case of the
// input: 1 W into J, each surface node cooled through its class's coefficient times its
// whole area. The largest and rms magnitude in per cent, and the case of the largest.
struct NetworkError {
    double worst = 0.0;
    double rms = 0.0;
    int worst_case = 0;
};
NetworkError JunctionError(const Input& input, const Outcome& outcome,
                           const std::vector<double>& links);

// The solver input file's records read back into an Input (the test's own reader).
bool ParseInput(const std::string& bytes, Input& input);

// Solves A x = b for a symmetric positive definite banded A given by its lower band:
// band[i * (w + 1) + (j - i + w)] holds A(i, j) for i - w <= j <= i. Exposed so the
// factorisation can be checked on its own.
std::vector<double> BandSolve(std::vector<double> band, int w, std::vector<double> b);

}  // namespace solver_oracle
