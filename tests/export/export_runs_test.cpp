#include "export/export_runs.h"

#include <gtest/gtest.h>

#include "tests/export/export_runs_util.h"

namespace {

using export_runs_test::kUntouched;
using export_runs_test::PartsFolder;
using export_runs_test::Untouched;
namespace fs = std::filesystem;

TEST(PartTypeFromPath, IsTheFirstFolderBelowThePartsFolder) {
    const std::wstring parts = L"/home/u/parts/";
    EXPECT_EQ(pkg::PartTypeFromPath(parts, L"/home/u/parts/QFP/a/b.qvx"), L"QFP");
    EXPECT_EQ(pkg::PartTypeFromPath(parts, L"/home/u/parts/x.qvx"), L"x.qvx");
    EXPECT_EQ(pkg::PartTypeFromPath(parts, L"/home/u/"), L"");
    EXPECT_EQ(pkg::PartTypeFromPath(parts, parts), L"");
    EXPECT_EQ(pkg::PartTypeFromPath(L"/home/u/parts", L"/home/u/parts/QFP/b.qvx"), L"QFP");
    // The beginning of the path is not compared with the parts folder.
    EXPECT_EQ(pkg::PartTypeFromPath(parts, L"/elsewhere/ab/SOP/b.qvx"), L"SOP");
}

using ExportRuns = PartsFolder;

TEST_F(ExportRuns, DetailForEveryTypeAndSimpleForTheFamiliesThatHaveOne) {
    for (const char* type : default_parts::kTypeFolders) {
        SCOPED_TRACE(type);
        const std::string name = type;
        const bool simple = name == "QFP" || name == "SOP" || name == "PBGA" || name == "FCBGA";
        EXPECT_TRUE(pkg::ExportDetailedModelByType(settings_, Part(type), Cabinet(name + "_detail")));
        EXPECT_EQ(CabinetEntries(name + "_detail"), 1);
        EXPECT_EQ(pkg::ExportSimplifiedModelByType(settings_, Part(type), Cabinet(name + "_simple")),
                  simple);
        EXPECT_EQ(CabinetEntries(name + "_simple"), simple ? 1 : -1);
    }
    EXPECT_EQ(compact_test::EntryCount(tmp_), 0u);
}

TEST_F(ExportRuns, TheFolderNotTheFileChoosesTheLoader) {
    // An SOP part in the QFP folder loads with the QFP/SOP loader.
    fs::copy_file(parts_ / "SOP" / "part.qvx", parts_ / "QFP" / "sop.qvx");
    const std::wstring sop_in_qfp = platform::PathToWide(parts_ / "QFP" / "sop.qvx");
    EXPECT_TRUE(pkg::ExportDetailedModelByType(settings_, sop_in_qfp, Cabinet("sop_in_qfp")));
    ASSERT_TRUE(pkg::LoadDetailedModelByType(L"QFP", sop_in_qfp));
    EXPECT_EQ(pkg::LoadDetailedModelByType(L"QFP", sop_in_qfp)->TypeString(), "sop");

    // "pbga" is no BGA folder: the QFP/SOP loader refuses the BGA part.
    fs::create_directories(parts_ / "pbga");
    fs::copy_file(parts_ / "PBGA" / "part.qvx", parts_ / "pbga" / "part.qvx");
    EXPECT_FALSE(pkg::ExportDetailedModelByType(settings_, Part("pbga"), Cabinet("lower")));
    // A power device part in another power device's folder is refused by that loader.
    EXPECT_FALSE(pkg::LoadDetailedModelByType(L"TO-247", Part("TO-220")));
    EXPECT_TRUE(pkg::LoadDetailedModelByType(L"TO-220", Part("TO-220")));

    // A path no longer than the parts folder has no type, and nothing falls through to the
    // QFP/SOP loader.
    EXPECT_FALSE(pkg::LoadDetailedModelByType(L"", Part("QFP")));
    pkg::ExportRunSettings deep = settings_;
    deep.parts_folder = Part("QFP") + L"/deeper/";
    EXPECT_FALSE(pkg::ExportDetailedModelByType(deep, Part("QFP"), Cabinet("short")));
    EXPECT_FALSE(pkg::ExportSimplifiedModelByType(deep, Part("QFP"), Cabinet("short")));
    EXPECT_EQ(CabinetEntries("short"), -1);
    EXPECT_EQ(CabinetEntries("lower"), -1);
}

TEST_F(ExportRuns, CompactRunsThatCannotComputeFailBeforeTouchingTheCaller) {
    struct Case {
        const char* type;
        int code;
    };
    // BGA has no three-resistor model, 3 is no code, power devices have no compact model,
    // and the SOP part in the QFP folder disagrees with its folder.
    fs::copy_file(parts_ / "SOP" / "part.qvx", parts_ / "QFP" / "sop.qvx");
    const Case cases[] = {{"PBGA", 1}, {"QFP", 3}, {"QFP", -1}, {"TO-220", 0},
                          {"TO-263", 2}, {"SOT-89", 1}, {"SOT-223", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.type) + " code " + std::to_string(c.code));
        auto values = Untouched();
        pkg::NodePairList links = {{L"a", L"b"}};
        EXPECT_FALSE(pkg::BatchComputePart(settings_, c.code, Part(c.type), Cabinet("compact"),
                                           links, values.data()));
        EXPECT_EQ(values, Untouched());
        EXPECT_EQ(links.size(), 1u);
    }
    auto values = Untouched();
    pkg::NodePairList links;
    EXPECT_FALSE(pkg::BatchComputePart(settings_, 0,
                                       platform::PathToWide(parts_ / "QFP" / "sop.qvx"),
                                       Cabinet("compact"), links, values.data()));
    EXPECT_EQ(values, Untouched());
    EXPECT_EQ(CabinetEntries("compact"), -1);
    EXPECT_EQ(compact_test::EntryCount(tmp_), 0u);
}

TEST_F(ExportRuns, DelphiWithoutALinkTableFailsBeforeComputing) {
    pkg::bga::BGADetailedModel layout3(false);
    layout3.solder_ball.layout = 3;
    {
        std::ofstream out(parts_ / "PBGA" / "layout3.qvx");
        ASSERT_TRUE(layout3.WritePartFile(out));
    }
    auto values = Untouched();
    pkg::NodePairList links;
    EXPECT_FALSE(pkg::BatchComputePart(settings_, 2,
                                       platform::PathToWide(parts_ / "PBGA" / "layout3.qvx"),
                                       Cabinet("layout3"), links, values.data()));
    EXPECT_TRUE(links.empty());
    EXPECT_EQ(values, Untouched());
    EXPECT_EQ(compact_test::EntryCount(tmp_), 0u);
}

}  // namespace
