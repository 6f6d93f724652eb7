#include "export/compact_computation.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "export/surf_register/create_surface_register.h"
#include "models/bga/bga_detailed_model.h"
#include "solver/resist_model.h"
#include "tests/export/compact_test_util.h"

namespace {

using compact_test::CompactFolders;
using compact_test::EntryCount;

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Slot(const std::string& text, char fill = '\0') {
    std::string slot(pkg::kResultNameSlot, fill);
    std::memcpy(slot.data(), text.data(), std::min(text.size(), slot.size()));
    return slot;
}

TEST(ResultNames, SplitAtTheDashUpToTheFirstNul) {
    EXPECT_EQ(pkg::ParseResultName(Slot("TO-J").data()), std::make_pair(std::string("TO"), std::string("J")));
    EXPECT_EQ(pkg::ParseResultName(Slot("J-TI").data()), std::make_pair(std::string("J"), std::string("TI")));
    // Bytes after the NUL are never read as part of a name, even a dash.
    std::string late = Slot("J");
    late[10] = '-';
    late[11] = 'X';
    EXPECT_EQ(pkg::ParseResultName(late.data()), std::make_pair(std::string("J"), std::string("J")));
    // A slot without any NUL: all 32 bytes count, and nothing past them is read.
    const std::string full = Slot("J-" + std::string(30, 'S'), 'S');
    EXPECT_EQ(pkg::ParseResultName(full.data()),
              std::make_pair(std::string("J"), std::string(30, 'S')));
}

TEST(ResistanceValues, SeriesPairsMatchEitherWayAndMustAllBePresent) {
    const std::vector<pkg::ResistanceResult> results = {
        {"J", "T", 12.5}, {"J", "B", 30.0}, {"T", "J", 99.0}};
    double values[64] = {};
    EXPECT_TRUE(pkg::CollectSeriesResistances(2, results, values));
    EXPECT_EQ(values[0], 12.5);
    EXPECT_EQ(values[1], 30.0);
    // Without L-J a three-resistor result is incomplete: no 0 K/W is exported for it.
    EXPECT_FALSE(pkg::CollectResistanceValues(results, "QFP", nullptr,
                                              pkg::surf_register::kThreeResistorModel, values));
    EXPECT_FALSE(pkg::CollectResistanceValues({}, "PBGA", nullptr,
                                              pkg::surf_register::kTwoResistorModel, values));
    EXPECT_FALSE(pkg::CollectResistanceValues(results, "PBGA", nullptr, 7, values));

    // DELPHI: missing links stay 0.0, a missing table fails.
    pkg::bga::BGADetailedModel bga(false);
    double links[64];
    for (double& v : links) v = -1;
    EXPECT_TRUE(pkg::CollectResistanceValues({{"TI", "J", 2.0}}, "PBGA", &bga,
                                             pkg::surf_register::kDelphiModel, links));
    EXPECT_EQ(links[0], 2.0);
    EXPECT_EQ(links[14], 0.0);
    EXPECT_EQ(links[15], -1);
    bga.solder_ball.layout = 3;
    EXPECT_FALSE(pkg::CollectResistanceValues({}, "PBGA", &bga, pkg::surf_register::kDelphiModel,
                                              links));
}

TEST(PackageTypes, FolderAndPartTypeMustAgree) {
    pkg::bga::BGADetailedModel pbga(false);
    pkg::bga::BGADetailedModel fcbga(true);
    EXPECT_TRUE(pkg::PackageTypeMatchesModel("PBGA", pbga));
    EXPECT_TRUE(pkg::PackageTypeMatchesModel("FCBGA", fcbga));
    EXPECT_FALSE(pkg::PackageTypeMatchesModel("FCBGA", pbga));
    EXPECT_FALSE(pkg::PackageTypeMatchesModel("QFP", pbga));
    EXPECT_FALSE(pkg::PackageTypeMatchesModel("pbga", pbga));
}

using SolverCall = CompactFolders;

TEST_F(SolverCall, FailedSolverLeavesNoInputAndNoResults) {
    pkg::ResistanceResultSet set;
    EXPECT_FALSE(pkg::ComputeResistances(set, (tmp_ / "missing_input").string()));
    EXPECT_TRUE(set.results.empty());
    EXPECT_EQ(resist_model::nlst, 0);
    EXPECT_STREQ(resist_model::lstfile, "");

    // A list-file name that does not fit the solver's buffer is refused before the call.
    set.SetListFileName(std::string(256, 'a'));
    EXPECT_FALSE(pkg::ComputeResistances(set, (tmp_ / "missing_input").string()));
    EXPECT_EQ(EntryCount(tmp_), 0u);

    // The input file gets a fresh unique name every time.
    const std::wstring a = pkg::MakeTempFileName();
    const std::wstring b = pkg::MakeTempFileName();
    EXPECT_FALSE(a.empty());
    EXPECT_NE(a, b);
    EXPECT_EQ(EntryCount(tmp_), 2u);
}

TEST_F(SolverCall, RefusedComputationsWriteNothing) {
    auto model = std::make_shared<pkg::bga::BGADetailedModel>(false);
    pkg::CompactModelRequest request;
    double values[64] = {};
    const std::wstring list = (out_ / "x.cab.l").wstring();
    // The part's own type disagrees with its folder.
    EXPECT_FALSE(pkg::ComputePartResistances(request, L"FCBGA", 2, model, values, list));
    // A ball-grid array has no lead, so no three-resistor registration holds.
    EXPECT_FALSE(pkg::ComputePartResistances(request, L"PBGA", 3, model, values, list));
    EXPECT_FALSE(pkg::ComputePartResistances(request, L"PBGA", 9, model, values, list));
    EXPECT_FALSE(pkg::ComputePartResistances(request, L"PBGA", 2, nullptr, values, list));
    // A ball count no model is built from.
    auto huge = std::make_shared<pkg::bga::BGADetailedModel>(false);
    huge->solder_ball.number_all = {100000, 100000};
    EXPECT_FALSE(pkg::ComputePartResistances(request, L"PBGA", 2, huge, values, list));
    EXPECT_EQ(EntryCount(tmp_), 0u);
    EXPECT_EQ(EntryCount(out_), 0u);
}

// Two computations at once, each with its own list file: every list lands at its own path
// with its own input's content. Several rounds, since a race needs the calls to overlap.
TEST_F(SolverCall, ConcurrentComputationsKeepTheirOwnListFiles) {
    const std::string data = std::string(ZENTRIK_TEST_DATA) + "/solver/";
    const std::string inputs[2] = {"two_resistor", "delphi"};
    for (int round = 0; round < 4; ++round) {
        bool ok[2] = {false, false};
        std::thread threads[2];
        for (int t = 0; t < 2; ++t) {
            threads[t] = std::thread([&, t] {
                pkg::ResistanceResultSet set;
                set.SetListFileName((out_ / (inputs[t] + std::to_string(round) + ".l")).string());
                ok[t] = pkg::ComputeResistances(set, data + inputs[t] + ".in");
            });
        }
        for (std::thread& t : threads) t.join();
        for (int t = 0; t < 2; ++t) {
            EXPECT_TRUE(ok[t]) << inputs[t];
            EXPECT_EQ(ReadText(out_ / (inputs[t] + std::to_string(round) + ".l")),
                      ReadText(data + inputs[t] + ".l"))
                << inputs[t] << " round " << round;
        }
    }
}

}  // namespace
