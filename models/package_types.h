#pragma once

#include <array>
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

    bool Exports(ExportKind kind) const { return (exports & kind) != 0; }
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

// Whether the folder name `folder` is exactly that of a type of `family`.
bool IsPackageFamily(const std::string& folder, PackageFamily family);
bool IsPackageFamily(const std::wstring& folder, PackageFamily family);

}  // namespace pkg
