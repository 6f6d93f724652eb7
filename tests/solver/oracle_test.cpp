// The library against the independent direct solve of tests/solver/oracle.cpp: the input
// fixtures are what their models write, the numbers of the golden list files are the
// oracle's to their printed digits, and every stage's temperatures, the two- and
// three-resistor values and the DELPHI fit agree on models of every type.
#include "tests/solver/oracle.h"

#include <charconv>
#include <cmath>
#include <sstream>

#include <gtest/gtest.h>

#include "solver/conduction.h"
#include "solver/list_file.h"
#include "solver/network_fit.h"
#include "solver/read_input.h"
#include "solver/record_reader.h"
#include "solver/rst_main.h"
#include "tests/solver/fixtures.h"
#include "tests/solver/test_models.h"

namespace {

using namespace solver_test;

const std::string kData = std::string(ZENTRIK_TEST_DATA) + "/solver/";

TEST(FixtureTest, TheInputFixturesAreWhatTheirModelsWrite) {
    EXPECT_EQ(ReadText(kData + "two_resistor.in"), Serialise(TwoResistorFixture()));
    EXPECT_EQ(ReadText(kData + "delphi.in"), Serialise(DelphiFixture()));
    Input parsed;
    ASSERT_TRUE(solver_oracle::ParseInput(ReadText(kData + "delphi.in"), parsed));
    EXPECT_EQ(Serialise(parsed), ReadText(kData + "delphi.in"));
}

// The numbers a list file reports after its echo, each with the label it stands under.
struct Reported {
    std::vector<std::vector<std::pair<std::string, double>>> stages;
    std::vector<std::pair<std::string, double>> resistance, objective1, objective2;
    std::vector<std::string> last;  // the words of the last line
};

// A number of the list file as written, with '.' whatever the process locale.
double Number(const std::string& word) {
    double value = 0.0;
    const auto result = std::from_chars(word.data(), word.data() + word.size(), value);
    EXPECT_TRUE(result.ec == std::errc() && result.ptr == word.data() + word.size()) << word;
    return value;
}

Reported ParseList(const std::string& text) {
    Reported out;
    std::istringstream lines(text);
    std::string line;
    std::vector<std::pair<std::string, double>>* block = nullptr;
    bool results = false;
    while (std::getline(lines, line)) {
        if (line.rfind("STAGE(", 0) == 0) {
            out.stages.emplace_back();
            block = &out.stages.back();
            results = false;
        } else if (line == "  CALCULATION RESULT") {
            results = true;
        } else if (line == "  OBJECTIVE FUNCTION -1-") {
            block = &out.objective1;
        } else if (line == "  OBJECTIVE FUNCTION -2-") {
            block = &out.objective2;
        } else if (line == "     RESISTANCE") {
            if (block != &out.objective1 && block != &out.objective2) block = &out.resistance;
            results = true;
        } else if (line == " THERMAL CIRCUIT MODEL IMAGE") {
            block = nullptr;
        } else if (block && results && line.find("Temp.") == std::string::npos) {
            std::istringstream words(line.substr(0, 15) == "Tmax CHIP     =" ? line.substr(15)
                                                                            : line);
            std::vector<std::string> w;
            for (std::string word; words >> word;) w.push_back(word);
            if (w.size() == 1) {
                block->push_back({"Tmax CHIP", Number(w[0])});
            } else if (w.size() == 4 && w[1] == ":") {
                block->push_back({"Junction", Number(w[0])});
            } else if (w.size() == 3) {
                block->push_back({"T " + w[2], Number(w[0])});
                block->push_back({"Q " + w[2], Number(w[1])});
            } else if (w.size() == 2) {
                block->push_back({w[1], w[0] == "Adiabatic" ? -1.0 : Number(w[0])});
            }
        }
        std::istringstream words(line);
        out.last.clear();
        for (std::string word; words >> word;) out.last.push_back(word);
    }
    return out;
}

// A printed value of five significant digits stands for the oracle's when it differs by
// at most half a unit of its last digit (and a little for the solver's own stop).
void ExpectPrinted(double printed, double exact, const std::string& what) {
    const double unit = printed == 0 ? 1e-300 : std::pow(10.0, std::floor(std::log10(std::abs(printed))) - 4);
    EXPECT_LE(std::abs(printed - exact), 0.5 * unit * (1 + 1e-9) + 1e-6 * std::abs(exact))
        << what << ": printed " << printed << ", oracle " << exact;
}

TEST(GoldenListTest, TheTwoResistorListFileHoldsTheOraclesNumbers) {
    const solver_oracle::Outcome o = solver_oracle::Solve(TwoResistorFixture());
    const Reported r = ParseList(ReadText(kData + "two_resistor.l"));
    ASSERT_EQ(r.stages.size(), 2u);
    for (int s = 0; s < 2; ++s) {
        ASSERT_EQ(r.stages[s].size(), 1u);
        ExpectPrinted(r.stages[s][0].second, o.stages[s].chip_max, "chip maximum");
    }
    ASSERT_EQ(r.resistance.size(), 2u);
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(r.resistance[k].first, o.resistances[k].first);
        ExpectPrinted(r.resistance[k].second, o.resistances[k].second, r.resistance[k].first);
    }
}

TEST(GoldenListTest, TheDelphiListFileHoldsTheOraclesNumbers) {
    const Input in = DelphiFixture();
    const solver_oracle::Outcome o = solver_oracle::Solve(in);
    ASSERT_FALSE(o.fit_failed);
    const Reported r = ParseList(ReadText(kData + "delphi.l"));
    const std::vector<std::string> nodes = {"J", "TI", "TO", "B", "S"};
    ASSERT_EQ(r.stages.size(), in.cases.size());
    for (std::size_t s = 0; s < r.stages.size(); ++s) {
        const solver_oracle::Stage& st = o.stages[s];
        ASSERT_EQ(r.stages[s].size(), 1 + 2 * (nodes.size() - 1));
        ExpectPrinted(r.stages[s][0].second, st.junction_max, "junction");
        for (std::size_t n = 1; n < nodes.size(); ++n) {
            EXPECT_EQ(r.stages[s][2 * n - 1].first, "T " + nodes[n]);
            ExpectPrinted(r.stages[s][2 * n - 1].second, st.mean_temperature[n], "T " + nodes[n]);
            ExpectPrinted(r.stages[s][2 * n].second, st.heat_flow[n], "Q " + nodes[n]);
        }
    }
    ASSERT_EQ(r.objective1.size(), nodes.size());
    ExpectPrinted(r.objective1[0].second, o.rj, "RJ");
    for (std::size_t n = 1; n < nodes.size(); ++n) {
        EXPECT_EQ(r.objective1[n].first, "J-" + nodes[n]);
        ExpectPrinted(r.objective1[n].second, o.star[n - 1], r.objective1[n].first);
    }
    // The star and node-to-node fit miss this model's cases by more than the refinement's
    // tolerance: the network listed is the refined one, and it misses them by less.
    const solver_oracle::NetworkError two_step = solver_oracle::JunctionError(in, o, o.links);
    ASSERT_GT(two_step.worst, resist_model::kRefineTolerance);
    ASSERT_EQ(r.objective2.size(), o.links.size());
    std::vector<double> listed;
    for (const auto& link : r.objective2) listed.push_back(link.second);
    const solver_oracle::NetworkError refined = solver_oracle::JunctionError(in, o, listed);
    EXPECT_LT(refined.worst, two_step.worst);
    // The last line is that network's error as the oracle solves it from the printed links.
    ASSERT_EQ(r.last.size(), 8u);
    EXPECT_EQ(r.last[0] + " " + r.last[1] + " " + r.last[2] + " " + r.last[4] + " " + r.last[6],
              "JUNCTION ERROR(%) WORST CASE RMS");
    EXPECT_NEAR(Number(r.last[3]), refined.worst, 0.01);
    EXPECT_EQ(r.last[5], std::to_string(refined.worst_case));
    EXPECT_NEAR(Number(r.last[7]), refined.rms, 0.01);
}

// Reads a model into the library's state the way a run does, for stage-by-stage checks.
struct LibraryRun {
    resist_model::ModelState state;
    resist_model::FourDiagonal conduction;
    explicit LibraryRun(const Input& in) {
        TempPath path("oracle");
        WriteFile(path.str(), Serialise(in));
        resist_model::RecordReader reader;
        EXPECT_TRUE(reader.Open(path.str()));
        resist_model::ListFile list;
        EXPECT_EQ(resist_model::ReadInput(reader, list, state), 0);
        if (state.imdl_type == resist_model::kDelphi) {
            EXPECT_TRUE(resist_model::BuildDelphiTables(state));
        }
        conduction = resist_model::AssembleConduction(state);
    }
};

void ExpectRelative(double expected, double actual, double tolerance, const std::string& what) {
    EXPECT_LE(std::abs(actual - expected), tolerance * std::abs(expected))
        << what << ": oracle " << expected << ", library " << actual;
}

// Quarter and full packages of both series types, a layered column with anisotropic
// conductivities, and DELPHI blocks with fits that keep or drop links: at a tolerance of
// 1e-12 each stage's temperatures are the direct solve's to 1e-9 of the largest.
TEST(AgreementTest, EveryStageAndResultMatchesTheDirectSolve) {
    std::vector<Input> models = {PackageModel(1, false), PackageModel(1, true),
                                 PackageModel(2, false), PackageModel(2, true),
                                 ColumnModel(2, {{0.2e-3, {390.0, 20.0, 390.0}, 2},
                                                 {0.5e-3, {0.5, 3.0, 0.8}, 3}}),
                                 DelphiModel(6), DelphiFixture()};
    for (Input& in : models) {
        in.eitr = 1e-12;
        const std::string label = "type " + std::to_string(in.type) + ", " +
                                  std::to_string(in.im * in.jm * in.km) + " cells";
        const solver_oracle::Outcome o = solver_oracle::Solve(in);
        LibraryRun lib(in);
        resist_model::SolverWork work;
        for (std::size_t g = 0; g < o.stages.size(); ++g) {
            const resist_model::StageSolution s =
                resist_model::SolveStage(lib.state, lib.conduction, static_cast<int>(g) + 1, work);
            const std::vector<double>& t = o.stages[g].temperature;
            ASSERT_EQ(s.temperature.size(), t.size());
            double largest = 0.0, worst = 0.0;
            for (std::size_t n = 0; n < t.size(); ++n) {
                largest = std::max(largest, std::abs(t[n]));
                worst = std::max(worst, std::abs(t[n] - s.temperature[n]));
            }
            EXPECT_LE(worst, 1e-9 * largest) << label << ", stage " << g + 1;
        }
        TempPath path("oracle_run");
        WriteFile(path.str(), Serialise(in));
        const resist_model::RunOutput run = resist_model::rst_main(path.str(), "");
        ASSERT_EQ(run.status, 0) << label;
        if (in.type == 3) {
            // The star and node-to-node fit as the oracle makes it; the network returned is
            // that one or, when it misses a case by more than the tolerance, its joint
            // refinement, which misses by less; its error is the oracle's for it.
            const resist_model::FittedNetwork& net = run.network;
            ASSERT_EQ(net.two_step.size(), o.links.size()) << label;
            for (std::size_t l = 0; l < o.links.size(); ++l) {
                ExpectRelative(o.links[l], net.two_step[l], 1e-8, label);
            }
            const solver_oracle::NetworkError two_step = solver_oracle::JunctionError(in, o, o.links);
            const solver_oracle::NetworkError returned =
                solver_oracle::JunctionError(in, o, net.resistance);
            if (two_step.worst <= resist_model::kRefineTolerance) {
                EXPECT_EQ(net.resistance, net.two_step) << label;
            } else {
                EXPECT_LT(returned.worst, two_step.worst) << label;
            }
            ExpectRelative(returned.worst, net.error.worst, 1e-9, label);
            ExpectRelative(returned.rms, net.error.rms, 1e-9, label);
            EXPECT_EQ(returned.worst_case, net.error.worst_case) << label;
            std::size_t k = 0;
            for (std::size_t l = 0; l < net.resistance.size(); ++l) {
                if (net.resistance[l] < 0) continue;
                ASSERT_LT(k, run.results.size()) << label;
                EXPECT_EQ(run.results[k++].value, net.resistance[l]) << label;
            }
            EXPECT_EQ(k, run.results.size()) << label;
            continue;
        }
        ASSERT_EQ(run.results.size(), o.resistances.size()) << label;
        for (std::size_t k = 0; k < o.resistances.size(); ++k) {
            EXPECT_EQ(run.results[k].name.c_str(), o.resistances[k].first) << label;
            ExpectRelative(o.resistances[k].second, run.results[k].value, 1e-8, label);
        }
    }
}

}  // namespace
