#include "fuzz/fuzz_inputs.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> Inputs(const std::string& kind) {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(fs::path(ZENTRIK_TEST_DATA) / "fuzz" / kind)) {
        if (e.is_regular_file()) files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<uint8_t> Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Inputs that overflowed or exhausted memory in a reader or a build must now run through
// under the sanitizers. The folders also hold a plain input each.
TEST(FuzzRegression, PartFiles) {
    const std::vector<fs::path> files = Inputs("part");
    ASSERT_FALSE(files.empty());
    for (const fs::path& f : files) {
        SCOPED_TRACE(f.filename().string());
        const std::vector<uint8_t> bytes = Bytes(f);
        zentrik_fuzz::RunPartFile(bytes.data(), bytes.size());
    }
}

TEST(FuzzRegression, SolverInputs) {
    const std::vector<fs::path> files = Inputs("solver");
    ASSERT_FALSE(files.empty());
    for (const fs::path& f : files) {
        SCOPED_TRACE(f.filename().string());
        const std::vector<uint8_t> bytes = Bytes(f);
        zentrik_fuzz::RunSolverInput(bytes.data(), bytes.size());
    }
}

TEST(FuzzRegression, SettingsFiles) {
    const std::vector<fs::path> files = Inputs("settings");
    ASSERT_FALSE(files.empty());
    for (const fs::path& f : files) {
        SCOPED_TRACE(f.filename().string());
        const std::vector<uint8_t> bytes = Bytes(f);
        zentrik_fuzz::RunSettingsFile(bytes.data(), bytes.size());
    }
}

}  // namespace
