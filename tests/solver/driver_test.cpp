// The run as a whole: its list file against golden files (whose numbers oracle_test checks
// against an independent direct solve), stage order and
// results independent of how many stages run at once, and the solver's own counting.
#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "solver/conduction.h"
#include "solver/iterative_solver.h"
#include "solver/read_input.h"
#include "solver/record_reader.h"
#include "solver/resist_model.h"
#include "solver/rst_main.h"
#include "tests/solver/run_list.h"
#include "tests/solver/solver_input.h"
#include "tests/solver/test_models.h"

namespace {

using namespace solver_test;

const std::string kData = std::string(ZENTRIK_TEST_DATA) + "/solver/";

TEST(ListFileTest, MatchesTheGoldenFiles) {
    resist_model::RunOutput out;
    EXPECT_EQ(ListOf(kData + "two_resistor.in", &out), ReadText(kData + "two_resistor.l"));
    EXPECT_EQ(out.status, 0);
    EXPECT_EQ(ListOf(kData + "delphi.in", &out), ReadText(kData + "delphi.l"));
    EXPECT_EQ(out.status, 0);
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void ExpectSameStages(const resist_model::RunOutput& a, const resist_model::RunOutput& b) {
    ASSERT_EQ(a.status, b.status);
    ASSERT_EQ(a.results.size(), b.results.size());
    for (std::size_t r = 0; r < a.results.size(); ++r) {
        EXPECT_EQ(a.results[r].name, b.results[r].name);
        EXPECT_TRUE(SameBits(a.results[r].value, b.results[r].value));
    }
    ASSERT_EQ(a.stages.size(), b.stages.size());
    for (std::size_t s = 0; s < a.stages.size(); ++s) {
        const resist_model::StageValues& x = a.stages[s];
        const resist_model::StageValues& y = b.stages[s];
        EXPECT_TRUE(SameBits(x.chip_max, y.chip_max));
        EXPECT_TRUE(SameBits(x.junction_max, y.junction_max));
        for (int c = 0; c < 4; ++c) EXPECT_TRUE(SameBits(x.tmax[c], y.tmax[c]));
        ASSERT_EQ(x.heat_flow.size(), y.heat_flow.size());
        for (std::size_t n = 0; n < x.heat_flow.size(); ++n) {
            EXPECT_TRUE(SameBits(x.heat_flow[n], y.heat_flow[n]));
            EXPECT_TRUE(SameBits(x.mean_temperature[n], y.mean_temperature[n]));
        }
    }
}

// The DELPHI model's network is refined jointly: its links too are the same on every run.
TEST(ConcurrencyTest, StagesRunSideBySideGiveTheOneThreadRunBitForBit) {
    for (const Input& input : {PackageModel(2, true), DelphiModel(11)}) {
        TempPath path("threads");
        WriteFile(path.str(), Serialise(input));
        resist_model::SetStageThreads(1);
        resist_model::RunOutput one;
        std::string one_list = ListOf(path.str(), &one);
        if (input.type == 3) {
            EXPECT_GT(one.network.error.worst, 0.0);
            EXPECT_NE(one.network.resistance, one.network.two_step) << "not refined";
        }
        for (unsigned threads : {2u, 3u, 4u, 8u}) {
            resist_model::SetStageThreads(threads);
            resist_model::RunOutput many;
            EXPECT_EQ(ListOf(path.str(), &many), one_list) << threads << " threads";
            ExpectSameStages(one, many);
        }
        resist_model::SetStageThreads(0);
    }
}

// One solid cell held at 0 on one face: the incomplete factor is exact, so the first
// iteration solves the system, but its change of the residual is the whole residual.
TEST(IterationTest, OneCellConvergesInTheSecondIteration) {
    double diag = 3.0, zero = 0.0, b = 0.25, x = 0.0;
    resist_model::StencilView a{&diag, &zero, &zero, &zero, 1, 1, 1};
    resist_model::SolverWork work;
    resist_model::SolveResult r = resist_model::IterativeSolve(a, &b, &x, 2000, 1e-4, work);
    EXPECT_EQ(r.flag, resist_model::kConverged);
    EXPECT_EQ(r.iterations, 2);
    EXPECT_EQ(r.error, 0.0);
    EXPECT_DOUBLE_EQ(x, b / diag);

    x = 0.0;
    r = resist_model::IterativeSolve(a, &b, &x, 5, 0.0, work);
    EXPECT_EQ(r.flag, resist_model::kConverged);  // the error becomes exactly 0

    double none = 0.0;
    x = 0.0;
    r = resist_model::IterativeSolve(a, &none, &x, 2000, 1e-4, work);
    EXPECT_EQ(r.flag, resist_model::kZeroRightHandSide);
    EXPECT_EQ(r.iterations, 0);
    EXPECT_EQ(x, 0.0);
}

// z = M^-1 r is checked by multiplying back with M = (P + L) P^-1 (P + L^T), formed here
// from the pivots and the couplings.
TEST(IterationTest, ThePreconditionerInvertsItsIncompleteFactor) {
    using namespace resist_model;
    Input column = ColumnModel(2, {{0.3e-3, {1.0, 2.0, 3.0}, 5}});
    for (const Input& input : {PackageModel(2, true), column, DelphiModel(1)}) {
        TempPath path("factor");
        WriteFile(path.str(), Serialise(input));
        RecordReader reader;
        ASSERT_TRUE(reader.Open(path.str()));
        ListFile list;
        ModelState s;
        ASSERT_EQ(ReadInput(reader, list, s), 0);
        if (s.imdl_type == kDelphi) {
            ASSERT_TRUE(BuildDelphiTables(s));
        }
        FourDiagonal c = AssembleConduction(s);
        StageSystem sys = ApplyConditions(s, c, StageConditions(s, 1));
        StencilView a{sys.diag.data(), c.cx.data(), c.cy.data(), c.cz.data(),
                      c.ncell, c.im, c.imjm};
        const std::int64_t n_all = c.ncell;
        std::vector<double> d(n_all), r(n_all), z(n_all), w(n_all), v(n_all);
        for (std::int64_t n = 0; n < n_all; ++n) r[n] = std::sin(1.0 + 0.37 * n);
        FactorPreconditioner(a, d.data());
        ApplyPreconditioner(a, d.data(), r.data(), z.data());
        auto at = [&](const std::vector<double>& x, std::int64_t n) {
            return n >= 0 && n < n_all ? x[n] : 0.0;
        };
        for (std::int64_t n = 0; n < n_all; ++n) {
            w[n] = d[n] * (z[n] / d[n] + c.cx[n] * at(z, n + 1) + c.cy[n] * at(z, n + c.im) +
                           c.cz[n] * at(z, n + c.imjm));
        }
        double worst = 0.0;
        for (std::int64_t n = 0; n < n_all; ++n) {
            v[n] = w[n] / d[n];
            if (n >= 1) v[n] += c.cx[n - 1] * w[n - 1];
            if (n >= c.im) v[n] += c.cy[n - c.im] * w[n - c.im];
            if (n >= c.imjm) v[n] += c.cz[n - c.imjm] * w[n - c.imjm];
            worst = std::max(worst, std::abs(v[n] - r[n]));
        }
        EXPECT_LT(worst, 1e-9);
    }
}

// A 2 x 2 x 2 grid with diagonal 6 and every existing coupling -1. The pivots follow
// from the factor's rule worked through by hand, cell by cell: each lower neighbour m
// with coupling c and other upper couplings o1, o2 takes c (c + w (o1 + o2)) / p(m).
// Corner cell 0 has all three upper couplings; cells 1, 2, 4 two; cells 3, 5, 6 one.
// Solving for the last unit vector, the backward sweep then spreads 1/p7 to the cells
// coupled above.
TEST(IterationTest, TheIncompleteFactorOfATwoCubeWorkedByHand) {
    using namespace resist_model;
    const double w = kRelaxation;
    std::vector<double> diag(8, 6.0);
    std::vector<double> cx = {-1, 0, -1, 0, -1, 0, -1, 0};
    std::vector<double> cy = {-1, -1, 0, 0, -1, -1, 0, 0};
    std::vector<double> cz = {-1, -1, -1, -1, 0, 0, 0, 0};
    const StencilView a{diag.data(), cx.data(), cy.data(), cz.data(), 8, 2, 4};

    const double p0 = 6.0;
    const double p1 = 6.0 - (1 + 2 * w) / p0;            // from cell 0 along x
    const double p2 = 6.0 - (1 + 2 * w) / p0;            // from cell 0 along y
    const double p3 = 6.0 - (1 + w) / p1 - (1 + w) / p2;  // from 1 along y, 2 along x
    const double p4 = 6.0 - (1 + 2 * w) / p0;            // from cell 0 along z
    const double p5 = 6.0 - (1 + w) / p1 - (1 + w) / p4;  // from 1 along z, 4 along x
    const double p6 = 6.0 - (1 + w) / p2 - (1 + w) / p4;  // from 2 along z, 4 along y
    const double p7 = 6.0 - 1 / p3 - 1 / p5 - 1 / p6;     // from 3, 5, 6: no other couplings
    const double p[8] = {p0, p1, p2, p3, p4, p5, p6, p7};
    std::vector<double> d(8);
    FactorPreconditioner(a, d.data());
    for (int n = 0; n < 8; ++n) EXPECT_NEAR(d[n], 1.0 / p[n], 1e-15) << "cell " << n;
    EXPECT_NEAR(p1, 5.516666670640309, 1e-12);  // 6 - 2.9 / 6 with w = 0.95f

    std::vector<double> r(8, 0.0), z(8);
    r[7] = 1.0;
    ApplyPreconditioner(a, d.data(), r.data(), z.data());
    const double z7 = 1 / p7, z6 = z7 / p6, z5 = z7 / p5, z3 = z7 / p3;
    const double z4 = (z5 + z6) / p4, z2 = (z3 + z6) / p2, z1 = (z3 + z5) / p1;
    const double expected[8] = {(z1 + z2 + z4) / p0, z1, z2, z3, z4, z5, z6, z7};
    for (int n = 0; n < 8; ++n) EXPECT_NEAR(z[n], expected[n], 1e-15) << "cell " << n;
}

TEST(IterationTest, AZeroToleranceRunsEveryIteration) {
    Input in = PackageModel(2, false);
    in.eitr = 0.0;
    in.nitr = 7;
    TempPath path("zero_tolerance");
    WriteFile(path.str(), Serialise(in));
    resist_model::RunOutput out;
    std::string list = ListOf(path.str(), &out);
    // The caller learns that the stage did not converge, not only the list file.
    EXPECT_EQ(out.status, resist_model::kStatusNotConverged);
    EXPECT_TRUE(out.results.empty());
    EXPECT_NE(list.find("[COULD NOT CONVERGE]"), std::string::npos);
    EXPECT_NE(list.find("        ITERATION :         7\n"), std::string::npos);
    EXPECT_EQ(list.find("     RESISTANCE"), std::string::npos);
}

}  // namespace
