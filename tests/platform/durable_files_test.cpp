// Writes that must never lose what is already on disk: temporaries of the longest names,
// files that must not be replaced, the identity that tells another program's save, and the
// layout record's key file.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/atomic_file.h"
#include "platform/file_identity.h"
#include "platform/registry.h"
#include "platform/temp_files.h"

namespace {

namespace fs = std::filesystem;

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
    static std::string Read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
        return names;
    }
    fs::path dir;
};

TEST_F(DurableFiles, TheLongestNamesSaveThroughTemporariesThatFitAndAreRecognised) {
    std::string name;
    while (name.size() + 3 <= 251) name += "\xE9\x83\xA8";
    while (name.size() < 251) name += 'x';
    const fs::path a = dir / (name + ".qvx");
    const fs::path b = dir / (name.substr(0, 250) + "y.qvx");
    ASSERT_EQ(a.filename().string().size(), 255u);
    const std::string prefix = platform::BesideFilePrefix(a);
    EXPECT_NE(prefix, platform::BesideFilePrefix(b)) << "names alike at the start stay apart";
    EXPECT_TRUE(platform::IsBesideFilePrefix(prefix));

    const platform::UniqueFile temp = platform::CreateUniqueFile(dir, prefix);
    ASSERT_GE(temp.fd, 0);
    close(temp.fd);
    std::string_view found;
    long pid = 0;
    const std::string temp_name = temp.path.filename().string();
    ASSERT_TRUE(platform::SplitTempName(temp_name, found, pid));
    EXPECT_EQ(found, prefix);
    EXPECT_TRUE(platform::RemoveQuietly(temp.path));

    ASSERT_TRUE(platform::WriteFileAtomically(a, "one"));
    ASSERT_TRUE(platform::WriteFileAtomically(a, "two"));
    EXPECT_EQ(Read(a), "two");
    EXPECT_EQ(Names().size(), 1u);
}

TEST_F(DurableFiles, ANewFileNeverReplacesWhatIsThere) {
    const fs::path file = dir / "sample.qvx";
    ASSERT_TRUE(platform::WriteNewFileAtomically(file, "first"));
    std::string error;
    EXPECT_FALSE(platform::WriteNewFileAtomically(file, "second", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Read(file), "first");
    EXPECT_EQ(Names().size(), 1u);
}

TEST_F(DurableFiles, IdentitySeesAChangeThatKeepsSizeAndTime) {
    const fs::path file = dir / "part.qvx";
    std::ofstream(file) << "thickness 2.5";
    const platform::FileIdentity read = platform::ReadFileIdentity(file);
    ASSERT_TRUE(read.exists);
    EXPECT_EQ(read, platform::ReadFileIdentity(file));
    const auto time = fs::last_write_time(file);
    std::ofstream(file) << "thickness 3.5";
    fs::last_write_time(file, time);
    EXPECT_NE(platform::ReadFileIdentity(file), read);

    // A FIFO in the part's place is no file, and reading it does not wait for a writer.
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
    EXPECT_EQ(platform::Registry::ReadString(platform::RegistryRoot::CurrentUser, key,
                                             L"PaneLayout"),
              L"theirs");

    const fs::path folder = file.parent_path();
    for (const char* name : {"registryAb12Cd", ".registry.ini-zt999999999-abcdEFGH",
                             "registry.bak", "registryAb12Cde"}) {
        std::ofstream(folder / name) << "left";
    }
    EXPECT_EQ(platform::Registry::RemoveStaleTemporaries(key), 2);
    EXPECT_TRUE(fs::exists(folder / "registry.bak"));
    EXPECT_TRUE(fs::exists(folder / "registryAb12Cde"));
    EXPECT_TRUE(fs::exists(file));
    EXPECT_FALSE(fs::exists(folder / "registryAb12Cd"));
    unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
