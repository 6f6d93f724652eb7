#pragma once

#include <cstdint>
#include <vector>

namespace resist_model {

// Relaxation factor of the modified incomplete Cholesky factor and the guard against
// vanishing pivots and denominators. Both are single-precision constants widened to
// double, so the results match the single-precision literals the method was tuned with.
constexpr double kRelaxation = static_cast<double>(0.95f);
constexpr double kGuard = static_cast<double>(1e-20f);

// A symmetric 7-point matrix in 4-diagonal form (see FourDiagonal), borrowed: the stage's
// own diagonal with the run's shared couplings.
struct StencilView {
    const double* diag = nullptr;
    const double* cx = nullptr;
    const double* cy = nullptr;
    const double* cz = nullptr;
    std::int64_t ncell = 0;
    std::int64_t im = 0;
    std::int64_t imjm = 0;
};

enum SolveFlag { kNotConverged = 0, kConverged = 1, kZeroRightHandSide = 2 };

struct SolveResult {
    int iterations = 0;
    double error = 0.0;
    int flag = kNotConverged;
};

// The four work vectors of one solve, kept so a caller can reuse them, and what the solve
// keeps per grid line.
struct SolverWork {
    std::vector<double> pivots;  // inverse pivots of the incomplete factor
    std::vector<double> r, p;
    std::vector<double> qz;      // A p, then the preconditioned residual
    // Per line, the cells from..to-1 that take part; the others stay 0 throughout.
    std::vector<std::int32_t> line_from, line_to;
};

class PassCrew;

// Whether a solve with a crew shares its passes. By default the size of the grid decides,
// so a grid takes the same way on every run; tests pin either way, as the two sweep the
// grid in different orders.
enum class Sharing { kByGrid, kAlone, kShared };

// Where the parallel passes of a solve run: a seat of a crew, or without a crew only on
// the calling thread. The result does not depend on it.
struct SolveCrew {
    PassCrew* crew = nullptr;
    int seat = 0;
    // kShared shares even while the crew has no helpers.
    Sharing sharing = Sharing::kByGrid;
};

double VectorDot(const double* x, const double* y, std::int64_t n);
void StencilMatvec(const StencilView& a, const double* x, double* y);
void FactorPreconditioner(const StencilView& a, double* pivots);
void ApplyPreconditioner(const StencilView& a, const double* pivots, const double* r,
                         double* z);

// Preconditioned conjugate gradients from the start vector in x. The error of an
// iteration is the length of its change of the residual relative to the length of b; the
// iteration stops once that is at most eitr. The result is the same bit for bit whatever
// crew runs it.
SolveResult IterativeSolve(const StencilView& a, const double* b, double* x, int nitr,
                           double eitr, SolverWork& work, SolveCrew crew = {});

}  // namespace resist_model
