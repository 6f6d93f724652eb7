#pragma once

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <string>

#include "export/export_runs.h"
#include "models/package_types.h"
#include "platform/wide_string.h"
#include "tests/export/compact_test_util.h"
#include "tests/models/default_parts.h"

namespace export_runs_test {

namespace fs = std::filesystem;

constexpr double kUntouched = 7.5;

inline std::array<double, 64> Untouched() {
    std::array<double, 64> values;
    values.fill(kUntouched);
    return values;
}

// A parts folder holding the default part of every type in its type folder, an export
// folder and a private temporary folder.
class PartsFolder : public compact_test::CompactFolders {
protected:
    void SetUp() override {
        CompactFolders::SetUp();
        parts_ = root_ / "parts";
        for (const char* type : default_parts::kTypeFolders) {
            fs::create_directories(parts_ / type);
            ASSERT_TRUE(default_parts::WriteDefaultPart(type, parts_ / type / "part.qvx"));
        }
        settings_.parts_folder = platform::PathToWide(parts_) + L"/";
    }

    std::wstring Part(const std::string& type) const {
        return platform::PathToWide(parts_ / type / "part.qvx");
    }
    std::wstring Cabinet(const std::string& name) const {
        return platform::PathToWide(out_ / (name + ".cab"));
    }
    // Number of entries cabextract extracts from a cabinet; -1 when there is no cabinet.
    int CabinetEntries(const std::string& name) const {
        const fs::path cab = out_ / (name + ".cab");
        if (!fs::exists(cab)) return -1;
        const fs::path into = root_ / ("unpacked_" + name);
        fs::create_directories(into);
        compact_test::Shell("cabextract -q -d " + compact_test::Quoted(into) + " " +
                            compact_test::Quoted(cab) + " 2>&1");
        return static_cast<int>(compact_test::EntryCount(into));
    }

    // Writes the default part of a type folder with `change` applied as <type>/<name>.qvx.
    std::wstring WriteChangedPart(const char* type, void (*change)(pkg::SemiconductorPackage&),
                                  const std::string& name) {
        auto part = default_parts::MakeDefault(type);
        change(*part);
        const fs::path path = parts_ / type / (name + ".qvx");
        std::ofstream out(path);
        EXPECT_TRUE(part->WritePartFile(out) && out.good());
        return platform::PathToWide(path);
    }

    // Every run of the part fails with `expected` as its reason and leaves nothing behind:
    // Detail, and for the types with compact models Simple and a two-resistor run, whose
    // values stay untouched.
    void ExpectEveryRunRefuses(const std::wstring& part, const std::string& type,
                               const pkg::RunFailure& expected) {
        const pkg::PackageType* package_type = pkg::FindPackageType(type);
        ASSERT_NE(package_type, nullptr) << type;
        const bool compact = package_type->Exports(pkg::kExportsSimple);
        pkg::RunFailure failure;
        auto expect = [&](bool result) {
            EXPECT_FALSE(result);
            EXPECT_EQ(failure.message, expected.message);
            EXPECT_EQ(failure.name, expected.name);
            EXPECT_EQ(failure.literal, expected.literal);
        };
        expect(pkg::ExportDetailedModelByType(settings_, part, Cabinet("refused"), &failure));
        if (compact) {
            expect(pkg::ExportSimplifiedModelByType(settings_, part, Cabinet("refused"), &failure));
            std::array<double, 64> values = Untouched();
            pkg::NodePairList links;
            expect(pkg::BatchComputePart(settings_, 0, part, Cabinet("refused"), links,
                                         values.data(), &failure));
            EXPECT_EQ(values, Untouched());
        }
        EXPECT_EQ(CabinetEntries("refused"), -1);
        EXPECT_EQ(compact_test::EntryCount(tmp_), 0u);
    }

    fs::path parts_;
    pkg::ExportRunSettings settings_;
};

}  // namespace export_runs_test
