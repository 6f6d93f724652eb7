#include "platform/file_moves.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

class FileMoves : public testing::Test {
  protected:
    void SetUp() override {
        const std::string test = testing::UnitTest::GetInstance()->current_test_info()->name();
        dir_ = fs::path(testing::TempDir()) / ("file_moves_" + test);
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    void Write(const fs::path& p, const std::string& text) { std::ofstream(p) << text; }
    std::string Read(const fs::path& p) {
        std::ifstream in(p);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    fs::path dir_;
};

TEST_F(FileMoves, RenamesNeverReplace) {
    Write(dir_ / "a.qvx", "a");
    Write(dir_ / "b.qvx", "b");
    std::string error;
    EXPECT_FALSE(platform::RenameNoReplace(dir_ / "a.qvx", dir_ / "b.qvx", error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Read(dir_ / "a.qvx"), "a");
    EXPECT_EQ(Read(dir_ / "b.qvx"), "b");

    // A case-only rename and a folder with its contents.
    EXPECT_TRUE(platform::RenameNoReplace(dir_ / "a.qvx", dir_ / "A.qvx", error));
    EXPECT_EQ(Read(dir_ / "A.qvx"), "a");
    fs::create_directories(dir_ / "from" / "sub");
    Write(dir_ / "from" / "sub" / "p.qvx", "p");
    EXPECT_TRUE(platform::RenameNoReplace(dir_ / "from", dir_ / "A.qvx.d", error));
    EXPECT_EQ(Read(dir_ / "A.qvx.d" / "sub" / "p.qvx"), "p");
    EXPECT_FALSE(platform::RenameNoReplace(dir_ / "missing", dir_ / "other", error));
}

TEST_F(FileMoves, TrashKeepsTheFileRestorable) {
    // The trash of the folder's own file system; GIO reads the variable on first use.
    ::setenv("XDG_DATA_HOME", (dir_ / "data").c_str(), 1);
    fs::create_directories(dir_ / "data");
    Write(dir_ / "gone.qvx", "kept in the trash");
    std::string error;
    ASSERT_TRUE(platform::MoveToTrash(dir_ / "gone.qvx", error)) << error;
    EXPECT_FALSE(fs::exists(dir_ / "gone.qvx"));
    EXPECT_EQ(Read(dir_ / "data" / "Trash" / "files" / "gone.qvx"), "kept in the trash");

    EXPECT_FALSE(platform::MoveToTrash(dir_ / "never there.qvx", error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
