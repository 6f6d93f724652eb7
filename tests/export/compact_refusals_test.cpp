// What the compact computation refuses to hand on, each with its reason: a node without
// cells, a stage that did not converge, a value no resistance of the part can have; and a
// list file that is only a by-product.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "export/compact_computation.h"
#include "export/compact_export.h"
#include "export/run_failure.h"
#include "models/qfp/qfp_detailed_model.h"
#include "platform/wide_string.h"
#include "resources/string_ids.h"
#include "tests/export/compact_test_util.h"
#include "tests/solver/solver_input.h"
#include "tests/solver/test_models.h"

namespace {

namespace fs = std::filesystem;
namespace r = resources;
using compact_test::EntryCount;

using Refusals = compact_test::CompactFolders;

// A QFP under a lead sheet as large as its mold: the package top is no mold anywhere, so
// the node of the mold's top has no cell.
class CoveredQFP : public pkg::qfp::QFPDetailedModel {
public:
    CoveredQFP() : QFPDetailedModel(false) {}
    int Build() override {
        const int built = QFPDetailedModel::Build();
        pkg::Cuboid sheet = root.children.front()->cuboids.front().box;
        sheet.z += sheet.dz - 0.1;
        sheet.dz = 0.1;
        root.AddChild(pkg::MakeGroup(L"sheet_group"));
        root.children.back()->AddCuboid("sheet", "lead", sheet);
        return built;
    }
};

TEST_F(Refusals, ANodeWithoutCellsIsNamedAndNothingIsSolved) {
    pkg::CompactModelRequest request;
    double values[64] = {};
    pkg::RunFailure failure;
    {
        const pkg::RunFailureScope scope(&failure);
        EXPECT_FALSE(pkg::ComputePartResistances(request, L"QFP", 2, std::make_shared<CoveredQFP>(),
                                                 values, (out_ / "x.cab.l").wstring()));
    }
    EXPECT_EQ(failure.message, r::IDS_RUN_NODE_WITHOUT_CELLS);
    EXPECT_EQ(failure.literal, L"TOP");
    EXPECT_EQ(EntryCount(tmp_), 0u) << "no solver input is left";
}

TEST_F(Refusals, AStageThatDoesNotConvergeIsSaid) {
    solver_test::Input input = solver_test::PackageModel(1, false);
    input.nitr = 3;
    input.eitr = 0.0;
    const fs::path path = tmp_ / "unconverged.in";
    solver_test::WriteFile(path.string(), solver_test::Serialise(input));
    pkg::ResistanceResultSet set;
    pkg::RunFailure failure;
    {
        const pkg::RunFailureScope scope(&failure);
        EXPECT_FALSE(pkg::ComputeResistances(set, path.string()));
    }
    EXPECT_EQ(failure.message, r::IDS_RUN_STAGE_NOT_CONVERGED);
    EXPECT_TRUE(set.results.empty());

    // The same input given its iterations converges.
    input.nitr = 2000;
    input.eitr = 1e-12;
    solver_test::WriteFile(path.string(), solver_test::Serialise(input));
    EXPECT_TRUE(pkg::ComputeResistances(set, path.string()));
    EXPECT_EQ(set.results.size(), 2u);
}

// Conductivities no material has, which the part rules take as finite and positive: the
// solve gives values no package can have.
TEST_F(Refusals, AResistanceThePartCannotHaveIsNotExported) {
    struct Case {
        double chip, mold, lead;
        std::uint32_t message;
    };
    const Case cases[] = {{1e50, 1e-50, 1e-50, r::IDS_RUN_RESISTANCE_TOO_LOW},
                          {1e300, 1e300, 1e300, r::IDS_RUN_RESISTANCE_NOT_FINITE}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chip);
        auto model = std::make_shared<pkg::qfp::QFPDetailedModel>(false);
        model->chip.thermal_conductivity = c.chip;
        model->mold.thermal_conductivity = c.mold;
        model->lead.thermal_conductivity = c.lead;
        model->bonded_part.thermal_conductivity = c.lead;
        model->wire.thermal_conductivity = c.lead;
        pkg::CompactModelRequest request;
        double values[64] = {};
        pkg::RunFailure failure;
        {
            const pkg::RunFailureScope scope(&failure);
            EXPECT_FALSE(pkg::ComputePartResistances(request, L"QFP", 2, model, values,
                                                     (out_ / "x.cab.l").wstring()));
        }
        EXPECT_EQ(failure.message, c.message);
        EXPECT_EQ(failure.literal.rfind(L"T-J = ", 0), 0u)
            << std::string(failure.literal.begin(), failure.literal.end());
    }
    EXPECT_EQ(EntryCount(tmp_), 0u);
}

// Whether the solver may write the list file, and what the run says when it did not.
TEST_F(Refusals, AListFileNotWrittenIsSaidAndNoOlderOneStaysBesideTheCabinet) {
    const fs::path list = out_ / "x.cab.l";
    EXPECT_TRUE(pkg::ListFileUsable(list.string()));
    EXPECT_FALSE(pkg::ListFileUsable((out_ / std::string(300, 'l')).string()));
    EXPECT_FALSE(pkg::ListFileUsable(""));

    // A run whose solver wrote nothing, its cabinet written.
    auto report = [&list](std::wstring* solver_path = nullptr) {
        pkg::RunFailure failure;
        const pkg::RunFailureScope scope(&failure);
        pkg::ListFileStaging staging(list.wstring());
        if (solver_path != nullptr) *solver_path = staging.SolverPath();
        staging.StepAside();
        staging.PutInPlace();
        return failure;
    };
    // An earlier run's list file that no new one replaced is removed, and that is said.
    std::ofstream(list) << "earlier run\n";
    pkg::RunFailure failure = report();
    EXPECT_EQ(failure.message, r::IDS_RUN_LIST_FILE_STALE_REMOVED);
    EXPECT_EQ(failure.literal, list.wstring());
    EXPECT_FALSE(fs::exists(list));

    // A folder or a FIFO in its place is never handed to the solver and never removed.
    std::wstring solver_path = L"unset";
    fs::create_directory(list);
    EXPECT_EQ(report(&solver_path).message, r::IDS_RUN_LIST_FILE_NOT_WRITTEN);
    EXPECT_EQ(solver_path, L"");
    EXPECT_TRUE(fs::is_directory(list));
    fs::remove(list);
    ASSERT_EQ(::mkfifo(list.c_str(), 0600), 0);
    EXPECT_EQ(report(&solver_path).message, r::IDS_RUN_LIST_FILE_NOT_WRITTEN);
    EXPECT_EQ(solver_path, L"");
    EXPECT_TRUE(fs::is_fifo(list));
    fs::remove(list);

    // What the solver wrote takes the older one's place, with its permissions, once the
    // cabinet is in; a cabinet that failed brings the older one back as it was. Nothing of
    // the staging stays behind.
    std::ofstream(list) << "earlier run\n";
    fs::permissions(list, fs::perms(0640));
    {
        pkg::RunFailure renewed;
        const pkg::RunFailureScope scope(&renewed);
        pkg::ListFileStaging staging(list.wstring());
        ASSERT_TRUE(pkg::ListFileUsable(platform::WideToUtf8(staging.SolverPath())));
        std::ofstream(platform::PathFromWide(staging.SolverPath())) << "this run\n";
        staging.StepAside();
        EXPECT_FALSE(fs::exists(list));
    }
    EXPECT_EQ(compact_test::ReadText(list), "earlier run\n");
    {
        pkg::RunFailure renewed;
        const pkg::RunFailureScope scope(&renewed);
        pkg::ListFileStaging staging(list.wstring());
        std::ofstream(platform::PathFromWide(staging.SolverPath())) << "this run\n";
        staging.StepAside();
        staging.PutInPlace();
        EXPECT_FALSE(renewed);
    }
    EXPECT_EQ(compact_test::ReadText(list), "this run\n");
    EXPECT_EQ(fs::status(list).permissions(), fs::perms(0640));
    EXPECT_EQ(EntryCount(out_), 1u);
    EXPECT_EQ(EntryCount(tmp_), 0u);
    // No list file asked for: nothing is staged, said or removed.
    {
        pkg::RunFailure none;
        const pkg::RunFailureScope scope(&none);
        pkg::ListFileStaging staging(L"");
        EXPECT_EQ(staging.SolverPath(), L"");
        staging.StepAside();
        staging.PutInPlace();
        EXPECT_FALSE(none);
    }
    EXPECT_TRUE(fs::exists(list));
}

}  // namespace
