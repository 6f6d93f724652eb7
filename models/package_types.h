#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "models/semiconductor_package.h"

namespace pkg {

class DetailedModel;

// A part file read as its type's detailed model: one object seen as both.
struct LoadedDetail {
    std::shared_ptr<SemiconductorPackage> package;
    std::shared_ptr<DetailedModel> model;
};

enum class PackageFamily { kQFP, kBGA, kPowerDevice };

// The model kinds an export can make of a part, as bits of PackageType::exports.
enum ExportKind : unsigned {
    kExportsDetail = 1u << 0,
    kExportsSimple = 1u << 1,
    kExportsTwoResistor = 1u << 2,
    kExportsThreeResistor = 1u << 3,
    kExportsDelphi = 1u << 4,
};

// How a type is built, as bits of PackageType::traits.
enum TypeTrait : unsigned {
    // Leads leave the mold on all four sides, not only at minimum and maximum x.
    kFourSidedLeads = 1u << 0,
    // The chip lies face down on bumps instead of being wire-bonded.
    kFlipChip = 1u << 1,
    // The chip sits on a die pad of its own rather than on the leads' plate or a board.
    kOwnDiePad = 1u << 2,
};

// A constant list the table points into.
template <class T>
struct TableList {
    const T* items;
    std::size_t count;

    const T* begin() const { return items; }
    const T* end() const { return items + count; }
    std::size_t size() const { return count; }
    bool empty() const { return count == 0; }
};

// A row of the components pane: its text (a string id) and the key that starts the names
// of the model groups the row shows.
struct ComponentKey {
    std::uint32_t text;
    const char* key;
};

// A help picture: its caption (a string id) and the end of its file name.
struct HelpPicture {
    std::uint32_t caption;
    const wchar_t* suffix;
};

// A type's help pictures lie in "<folder>/<prefix><suffix>" under the help folder.
struct HelpPictures {
    const wchar_t* folder;
    const wchar_t* prefix;
    TableList<HelpPicture> pictures;
};

// One package type of the program. Its folder name is also the name shown to the user and
// the type an export is asked for; its type name is what its part files hold as "type".
struct PackageType {
    const char* folder;
    const wchar_t* wide_folder;
    const char* type_name;
    PackageFamily family;
    // A package with the type's defaults, which is also what its installed sample holds.
    std::shared_ptr<SemiconductorPackage> (*make_sample)();
    unsigned exports;
    // Reads a part file of the type as its detailed model (see models/part_loaders.h);
    // empty when the file does not open or is refused.
    LoadedDetail (*load_detailed)(const std::wstring& path);
    // An older type name its part files may hold, read as this type; null when none.
    const char* legacy_type_name;
    // What sets the type apart within its family, as bits of TypeTrait.
    unsigned traits;
    // The rows of the components pane, in the pane's order.
    TableList<ComponentKey> components;
    HelpPictures help;
    // The texts of a power device's lead types, numbered as its lead_type; empty when the
    // type has one lead form only.
    TableList<const wchar_t*> lead_types;

    bool Exports(ExportKind kind) const { return (exports & kind) != 0; }
    bool Has(TypeTrait trait) const { return (traits & trait) != 0; }
};

inline constexpr int kPackageTypeCount = 10;

// The package types in the order the program numbers them 0 to 9.
extern const PackageType kPackageTypes[kPackageTypeCount];

// The folder names of kPackageTypes, in its order.
extern const std::array<const char*, kPackageTypeCount> kPackageTypeNames;
extern const std::array<const wchar_t*, kPackageTypeCount> kWidePackageTypeNames;

// The type whose folder name is exactly `folder`, or null.
const PackageType* FindPackageType(const std::string& folder);
const PackageType* FindPackageType(const std::wstring& folder);
// The type whose part files hold exactly `type_name`, or null.
const PackageType* FindPackageTypeByTypeName(const std::string& type_name);
// Whether the type whose part files hold `type_name` has `trait`; false for an unknown name.
bool TypeNameHas(const std::string& type_name, TypeTrait trait);

// The components pane rows of the type whose part files hold `type_name`; a lead-frame
// package's for any other name, which is what the pane shows before a part is opened.
const TableList<ComponentKey>& ComponentKeysOf(const std::string& type_name);

// Whether the folder name `folder` is exactly that of a type of `family`.
bool IsPackageFamily(const std::string& folder, PackageFamily family);
bool IsPackageFamily(const std::wstring& folder, PackageFamily family);

// The package type a part file's "type" text is read as: the type holding exactly that
// name, or whose older name it is; null for a name the program does not know.
const PackageType* PackageTypeReadAs(const std::string& type_name);

}  // namespace pkg
