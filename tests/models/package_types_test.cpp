// The package-type table checked against what each type's own part files, built model and
// help pictures hold, so that a row moved, copied or mistyped shows here.
#include "models/package_types.h"

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "models/bga/bga.h"
#include "models/detailed_model.h"
#include "models/part_loaders.h"
#include "models/pdevice/power_device.h"
#include "models/qfp/qfp.h"
#include "platform/wide_string.h"
#include "resources/string_ids.h"

namespace {

namespace fs = std::filesystem;
using pkg::PackageFamily;
using pkg::PackageType;

PackageFamily FamilyOfObject(const pkg::SemiconductorPackage& package) {
    if (dynamic_cast<const pkg::bga::BGA*>(&package)) return PackageFamily::kBGA;
    if (dynamic_cast<const pkg::pdevice::PowerDevice*>(&package)) {
        return PackageFamily::kPowerDevice;
    }
    EXPECT_NE(dynamic_cast<const pkg::qfp::QFP*>(&package), nullptr);
    return PackageFamily::kQFP;
}

// The names of the groups that hold blocks, anywhere in the tree.
void BlockGroups(const pkg::Group& group, std::vector<std::wstring>& names) {
    if (!group.cuboids.empty() || !group.prisms.empty()) names.push_back(group.name);
    for (const auto& child : group.children) BlockGroups(*child, names);
}

// Whether the pane row of `key` shows the group `name` (the preview matches by prefix).
bool Shows(const char* key, const std::wstring& name) {
    return name.rfind(platform::Utf8ToWide(key), 0) == 0;
}

TEST(PackageTypes, EachSampleLoadsBackThroughItsOwnLoaderAsItsOwnType) {
    const fs::path dir = fs::path(testing::TempDir()) / "package_types_samples";
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (const PackageType& type : pkg::kPackageTypes) {
        SCOPED_TRACE(type.folder);
        const auto sample = type.make_sample();
        ASSERT_TRUE(sample);
        EXPECT_EQ(FamilyOfObject(*sample), type.family);
        std::ostringstream text;
        ASSERT_TRUE(sample->WritePartFile(text));
        const fs::path path = dir / (std::string(type.folder) + ".qvx");
        std::ofstream(path) << text.str();
        const pkg::LoadedDetail loaded = type.load_detailed(platform::PathToWide(path));
        ASSERT_TRUE(loaded.package && loaded.model);
        EXPECT_EQ(pkg::PackageTypeReadAs(loaded.package->TypeName()), &type);
    }
    fs::remove_all(dir);
}

TEST(PackageTypes, LookupsFindEachRowByItsOwnNamesAndNothingElse) {
    std::set<std::string> names;
    for (const PackageType& type : pkg::kPackageTypes) {
        SCOPED_TRACE(type.folder);
        const std::string folder = type.folder;
        EXPECT_EQ(platform::Utf8ToWide(folder), type.wide_folder);
        EXPECT_EQ(pkg::FindPackageType(folder), &type);
        EXPECT_EQ(pkg::FindPackageType(std::wstring(type.wide_folder)), &type);
        EXPECT_EQ(pkg::FindPackageTypeByTypeName(type.type_name), &type);
        EXPECT_EQ(pkg::PackageTypeReadAs(type.type_name), &type);
        EXPECT_EQ(pkg::ComponentKeysOf(type.type_name).begin(), type.components.begin());
        for (PackageFamily family :
             {PackageFamily::kQFP, PackageFamily::kBGA, PackageFamily::kPowerDevice}) {
            EXPECT_EQ(pkg::IsPackageFamily(folder, family), family == type.family);
        }
        // An older name is read as the type, yet no row holds it as its own.
        if (type.legacy_type_name != nullptr) {
            EXPECT_EQ(pkg::PackageTypeReadAs(type.legacy_type_name), &type);
            EXPECT_EQ(pkg::FindPackageTypeByTypeName(type.legacy_type_name), nullptr);
        }
        names.insert({folder, type.type_name});
    }
    // Names match exactly: no case folding, no trimming, and a folder name is no type name.
    for (const char* name : {"", "Pbga", "PBGA ", "TO220", "sot-89", "qfp ", "Qfp"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(names.count(name), 0u);
        EXPECT_EQ(pkg::FindPackageType(std::string(name)), nullptr);
        EXPECT_EQ(pkg::FindPackageTypeByTypeName(name), nullptr);
        EXPECT_EQ(pkg::PackageTypeReadAs(name), nullptr);
    }
    EXPECT_EQ(pkg::FindPackageType(std::wstring(L"qfp")), nullptr);
    EXPECT_EQ(pkg::FindPackageTypeByTypeName("QFP"), nullptr);
    // Before a part is opened, the pane lists the components of a lead frame.
    const auto lead_frame = std::find_if(
        std::begin(pkg::kPackageTypes), std::end(pkg::kPackageTypes),
        [](const PackageType& type) { return type.Has(pkg::kFourSidedLeads); });
    ASSERT_NE(lead_frame, std::end(pkg::kPackageTypes));
    EXPECT_EQ(pkg::ComponentKeysOf("").begin(), lead_frame->components.begin());
}

TEST(PackageTypes, ComponentRowsAndTraitsAgreeWithTheBuiltModel) {
    for (const PackageType& type : pkg::kPackageTypes) {
        SCOPED_TRACE(type.folder);
        const auto sample = type.make_sample();
        auto* model = dynamic_cast<pkg::DetailedModel*>(sample.get());
        ASSERT_NE(model, nullptr);
        // With every part the type can have, so that each row has blocks to show.
        if (auto* b = dynamic_cast<pkg::bga::BGA*>(sample.get())) {
            b->composition = {!b->IsFCBGA(), !b->IsFCBGA(), true};
        }
        ASSERT_EQ(model->Build(), 0);
        std::vector<std::wstring> groups;
        BlockGroups(model->root, groups);
        // Every row shows something, and every block can be shown by some row.
        for (const pkg::ComponentKey& row : type.components) {
            EXPECT_TRUE(std::any_of(groups.begin(), groups.end(),
                                    [&](const std::wstring& g) { return Shows(row.key, g); }))
                << row.key;
        }
        for (const std::wstring& group : groups) {
            EXPECT_TRUE(std::any_of(type.components.begin(), type.components.end(),
                                    [&](const pkg::ComponentKey& row) {
                                        return Shows(row.key, group);
                                    }))
                << platform::WideToUtf8(group);
        }
        const bool die_pad_row =
            std::any_of(type.components.begin(), type.components.end(), [](const auto& row) {
                return row.text == resources::IDS_COMPONENT_DIE_PAD;
            });
        EXPECT_EQ(type.Has(pkg::kOwnDiePad), die_pad_row);
        if (const auto* q = dynamic_cast<const pkg::qfp::QFP*>(sample.get())) {
            EXPECT_EQ(type.Has(pkg::kFourSidedLeads), !q->IsSOP());
        }
        if (const auto* b = dynamic_cast<const pkg::bga::BGA*>(sample.get())) {
            EXPECT_EQ(type.Has(pkg::kFlipChip), b->IsFCBGA());
        }
    }
}

TEST(PackageTypes, HelpPicturesAreTheTypesOwnAndAreBuiltInBothLanguages) {
    std::set<std::wstring> folders;
    for (const PackageType& type : pkg::kPackageTypes) {
        SCOPED_TRACE(type.folder);
        // A drawing's title is its file prefix in capitals: the type's own name.
        std::wstring title = type.help.prefix;
        std::transform(title.begin(), title.end(), title.begin(),
                       [](wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); });
        EXPECT_EQ(title, type.wide_folder);
        EXPECT_TRUE(folders.insert(type.help.folder).second);
        ASSERT_FALSE(type.help.pictures.empty());
        for (const wchar_t* language : {L"", L"_ja"}) {
            for (const pkg::HelpPicture& picture : type.help.pictures) {
                const std::wstring file = std::wstring(type.help.folder) + language + L"/" +
                                          type.help.prefix + picture.suffix;
                EXPECT_TRUE(fs::is_regular_file(fs::path(ZENTRIK_HELP_FOLDER) /
                                                platform::PathFromWide(file)))
                    << platform::WideToUtf8(file);
            }
        }
    }
}

}  // namespace
