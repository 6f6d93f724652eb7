// The solve shared among threads, with the empty cells left out, against a plain
// one-thread loop written from the method's rules that visits every cell in order: the
// same iterations, error and solution to the last bit, for crews of 1 to 8 threads, on
// grids with empty cells and of odd shapes.
#include <cmath>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "solver/iterative_solver.h"
#include "solver/pass_crew.h"

namespace {

using namespace resist_model;

// A symmetric 7-point system on an im x jm x km grid: solid cells coupled to their solid
// neighbours with varied conductances, a weak tie to the ambient so that every part of the
// solid is definite, identity rows for empty cells, heat in a few solid cells.
struct Grid {
    std::int64_t im, jm, km;
    std::vector<double> diag, cx, cy, cz, b;

    Grid(std::int64_t i_count, std::int64_t j_count, std::int64_t k_count,
         bool (*empty)(std::int64_t, std::int64_t, std::int64_t))
        : im(i_count), jm(j_count), km(k_count) {
        const std::int64_t n_all = im * jm * km;
        diag.assign(n_all, 0.0), cx.assign(n_all, 0.0), cy.assign(n_all, 0.0);
        cz.assign(n_all, 0.0), b.assign(n_all, 0.0);
        auto solid = [&](std::int64_t i, std::int64_t j, std::int64_t k) {
            return i < im && j < jm && k < km && !empty(i, j, k);
        };
        std::int64_t n = 0;
        for (std::int64_t k = 0; k < km; ++k) {
            for (std::int64_t j = 0; j < jm; ++j) {
                for (std::int64_t i = 0; i < im; ++i, ++n) {
                    if (!solid(i, j, k)) continue;
                    const double g = 0.5 + std::fmod(0.37 * static_cast<double>(n), 1.5);
                    diag[n] += 1e-3 * g;
                    if (n % 97 == 5 || n_all < 97) b[n] = g;
                    double* upper[3] = {&cx[n], &cy[n], &cz[n]};
                    const std::int64_t step[3] = {1, im, im * jm};
                    const bool next[3] = {solid(i + 1, j, k), solid(i, j + 1, k),
                                          solid(i, j, k + 1)};
                    for (int axis = 0; axis < 3; ++axis) {
                        if (!next[axis]) continue;
                        const double c = g * (1.0 + 0.25 * axis);
                        *upper[axis] = -c;
                        diag[n] += c;
                        diag[n + step[axis]] += c;
                    }
                }
            }
        }
        for (n = 0; n < n_all; ++n) {
            if (diag[n] == 0.0) diag[n] = 1.0;
        }
    }
    StencilView View() const {
        return {diag.data(), cx.data(), cy.data(), cz.data(), im * jm * km, im, im * jm};
    }
};

double Dot(const std::vector<double>& x, const std::vector<double>& y) {
    double s[4] = {0.0, 0.0, 0.0, 0.0};
    for (std::size_t n = 0; n < x.size(); ++n) s[n & 3] += x[n] * y[n];
    return (s[0] + s[1]) + (s[2] + s[3]);
}

// The method as written: every cell of every pass, in increasing cell order.
SolveResult PlainSolve(const StencilView& a, const std::vector<double>& b,
                       std::vector<double>& x, int nitr, double eitr) {
    const std::int64_t n_all = a.ncell, im = a.im, imjm = a.imjm;
    std::vector<double> d(n_all), r(n_all), p(n_all), q(n_all);
    auto product = [&](const std::vector<double>& v, std::vector<double>& y) {
        for (std::int64_t n = 0; n < n_all; ++n) {
            double s = a.diag[n] * v[n];
            if (n + 1 < n_all) s += a.cx[n] * v[n + 1];
            if (n >= 1) s += a.cx[n - 1] * v[n - 1];
            if (n + im < n_all) s += a.cy[n] * v[n + im];
            if (n >= im) s += a.cy[n - im] * v[n - im];
            if (n + imjm < n_all) s += a.cz[n] * v[n + imjm];
            if (n >= imjm) s += a.cz[n - imjm] * v[n - imjm];
            y[n] = s;
        }
    };
    auto precondition = [&](const std::vector<double>& v, std::vector<double>& z) {
        for (std::int64_t n = 0; n < n_all; ++n) {
            double t = v[n];
            if (n >= 1) t -= a.cx[n - 1] * z[n - 1];
            if (n >= im) t -= a.cy[n - im] * z[n - im];
            if (n >= imjm) t -= a.cz[n - imjm] * z[n - imjm];
            z[n] = d[n] * t;
        }
        for (std::int64_t n = n_all - 2; n >= 0; --n) {
            double t = a.cx[n] * z[n + 1];
            if (n + im < n_all) t += a.cy[n] * z[n + im];
            if (n + imjm < n_all) t += a.cz[n] * z[n + imjm];
            z[n] -= d[n] * t;
        }
    };
    SolveResult result;
    const double bb = Dot(b, b);
    if (!(bb > 0.0)) {
        result.flag = kZeroRightHandSide;
        return result;
    }
    FactorPreconditioner(a, d.data());
    product(x, q);
    for (std::int64_t n = 0; n < n_all; ++n) r[n] = b[n] - q[n];
    precondition(r, p);
    double rho = Dot(r, p);
    for (int k = 1; k <= nitr; ++k) {
        result.iterations = k;
        product(p, q);
        const double alpha = rho / (Dot(p, q) + kGuard);
        for (std::int64_t n = 0; n < n_all; ++n) x[n] += alpha * p[n];
        result.error = std::sqrt(alpha * alpha * Dot(q, q) / bb);
        if (result.error <= eitr) {
            result.flag = kConverged;
            return result;
        }
        for (std::int64_t n = 0; n < n_all; ++n) r[n] -= alpha * q[n];
        precondition(r, q);
        const double rho_next = Dot(r, q);
        const double beta = rho_next / (rho + kGuard);
        for (std::int64_t n = 0; n < n_all; ++n) p[n] = q[n] + beta * p[n];
        rho = rho_next;
    }
    return result;
}

// One seat and threads - 1 helpers, as a run with fewer stages than threads has them.
SolveResult CrewSolve(const StencilView& a, const std::vector<double>& b,
                      std::vector<double>& x, int nitr, double eitr, int threads,
                      Sharing sharing = Sharing::kByGrid) {
    PassCrew crew(1, threads);
    crew.AddHelpers(threads - 1);
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t) helpers.emplace_back([&crew] { crew.Help(); });
    SolverWork work;
    SolveResult result =
        IterativeSolve(a, b.data(), x.data(), nitr, eitr, work, {&crew, 0, sharing});
    crew.Leave();
    for (std::thread& helper : helpers) helper.join();
    return result;
}

bool NoHoles(std::int64_t, std::int64_t, std::int64_t) { return false; }
bool EveryThird(std::int64_t i, std::int64_t j, std::int64_t k) { return (i + j + k) % 3 == 1; }
// A notch through the middle of a slab, an empty corner, and a last plane that is empty
// but for one cell.
bool NotchedSlab(std::int64_t i, std::int64_t j, std::int64_t k) {
    if (k == 5) return !(i == 7 && j == 29);
    return (i >= 90 && i < 110 && j >= 10) || (i < 40 && j < 8 && k < 3);
}
bool GapInTheLine(std::int64_t i, std::int64_t j, std::int64_t k) {
    return (i + j + k) % 40 >= 15 && (i + j + k) % 40 < 22;
}

TEST(ParallelSolveTest, EveryCrewGivesThePlainLoopsBits) {
    struct Case {
        const char* name;
        std::int64_t im, jm, km;
        bool (*empty)(std::int64_t, std::int64_t, std::int64_t);
    } cases[] = {
        {"one cell", 1, 1, 1, NoHoles},
        {"1 x 1 x n", 1, 1, 300, GapInTheLine},
        {"n x 1 x 1", 300, 1, 1, GapInTheLine},
        {"1 x n x 1", 1, 300, 1, NoHoles},
        {"odd sizes, holes", 23, 17, 9, EveryThird},
        {"notched slab, many units", 200, 33, 6, NotchedSlab},
    };
    for (const Case& c : cases) {
        const Grid grid(c.im, c.jm, c.km, c.empty);
        const StencilView a = grid.View();
        std::vector<double> plain(a.ncell, 0.0);
        const SolveResult expected = PlainSolve(a, grid.b, plain, 400, 1e-9);
        ASSERT_GT(expected.iterations, 0) << c.name;
        for (int threads : {1, 2, 4, 8}) {
            std::vector<double> x(a.ncell, 0.0);
            const SolveResult got = CrewSolve(a, grid.b, x, 400, 1e-9, threads);
            EXPECT_EQ(got.iterations, expected.iterations) << c.name << ", " << threads;
            EXPECT_EQ(got.flag, expected.flag) << c.name << ", " << threads;
            EXPECT_EQ(got.error, expected.error) << c.name << ", " << threads;
            std::int64_t differing = 0;
            for (std::int64_t n = 0; n < a.ncell; ++n) differing += x[n] != plain[n];
            EXPECT_EQ(differing, 0) << c.name << ", " << threads << " threads";
        }
    }
}

// The grid's size picks between going alone and sharing, so the test above takes one way for
// each grid; pinned, each way must give the plain loop's bits, sharing also while the crew has
// no helpers.
TEST(ParallelSolveTest, AloneAndSharedEachGiveThePlainLoopsBits) {
    const Grid grids[] = {Grid(23, 17, 9, EveryThird), Grid(200, 33, 6, NotchedSlab)};
    for (const Grid& grid : grids) {
        const StencilView a = grid.View();
        std::vector<double> plain(a.ncell, 0.0);
        const SolveResult expected = PlainSolve(a, grid.b, plain, 400, 1e-9);
        ASSERT_GT(expected.iterations, 1) << grid.im;
        for (Sharing sharing : {Sharing::kAlone, Sharing::kShared}) {
            for (int threads : {1, 3, 8}) {
                const std::string name = std::to_string(grid.im) +
                                         (sharing == Sharing::kAlone ? " alone, " : " shared, ") +
                                         std::to_string(threads) + " threads";
                std::vector<double> x(a.ncell, 0.0);
                const SolveResult got = CrewSolve(a, grid.b, x, 400, 1e-9, threads, sharing);
                EXPECT_EQ(got.iterations, expected.iterations) << name;
                EXPECT_EQ(got.error, expected.error) << name;
                EXPECT_TRUE(x == plain) << name;
            }
        }
    }
}

// A start vector other than 0 in an otherwise empty cell keeps that cell in the passes.
TEST(ParallelSolveTest, AStartValueInAnEmptyCellIsSolvedToo) {
    const Grid grid(30, 20, 4, EveryThird);
    const StencilView a = grid.View();
    std::vector<double> plain(a.ncell, 0.0);
    plain[1] = 0.5;  // (1, 0, 0) is empty: an identity row with b = 0
    ASSERT_EQ(grid.cx[1], 0.0);
    std::vector<double> x = plain;
    const SolveResult expected = PlainSolve(a, grid.b, plain, 400, 1e-9);
    const SolveResult got = CrewSolve(a, grid.b, x, 400, 1e-9, 4);
    EXPECT_EQ(got.iterations, expected.iterations);
    EXPECT_EQ(x, plain);
    EXPECT_NEAR(x[1], 0.0, 1e-9);
}

}  // namespace
