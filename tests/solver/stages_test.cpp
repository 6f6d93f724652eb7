// Physics of the stages: analytic columns, symmetry of the quarter model, and the true
// residual and energy balance of every stage's returned temperatures.
#include <cmath>

#include <gtest/gtest.h>

#include "solver/conduction.h"
#include "solver/list_file.h"
#include "solver/read_input.h"
#include "solver/record_reader.h"
#include "solver/resist_model.h"
#include "solver/rst_main.h"
#include "tests/solver/solver_input.h"
#include "tests/solver/test_models.h"

namespace {

using namespace solver_test;

resist_model::RunOutput Solve(const Input& input, const std::string& stem) {
    TempPath path(stem);
    WriteFile(path.str(), Serialise(input));
    return resist_model::rst_main(path.str(), "");
}

// Series resistance from the centre of the bottom layer's first cell to the top plane.
double ColumnToTop(const Input& in) {
    double area = in.x.back() * in.y.back();
    double r = 0.0;
    for (int k = 1; k <= in.km; ++k) {
        double dz = in.z[k] - in.z[k - 1];
        double kz = in.materials[in.Mat(1, 1, k) - 1].kz;
        r += (k == 1 ? dz / 2 : dz) / kz;
    }
    return r / area;
}

double ColumnToBottom(const Input& in) {
    double area = in.x.back() * in.y.back();
    double kz = in.materials[0].kz;
    return ((in.z[1] - in.z[0]) / 2 / kz + in.gapl / in.ramda) / area;
}

void ExpectRelative(double expected, double actual, double tolerance) {
    EXPECT_LE(std::abs(actual - expected), tolerance * std::abs(expected))
        << "expected " << expected << ", got " << actual;
}

TEST(ColumnTest, UniformAndTwoLayerColumnsFollowTheSeriesFormula) {
    const Material mold{0.8, 0.8, 0.8};
    const Material copper{390.0, 390.0, 390.0};
    for (const auto& layers : std::vector<std::vector<Layer>>{
             {{0.6e-3, mold, 6}},
             {{0.2e-3, copper, 2}, {0.5e-3, mold, 5}}}) {
        Input in = ColumnModel(1, layers);
        in.gapl = 50e-6;
        in.ramda = 0.0256;
        resist_model::RunOutput out = Solve(in, "column");
        ASSERT_EQ(out.status, 0);
        ASSERT_EQ(out.results.size(), 2u);
        EXPECT_STREQ(out.results[0].name.c_str(), "J-T");
        EXPECT_STREQ(out.results[1].name.c_str(), "J-B");
        double top = ColumnToTop(in);
        double bottom = ColumnToBottom(in);
        ExpectRelative(top, out.results[0].value, 1e-6);
        // Stage 2: the bottom gap in parallel with the top plane held as "LEAD".
        ExpectRelative(1.0 / (1.0 / top + 1.0 / bottom), out.results[1].value, 1e-6);
    }
}

TEST(ColumnTest, OnlyTheConductivityAlongTheFlowMatters) {
    Input iso = ColumnModel(1, {{0.2e-3, {5.0, 5.0, 5.0}, 2}, {0.4e-3, {2.0, 2.0, 2.0}, 4}});
    Input aniso = iso;
    aniso.materials = {{500.0, 0.01, 5.0}, {0.002, 90.0, 2.0}};
    iso.ramda = aniso.ramda = 0.0;  // no gap fluid: the bottom is adiabatic
    iso.gapl = aniso.gapl = 0.0;
    resist_model::RunOutput a = Solve(iso, "iso");
    resist_model::RunOutput b = Solve(aniso, "aniso");
    ASSERT_EQ(a.status, 0);
    ASSERT_EQ(b.status, 0);
    ExpectRelative(ColumnToTop(iso), b.results[0].value, 1e-6);
    ExpectRelative(a.results[0].value, b.results[0].value, 1e-9);
    // With an adiabatic bottom all the heat leaves through the top plane in both stages.
    ExpectRelative(ColumnToTop(iso), b.results[1].value, 1e-6);
}

TEST(SymmetryTest, QuarterModelEqualsTheMirroredFullModel) {
    for (int type : {1, 2}) {
        resist_model::RunOutput quarter = Solve(PackageModel(type, false), "quarter");
        resist_model::RunOutput full = Solve(PackageModel(type, true), "full");
        ASSERT_EQ(quarter.status, 0) << "type " << type;
        ASSERT_EQ(full.status, 0) << "type " << type;
        ASSERT_EQ(quarter.results.size(), full.results.size());
        for (std::size_t r = 0; r < quarter.results.size(); ++r) {
            EXPECT_EQ(quarter.results[r].name, full.results[r].name);
            ExpectRelative(full.results[r].value, quarter.results[r].value, 1e-6);
        }
    }
}

TEST(StarTest, ThreeStagesOfAnExactStarReturnItsResistances) {
    const double gt = 0.4, gb = 0.025, gl = 1.7;
    const double surfaces[3][3] = {{0.1, 2.0, 0.3}, {1.5, 0.2, 0.4}, {0.7, 0.9, 0.05}};
    std::vector<resist_model::StageValues> stages(3);
    for (int s = 0; s < 3; ++s) {
        double tt = surfaces[s][0], tb = surfaces[s][1], tl = surfaces[s][2];
        double tj = ((tb - tt) * gb + (tl - tt) * gl + 1.0) / (gt + gb + gl) + tt;
        stages[s].tmax[0] = tt;
        stages[s].tmax[1] = tb;
        stages[s].tmax[2] = tl;
        stages[s].tmax[3] = tj;
    }
    std::vector<resist_model::NamedResistance> out;
    ASSERT_TRUE(resist_model::ResistThree(stages, out));
    ASSERT_EQ(out.size(), 3u);
    ExpectRelative(1.0 / gt, out[0].value, 1e-12);
    ExpectRelative(1.0 / gb, out[1].value, 1e-12);
    ExpectRelative(1.0 / gl, out[2].value, 1e-12);

    // Stages that cannot tell the three paths apart give no finite star.
    std::vector<resist_model::StageValues> flat = stages;
    for (auto& v : flat) v.tmax[1] = v.tmax[2] = v.tmax[0];
    ASSERT_TRUE(resist_model::ResistThree(flat, out));
    EXPECT_FALSE(std::isfinite(out[0].value) && std::isfinite(out[1].value));

    stages[2].tmax[1] = resist_model::kUnsetMaximum;
    EXPECT_FALSE(resist_model::ResistThree(stages, out));
}

// The residual and the heat balance are recomputed here from the assembled system with a
// plain 7-point product, not taken from the solver's own stopping test.
void CheckStages(const Input& input) {
    using namespace resist_model;
    TempPath path("residual");
    WriteFile(path.str(), Serialise(input));
    RecordReader reader;
    ASSERT_TRUE(reader.Open(path.str()));
    ListFile list;
    ModelState s;
    ASSERT_EQ(ReadInput(reader, list, s), 0);
    if (s.imdl_type == kDelphi) {
        ASSERT_TRUE(BuildDelphiTables(s));
    }
    FourDiagonal conduction = AssembleConduction(s);
    int stages = s.imdl_type == 1 ? 2 : s.imdl_type == 2 ? 3 : static_cast<int>(s.cases.size());
    for (int g = 1; g <= stages; ++g) {
        SolverWork work;
        StageSolution solution = SolveStage(s, conduction, g, work);
        ASSERT_EQ(solution.solve.flag, kConverged);
        const std::vector<double>& t = solution.temperature;
        StageSystem sys = ApplyConditions(s, conduction, StageConditions(s, g));

        double rr = 0.0, bb = 0.0, heat_out = 0.0;
        for (int k = 1; k <= s.km; ++k) {
            for (int j = 1; j <= s.jm; ++j) {
                for (int i = 1; i <= s.im; ++i) {
                    std::int64_t n = s.CellNumber(i, j, k);
                    double ax = sys.diag[n] * t[n];
                    if (i < s.im) ax += conduction.cx[n] * t[n + 1];
                    if (i > 1) ax += conduction.cx[n - 1] * t[n - 1];
                    if (j < s.jm) ax += conduction.cy[n] * t[n + s.im];
                    if (j > 1) ax += conduction.cy[n - s.im] * t[n - s.im];
                    if (k < s.km) ax += conduction.cz[n] * t[n + conduction.imjm];
                    if (k > 1) ax += conduction.cz[n - conduction.imjm] * t[n - conduction.imjm];
                    rr += (ax - sys.b[n]) * (ax - sys.b[n]);
                    bb += sys.b[n] * sys.b[n];
                    // Ambients are 0: what the boundary terms add to the diagonal times the
                    // cell temperature is the heat leaving the cell.
                    heat_out += (sys.diag[n] - conduction.diag[n]) * t[n];
                }
            }
        }
        EXPECT_LT(std::sqrt(rr / bb), 1e-6) << "stage " << g;
        ExpectRelative(1.0 / s.ione_nth, heat_out, 1e-6);
        for (std::int64_t n = 0; n < conduction.ncell; ++n) {
            if (conduction.diag[n] == 1.0 && conduction.cx[n] == 0.0 && sys.b[n] == 0.0 &&
                s.Mat((n % s.im) + 1, (n / s.im) % s.jm + 1, n / conduction.imjm + 1) == 0) {
                EXPECT_EQ(t[n], 0.0);
            }
        }
    }
}

TEST(ResidualTest, EveryStageSolvesItsSystemAndBalancesTheHeat) {
    for (int type : {1, 2}) CheckStages(PackageModel(type, false));
    Input with_hole = PackageModel(2, true);
    with_hole.Mat(1, 1, 4) = 0;  // an empty cell inside the grid solves to 0
    with_hole.Mat(8, 3, 4) = 0;
    CheckStages(with_hole);
    CheckStages(DelphiModel(5));
}

}  // namespace
