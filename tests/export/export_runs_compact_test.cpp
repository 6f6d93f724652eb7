// Compact runs of default parts from a parts folder through the real solver.
#include "export/export_runs.h"

#include <cmath>

#include <gtest/gtest.h>

#include "export/reg_link_manager/registance_link_manager.h"
#include "models/part_loaders.h"
#include "models/package_types.h"
#include "resources/string_ids.h"
#include "tests/export/export_runs_util.h"
#include "tests/models/real_outlines.h"

namespace {

using export_runs_test::PartsFolder;
using export_runs_test::Untouched;
namespace fs = std::filesystem;

struct CompactCase {
    const char* type;
    int code;
};

class CompactRuns : public PartsFolder, public testing::WithParamInterface<CompactCase> {
protected:
    void SetUp() override { PartsFolder::SetUp(); }
    void TearDown() override {
        PartsFolder::TearDown();
        // The case's folder stood directly in the temporary folder and is gone with it.
        EXPECT_EQ(root_.parent_path(), (fs::path(testing::TempDir()) / "").parent_path());
        EXPECT_FALSE(fs::exists(root_));
    }
};

void ExpectFinitePositive(const double* values, int from, int to) {
    for (int i = from; i < to; ++i) {
        EXPECT_TRUE(std::isfinite(values[i]) && values[i] > 0.0) << "value " << i;
    }
}

TEST_P(CompactRuns, ComputeAndWriteTheCabinet) {
    const CompactCase run = GetParam();
    auto values = Untouched();
    pkg::NodePairList links = {{L"stale", L"pair"}};
    ASSERT_TRUE(pkg::BatchComputePart(settings_, run.code, Part(run.type), Cabinet("compact"),
                                      links, values.data()));
    EXPECT_EQ(CabinetEntries("compact"), 1);
    EXPECT_EQ(compact_test::EntryCount(tmp_), 0u);

    int used = run.code == 0 ? 2 : 3;
    if (run.code == 2) {
        const auto model = pkg::LoadDetailedModelByType(platform::Utf8ToWide(run.type),
                                                        Part(run.type));
        const auto table = pkg::reg_link_manager::CreateRegistanceLinkManager(
            run.type, dynamic_cast<const pkg::DetailedModel*>(model.get()));
        ASSERT_TRUE(table);
        used = table->count;
        if (std::string(run.type) == "QFP") {
            EXPECT_EQ(used, 21);
        } else if (std::string(run.type) == "SOP") {
            EXPECT_EQ(used, 28);
        }
        ASSERT_EQ(static_cast<int>(links.size()), used);
        for (int l = 0; l < used; ++l) {
            EXPECT_EQ(links[l].first, table->nodes[2 * l]);
            EXPECT_EQ(links[l].second, table->nodes[2 * l + 1]);
        }
        // A DELPHI link may be fitted away (0.0); the others are finite and positive.
        for (int l = 0; l < used; ++l) {
            EXPECT_TRUE(std::isfinite(values[l]) && values[l] >= 0.0) << "link " << l;
        }
    } else {
        EXPECT_EQ(links.size(), 1u) << "only a DELPHI run replaces the link list";
        ExpectFinitePositive(values.data(), 0, used);
    }
    for (int i = used; i < 64; ++i) EXPECT_EQ(values[i], 0.0) << "value " << i;
}

INSTANTIATE_TEST_SUITE_P(EveryFamily, CompactRuns,
                         testing::Values(CompactCase{"PBGA", 0}, CompactCase{"PBGA", 2}, CompactCase{"FCBGA", 0},
                                         CompactCase{"FCBGA", 2}, CompactCase{"QFP", 0}, CompactCase{"QFP", 1},
                                         CompactCase{"QFP", 2}, CompactCase{"SOP", 0}, CompactCase{"SOP", 1},
                                         CompactCase{"SOP", 2}),
                         [](const testing::TestParamInfo<CompactCase>& info) {
                             return std::string(info.param.type) + "_code" +
                                    std::to_string(info.param.code);
                         });

using SimpleModeling = PartsFolder;

TEST_F(SimpleModeling, ComputesFromTheSimplifiedModel) {
    for (const char* type : {"QFP", "SOP"}) {
        SCOPED_TRACE(type);
        pkg::NodePairList links;
        auto detailed = Untouched();
        auto simple = Untouched();
        ASSERT_TRUE(pkg::BatchComputePart(settings_, 0, Part(type), Cabinet("detailed"), links,
                                          detailed.data()));
        pkg::ExportRunSettings with_simple = settings_;
        with_simple.simple_modeling = true;
        ASSERT_TRUE(pkg::BatchComputePart(with_simple, 0, Part(type), Cabinet("simple"), links,
                                          simple.data()));
        ExpectFinitePositive(simple.data(), 0, 2);
        EXPECT_NE(simple[0], detailed[0]);
        EXPECT_NE(simple[1], detailed[1]);
    }
}

// Real outlines export every kind their type offers, checks and solve included.
TEST_F(SimpleModeling, RealOutlinesExportEveryKindTheirTypeOffers) {
    int n = 0;
    for (const real_outlines::Outline& outline : real_outlines::kOutlines) {
        const char* folder = pkg::kPackageTypeNames[outline.type];
        const fs::path path = parts_ / folder / ("outline" + std::to_string(n++) + ".qvx");
        {
            std::ofstream out(path);
            ASSERT_TRUE(real_outlines::MakePart(outline)->WritePartFile(out));
        }
        const std::wstring part = platform::PathToWide(path);
        const pkg::PackageType* type = &pkg::kPackageTypes[outline.type];
        auto run = [&](pkg::ExportKind kind, const char* what, auto&& call) {
            if (!type->Exports(kind)) return;
            SCOPED_TRACE(std::string(outline.name) + " " + what);
            pkg::RunFailure failure;
            EXPECT_TRUE(call(failure)) << failure.message << " "
                                       << std::string(failure.literal.begin(), failure.literal.end());
            EXPECT_FALSE(failure);
        };
        run(pkg::kExportsDetail, "Detail", [&](pkg::RunFailure& f) {
            return pkg::ExportDetailedModelByType(settings_, part, Cabinet("detail"), &f);
        });
        run(pkg::kExportsSimple, "Simple", [&](pkg::RunFailure& f) {
            return pkg::ExportSimplifiedModelByType(settings_, part, Cabinet("simple"), &f);
        });
        const std::pair<pkg::ExportKind, int> compact[] = {
            {pkg::kExportsTwoResistor, 0}, {pkg::kExportsThreeResistor, 1}, {pkg::kExportsDelphi, 2}};
        for (const auto& [kind, code] : compact) {
            run(kind, std::to_string(code).c_str(), [&, code = code](pkg::RunFailure& f) {
                pkg::NodePairList links;
                auto values = Untouched();
                return pkg::BatchComputePart(settings_, code, part, Cabinet("compact"), links,
                                             values.data(), &f);
            });
        }
    }
}

}  // namespace
