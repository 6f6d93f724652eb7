#include "models/package_types.h"

#include <utility>

#include "models/bga/bga_detailed_model.h"
#include "models/part_loaders.h"
#include "models/pdevice/power_device_detailed_model.h"
#include "models/pdevice/sot223_detailed_model.h"
#include "models/qfp/qfp_detailed_model.h"

namespace pkg {

namespace {

// Each folder name stands once, in both character widths.
#define PACKAGE_FOLDER(text) text, L##text

template <class Model, bool kVariant>
std::shared_ptr<SemiconductorPackage> MakeVariant() {
    return std::make_shared<Model>(kVariant);
}

template <class Model>
std::shared_ptr<SemiconductorPackage> Make() {
    return std::make_shared<Model>();
}

template <auto kLoader>
LoadedDetail LoadWith(const std::wstring& path) {
    const auto model = kLoader(path);
    if (!model) return {};
    return {model, model};
}

constexpr unsigned kEveryKind =
    kExportsDetail | kExportsSimple | kExportsTwoResistor | kExportsThreeResistor | kExportsDelphi;
// A ball grid array has no three-resistor network.
constexpr unsigned kBGAKinds = kEveryKind & ~kExportsThreeResistor;
// A power device has no simplified or compact model.
constexpr unsigned kPowerDeviceKinds = kExportsDetail;

}  // namespace

constexpr PackageType kPackageTypes[kPackageTypeCount] = {
    {PACKAGE_FOLDER("QFP"), "qfp", PackageFamily::kQFP, MakeVariant<qfp::QFPDetailedModel, false>,
     kEveryKind, LoadWith<LoadQFPDetailedModel>},
    {PACKAGE_FOLDER("SOP"), "sop", PackageFamily::kQFP, MakeVariant<qfp::QFPDetailedModel, true>,
     kEveryKind, LoadWith<LoadQFPDetailedModel>},
    {PACKAGE_FOLDER("PBGA"), "pbga", PackageFamily::kBGA,
     MakeVariant<bga::BGADetailedModel, false>, kBGAKinds, LoadWith<LoadBGADetailedModel>},
    {PACKAGE_FOLDER("FCBGA"), "fcbga", PackageFamily::kBGA,
     MakeVariant<bga::BGADetailedModel, true>, kBGAKinds, LoadWith<LoadBGADetailedModel>},
    {PACKAGE_FOLDER("TO-220"), "TO-220", PackageFamily::kPowerDevice,
     Make<pdevice::TO220DetailedModel>, kPowerDeviceKinds, LoadWith<LoadTO220DetailedModel>},
    {PACKAGE_FOLDER("TO-247"), "TO-247", PackageFamily::kPowerDevice,
     Make<pdevice::TO247DetailedModel>, kPowerDeviceKinds, LoadWith<LoadTO247DetailedModel>},
    {PACKAGE_FOLDER("TO-263"), "TO-263", PackageFamily::kPowerDevice,
     Make<pdevice::TO263DetailedModel>, kPowerDeviceKinds, LoadWith<LoadTO263DetailedModel>},
    {PACKAGE_FOLDER("TO-252"), "TO-252", PackageFamily::kPowerDevice,
     Make<pdevice::TO252DetailedModel>, kPowerDeviceKinds, LoadWith<LoadTO252DetailedModel>},
    {PACKAGE_FOLDER("SOT-89"), "SOT-89", PackageFamily::kPowerDevice,
     Make<pdevice::SOT89DetailedModel>, kPowerDeviceKinds, LoadWith<LoadSOT89DetailedModel>},
    {PACKAGE_FOLDER("SOT-223"), "SOT-223", PackageFamily::kPowerDevice,
     Make<pdevice::SOT223DetailedModel>, kPowerDeviceKinds, LoadWith<LoadSOT223DetailedModel>},
};

#undef PACKAGE_FOLDER

namespace {

template <std::size_t... I>
constexpr std::array<const char*, kPackageTypeCount> Folders(std::index_sequence<I...>) {
    return {kPackageTypes[I].folder...};
}

template <std::size_t... I>
constexpr std::array<const wchar_t*, kPackageTypeCount> WideFolders(std::index_sequence<I...>) {
    return {kPackageTypes[I].wide_folder...};
}

template <class Char, class Field>
const PackageType* Find(const std::basic_string<Char>& text, Field field) {
    for (const PackageType& type : kPackageTypes) {
        if (text == type.*field) return &type;
    }
    return nullptr;
}

}  // namespace

constexpr std::array<const char*, kPackageTypeCount> kPackageTypeNames =
    Folders(std::make_index_sequence<kPackageTypeCount>());
constexpr std::array<const wchar_t*, kPackageTypeCount> kWidePackageTypeNames =
    WideFolders(std::make_index_sequence<kPackageTypeCount>());

const PackageType* FindPackageType(const std::string& folder) {
    return Find(folder, &PackageType::folder);
}

const PackageType* FindPackageType(const std::wstring& folder) {
    return Find(folder, &PackageType::wide_folder);
}

const PackageType* FindPackageTypeByTypeName(const std::string& type_name) {
    return Find(type_name, &PackageType::type_name);
}

bool IsPackageFamily(const std::string& folder, PackageFamily family) {
    const PackageType* type = FindPackageType(folder);
    return type != nullptr && type->family == family;
}

bool IsPackageFamily(const std::wstring& folder, PackageFamily family) {
    const PackageType* type = FindPackageType(folder);
    return type != nullptr && type->family == family;
}

}  // namespace pkg
