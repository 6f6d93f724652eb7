#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include <gtest/gtest.h>

namespace compact_test {

namespace fs = std::filesystem;

inline std::string Shell(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
        ::pclose(p);
    }
    return out;
}

inline std::string Quoted(const fs::path& p) { return "'" + p.string() + "'"; }

inline std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline size_t EntryCount(const fs::path& dir) {
    size_t n = 0;
    for (auto it = fs::directory_iterator(dir); it != fs::directory_iterator(); ++it) ++n;
    return n;
}

// The single entry of a cabinet, extracted into `into`, and its name; empty when the
// cabinet does not hold exactly one.
inline std::string ExtractOnly(const fs::path& cab, const fs::path& into, std::string& entry_name) {
    fs::create_directories(into);
    Shell("cabextract -q -d " + Quoted(into) + " " + Quoted(cab) + " 2>&1");
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(into)) files.push_back(e.path());
    if (files.size() != 1) return std::string();
    entry_name = files[0].filename().string();
    std::ifstream in(files[0], std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::string ExtractOnly(const fs::path& cab, const fs::path& into) {
    std::string entry_name;
    return ExtractOnly(cab, into, entry_name);
}

// A fresh export folder and a private temporary folder per test, so that the test can
// prove nothing was left behind.
class CompactFolders : public testing::Test {
protected:
    void SetUp() override {
        // Suite, test name and process, so no two tests share a folder, not even those of
        // two runs of the suite at the same time.
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "compact_" + std::string(test->test_suite_name()) + "." +
                           test->name() + "." + std::to_string(::getpid());
        // A parameterised test's names hold '/': one folder, not a nest that outlives it.
        std::replace(name.begin(), name.end(), '/', '_');
        root_ = fs::path(testing::TempDir()) / name;
        fs::remove_all(root_);
        tmp_ = root_ / "tmp";
        out_ = root_ / "out";
        fs::create_directories(tmp_);
        fs::create_directories(out_);
        if (const char* old = std::getenv("TMPDIR")) old_tmpdir_ = old, had_tmpdir_ = true;
        ::setenv("TMPDIR", tmp_.c_str(), 1);
    }
    void TearDown() override {
        if (had_tmpdir_) {
            ::setenv("TMPDIR", old_tmpdir_.c_str(), 1);
        } else {
            ::unsetenv("TMPDIR");
        }
        fs::remove_all(root_);
    }

    fs::path root_, tmp_, out_;
    std::string old_tmpdir_;
    bool had_tmpdir_ = false;
};

}  // namespace compact_test
