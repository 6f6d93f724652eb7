// The identity of what is not a file, and the layout record's key file shared by two writers.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/file_identity.h"
#include "platform/registry.h"
#include "platform/temp_files.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

class DurableFiles : public testing::Test {
  protected:
    void SetUp() override {
        dir = platform::MakeUniqueDirectory(platform::TempDirectory(), "zentrik-durable-");
        ASSERT_FALSE(dir.empty());
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    fs::path dir;
};

TEST_F(DurableFiles, AFifoInAFilesPlaceHasNoIdentityAndDoesNotBlock) {
    const fs::path fifo = dir / "fifo.qvx";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(platform::ReadFileIdentity(fifo).exists);
    EXPECT_FALSE(platform::ReadFileIdentity(dir / "missing.qvx").exists);
}

TEST_F(DurableFiles, TheKeyFileKeepsOtherWritersValuesAndItsLeftoversAreSwept) {
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    const std::wstring key = L"Ostrel\\Zentrik2020\\test";
    const fs::path file = platform::Registry::KeyFile(dir, key);
    ASSERT_TRUE(platform::Registry::WriteString(key, L"EnvHomeDirectory", L"/home/u/work/"));
    // Another program adds a value between two writes of this one.
    std::ofstream(file, std::ios::app) << "PaneLayout=theirs\n";
    ASSERT_TRUE(platform::Registry::WriteString(key, L"MainFrameRect", L"1,2,300,400"));
    EXPECT_EQ(platform::Registry::ReadString(platform::RegistryRoot::CurrentUser, key,
                                             L"EnvHomeDirectory"),
              L"/home/u/work/");
    EXPECT_EQ(
        platform::Registry::ReadString(platform::RegistryRoot::CurrentUser, key, L"PaneLayout"),
        L"theirs");

    // Only the atomic writer's own temporary goes; names like it that the user gave stay.
    const fs::path folder = file.parent_path();
    const std::string mark = "zt999999999." + std::string(platform::ThisHostMark()) + "-abcdEFGH";
    for (const std::string& name : {"registryAb12Cd"s, ".registry.ini-" + mark, "registry.bak"s,
                                    "registryAb12Cde"s, "registrybackup"s, "registry202612"s,
                                    ".notes-" + mark}) {
        std::ofstream(folder / name) << "left";
    }
    EXPECT_EQ(platform::Registry::RemoveStaleTemporaries(key), 1);
    EXPECT_FALSE(fs::exists(folder / (".registry.ini-" + mark)));
    for (const std::string& name : {"registryAb12Cd"s, "registry.bak"s, "registryAb12Cde"s,
                                    "registrybackup"s, "registry202612"s, ".notes-" + mark}) {
        EXPECT_TRUE(fs::exists(folder / name)) << name;
    }
    EXPECT_TRUE(fs::exists(file));
    unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
