#include "app/program_settings.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "models/part_loaders.h"
#include "platform/wide_string.h"
#include "tests/models/default_parts.h"

namespace {

namespace fs = std::filesystem;

// The open attempts in the order the file-tree pane makes them.
using TryOpen = bool (ProgramSettings::*)(const std::wstring&);
const TryOpen kAttempts[] = {
    &ProgramSettings::TryOpenBGAPart,   &ProgramSettings::TryOpenQFPPart,
    &ProgramSettings::TryOpenTO220Part, &ProgramSettings::TryOpenTO247Part,
    &ProgramSettings::TryOpenTO263Part, &ProgramSettings::TryOpenTO252Part,
    &ProgramSettings::TryOpenSOT89Part, &ProgramSettings::TryOpenSOT223Part,
};

class OpenCurrentPart : public testing::Test {
protected:
    void SetUp() override {
        const std::string test = testing::UnitTest::GetInstance()->current_test_info()->name();
        dir_ = fs::path(testing::TempDir()) / ("open_part_" + test);
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::wstring Write(const std::string& folder) {
        const fs::path path = dir_ / (folder + ".qvx");
        EXPECT_TRUE(default_parts::WriteDefaultPart(folder, path));
        return platform::PathToWide(path);
    }

    // Index of the first attempt that opens the file, -1 when none does.
    int FirstThatOpens(const std::wstring& path) {
        for (int i = 0; i < 8; ++i) {
            if ((settings_.*kAttempts[i])(path)) return i;
        }
        return -1;
    }

    fs::path dir_;
    ProgramSettings settings_;
};

TEST_F(OpenCurrentPart, TheFileTreeOrderFindsEachFamily) {
    const std::wstring fcbga = Write("FCBGA");
    EXPECT_EQ(FirstThatOpens(fcbga), 0);
    EXPECT_EQ(settings_.CurrentPackage->TypeString(), "fcbga");
    EXPECT_EQ(settings_.CurrentPartPath, fcbga);
    EXPECT_EQ(settings_.CurrentModel->Name(), L"FCBGA");

    EXPECT_EQ(FirstThatOpens(Write("SOP")), 1);
    EXPECT_EQ(settings_.CurrentPackage->TypeString(), "sop");
    EXPECT_EQ(FirstThatOpens(Write("TO-252")), 5);
    EXPECT_EQ(settings_.CurrentPackage->TypeString(), "TO-252");
    EXPECT_EQ(FirstThatOpens(Write("SOT-223")), 7);
}

TEST_F(OpenCurrentPart, AFileThatOpensAsNothingLeavesTheCurrentPartAlone) {
    const std::wstring qfp = Write("QFP");
    ASSERT_TRUE(settings_.TryOpenQFPPart(qfp));
    const auto before = settings_.CurrentPackage;
    std::ofstream(dir_ / "bad.qvx") << "<ostl_trelvo><type>qfp";
    for (const fs::path& path : {dir_ / "missing.qvx", dir_ / "bad.qvx"}) {
        EXPECT_EQ(FirstThatOpens(platform::PathToWide(path)), -1);
    }
    EXPECT_EQ(settings_.CurrentPackage, before);
    EXPECT_EQ(settings_.CurrentPartPath, qfp);
}

TEST_F(OpenCurrentPart, PackageAndModelShareOneObject) {
    ASSERT_TRUE(settings_.TryOpenBGAPart(Write("PBGA")));
    EXPECT_EQ(dynamic_cast<pkg::DetailedModel*>(settings_.CurrentPackage.get()),
              settings_.CurrentModel.get());
    std::weak_ptr<pkg::SemiconductorPackage> watch = settings_.CurrentPackage;
    settings_.CurrentPackage.reset();
    EXPECT_FALSE(watch.expired()) << "the model still holds the object";
    settings_.ClearCurrentPart();
    EXPECT_TRUE(watch.expired());
    EXPECT_TRUE(settings_.CurrentPartPath.empty());
}

}  // namespace
