#include "export/export_runs.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "models/bga/bga.h"
#include "models/model_check.h"
#include "models/pdevice/power_device.h"
#include "models/qfp/qfp.h"
#include "resources/string_ids.h"
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

// A ball layout outside the list has no DELPHI network; the layout rule refuses it before
// anything is built or computed.
TEST_F(ExportRuns, DelphiOfABallLayoutOutsideTheListFailsOnTheLayoutRule) {
    pkg::bga::BGADetailedModel layout3(false);
    layout3.solder_ball.layout = 3;
    {
        std::ofstream out(parts_ / "PBGA" / "layout3.qvx");
        ASSERT_TRUE(layout3.WritePartFile(out));
    }
    auto values = Untouched();
    pkg::NodePairList links;
    pkg::RunFailure failure;
    EXPECT_FALSE(pkg::BatchComputePart(settings_, 2,
                                       platform::PathToWide(parts_ / "PBGA" / "layout3.qvx"),
                                       Cabinet("layout3"), links, values.data(), &failure));
    EXPECT_EQ(failure.message, resources::IDS_RULE_LISTED_CHOICE);
    EXPECT_EQ(failure.name, resources::IDS_PROP_BALL_LAYOUT);
    EXPECT_TRUE(links.empty());
    EXPECT_EQ(values, Untouched());
    EXPECT_EQ(CabinetEntries("layout3"), -1);
    EXPECT_EQ(compact_test::EntryCount(tmp_), 0u);
}

// A chip whose top lies level with the lead top needs no wire drop at the tip line: the
// part builds a sound model and exports every kind its type offers.
TEST_F(ExportRuns, AChipLevelWithTheLeadTopExports) {
    for (const char* type : {"QFP", "SOP"}) {
        SCOPED_TRACE(type);
        // The die pad lies 0.2 below the lead frame under 0.02 of die attach.
        const std::wstring part = WriteChangedPart(type, [](pkg::SemiconductorPackage& p) {
            dynamic_cast<pkg::qfp::QFP&>(p).chip.thickness = 0.18; }, "level");
        const auto loaded = pkg::LoadDetailedModelByType(platform::Utf8ToWide(type), part);
        auto* model = dynamic_cast<pkg::DetailedModel*>(loaded.get());
        ASSERT_NE(model, nullptr);
        ASSERT_EQ(model->Build(), 0);
        EXPECT_FALSE(pkg::CheckBuiltModel(*model));

        pkg::RunFailure failure;
        EXPECT_TRUE(pkg::ExportDetailedModelByType(settings_, part, Cabinet("detail"), &failure))
            << failure.message;
        EXPECT_TRUE(pkg::ExportSimplifiedModelByType(settings_, part, Cabinet("simple"), &failure))
            << failure.message;
        auto values = Untouched();
        pkg::NodePairList links;
        EXPECT_TRUE(pkg::BatchComputePart(settings_, 0, part, Cabinet("compact"), links,
                                          values.data(), &failure))
            << failure.message;
    }
}

// A part or settings that break a rule fail every run before anything is built: no
// cabinet, no temporary, the caller's values untouched and the rule as the reason.
TEST_F(ExportRuns, APartOrSettingsBreakingARuleWriteNothingAndSayWhy) {
    namespace r = resources;
    struct Case {
        const char* type;
        void (*change)(pkg::SemiconductorPackage&);
        std::uint32_t message;
        std::uint32_t name;
    };
    const Case cases[] = {
        {"QFP", [](pkg::SemiconductorPackage& p) {
             dynamic_cast<pkg::qfp::QFP&>(p).mold.thermal_conductivity = 0; },
         r::IDS_SPECIFY_GREATER_THAN_ZERO, r::IDS_CHECK_MOLD_CONDUCTIVITY},
        {"SOP", [](pkg::SemiconductorPackage& p) {
             dynamic_cast<pkg::qfp::QFP&>(p).chip.size.x = 14; },
         r::IDS_RULE_CHIP_ON_DIE_PAD, 0},
        {"PBGA", [](pkg::SemiconductorPackage& p) {
             dynamic_cast<pkg::bga::BGA&>(p).solder_ball.pitch = 0; },
         r::IDS_SPECIFY_GREATER_THAN_ZERO, r::IDS_NAME_BALL_PITCH},
        {"FCBGA", [](pkg::SemiconductorPackage& p) {
             dynamic_cast<pkg::bga::BGA&>(p).mold.thickness = 1e300; },
         r::IDS_RULE_LENGTH_AT_MOST, r::IDS_CHECK_MOLD_THICKNESS},
        {"TO-220", [](pkg::SemiconductorPackage& p) {
             dynamic_cast<pkg::pdevice::PowerDevice&>(p).chip.thermal_conductivity = 0; },
         r::IDS_SPECIFY_GREATER_THAN_ZERO, r::IDS_CHECK_CHIP_CONDUCTIVITY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        pkg::RunFailure expected;
        expected.message = c.message;
        expected.name = c.name;
        ExpectEveryRunRefuses(WriteChangedPart(c.type, c.change, "bad"), c.type, expected);
    }

    pkg::ExportRunSettings negative = settings_;
    negative.fluid_thermal_conductivity = -5;
    pkg::ExportRunSettings zero = settings_;
    zero.threshold[2] = 0;
    for (const auto& [settings, name] :
         {std::pair{negative, r::IDS_NAME_FLUID_CONDUCTIVITY}, std::pair{zero, r::IDS_NAME_THRESHOLD_Z}}) {
        pkg::RunFailure failure;
        auto values = Untouched();
        pkg::NodePairList links;
        EXPECT_FALSE(pkg::BatchComputePart(settings, 0, Part("QFP"), Cabinet("settings"), links,
                                           values.data(), &failure));
        EXPECT_EQ(failure.name, name);
        EXPECT_FALSE(pkg::ExportDetailedModelByType(settings, Part("QFP"), Cabinet("settings"),
                                                    &failure));
        EXPECT_EQ(failure.name, name);
    }
    EXPECT_EQ(CabinetEntries("settings"), -1);
}

}  // namespace

namespace {

using export_runs_test::PartsFolder;
using export_runs_test::Untouched;
namespace fs = std::filesystem;
namespace r = resources;

using ListFileRuns = PartsFolder;

// The list file is a by-product: when it cannot be written the run still finishes with
// its values and cabinet, says so, and leaves no earlier run's list file beside them.
TEST_F(ListFileRuns, AListFileThatCannotBeWrittenCostsOnlyTheListFile) {
    settings_.list_file_output = true;
    const fs::path folder = out_ / "folder.cab.l";
    fs::create_directory(folder);
    const fs::path fifo = out_ / "fifo.cab.l";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const char* name : {"folder", "fifo"}) {
        SCOPED_TRACE(name);
        pkg::RunFailure failure;
        pkg::NodePairList links;
        auto values = Untouched();
        EXPECT_TRUE(pkg::BatchComputePart(settings_, 0, Part("PBGA"), Cabinet(name), links,
                                          values.data(), &failure));
        EXPECT_EQ(failure.message, r::IDS_RUN_LIST_FILE_NOT_WRITTEN);
        EXPECT_EQ(failure.literal, Cabinet(name) + L".l");
        EXPECT_EQ(CabinetEntries(name), 1);
        EXPECT_GT(values[0], 0.0);
    }
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_TRUE(fs::is_fifo(fifo));

    // A list file whose path is longer than the solver's buffer takes: the solver writes
    // into a staging folder of its own, so the older list file there is replaced all the same.
    const fs::path deep = out_ / std::string(200, 'd');
    fs::create_directory(deep);
    const fs::path older = deep / (std::string(50, 's') + ".cab.l");
    std::ofstream(older) << "earlier run\n";
    pkg::RunFailure failure;
    pkg::NodePairList links;
    auto values = Untouched();
    const std::wstring cabinet = platform::PathToWide(deep / (std::string(50, 's') + ".cab"));
    ASSERT_GT(cabinet.size(), 255u);
    EXPECT_TRUE(pkg::BatchComputePart(settings_, 0, Part("PBGA"), cabinet, links,
                                      values.data(), &failure));
    EXPECT_FALSE(failure);
    EXPECT_EQ(compact_test::ReadText(older).rfind("=== Resistance Model", 0), 0u);
    EXPECT_TRUE(fs::exists(platform::PathFromWide(cabinet)));

    // Where the list file can be written it is, and nothing is said.
    EXPECT_TRUE(pkg::BatchComputePart(settings_, 0, Part("PBGA"), Cabinet("listed"), links,
                                      values.data(), &failure));
    EXPECT_FALSE(failure);
    EXPECT_TRUE(fs::is_regular_file(out_ / "listed.cab.l"));
    EXPECT_EQ(compact_test::EntryCount(tmp_), 0u);
}

// A part whose built model fails its check is refused by every run before anything is
// written. A part a validity rule already refuses gives the rule's message instead, and
// never reaches a build.
TEST_F(ListFileRuns, ABuiltModelThatFailsItsCheckIsNeverWritten) {
    struct Case {
        const char* type;
        void (*change)(pkg::SemiconductorPackage&);
    };
    const Case cases[] = {
        {"QFP", [](pkg::SemiconductorPackage& p) {
             auto& q = dynamic_cast<pkg::qfp::QFP&>(p);
             q.inner_lead.offset = (q.mold.size.x - q.die_pad.size.x) / 2.0 + 0.3; }},
        {"SOP", [](pkg::SemiconductorPackage& p) {
             dynamic_cast<pkg::qfp::QFP&>(p).chip.thickness = 5.0; }},
        {"FCBGA", [](pkg::SemiconductorPackage& p) {
             dynamic_cast<pkg::bga::BGA&>(p).bump.number = 10000; }},
        {"TO-220", [](pkg::SemiconductorPackage& p) {
             dynamic_cast<pkg::pdevice::PowerDevice&>(p).chip.size.x = 50.0; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        auto part = default_parts::MakeDefault(c.type);
        c.change(*part);
        auto& model = dynamic_cast<pkg::DetailedModel&>(*part);
        ASSERT_EQ(model.Build(), 0);
        const pkg::RuleViolation fault = pkg::CheckBuiltModel(model);
        ASSERT_TRUE(fault);
        const pkg::RuleViolation rule = pkg::CheckPackageRules(*part);
        ExpectEveryRunRefuses(WriteChangedPart(c.type, c.change, "unsound"), c.type,
                              rule ? rule : fault);
    }
}

}  // namespace
