#include "models/package_types.h"

#include <utility>

#include "models/bga/bga_detailed_model.h"
#include "models/part_loaders.h"
#include "models/pdevice/power_device_detailed_model.h"
#include "models/pdevice/sot223_detailed_model.h"
#include "models/qfp/qfp_detailed_model.h"
#include "resources/string_ids.h"

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

template <class T, std::size_t N>
constexpr TableList<T> List(const T (&items)[N]) {
    return {items, N};
}

namespace r = resources;

constexpr ComponentKey kLeadFrameKeys[] = {{r::IDS_COMPONENT_MOLD, "mold"},
                                           {r::IDS_COMPONENT_CHIP, "chip"},
                                           {r::IDS_COMPONENT_DIE_PAD, "die_pad"},
                                           {r::IDS_COMPONENT_DIE_BONDING, "bonded_part"},
                                           {r::IDS_COMPONENT_OUTER_LEAD, "outer_lead"},
                                           {r::IDS_COMPONENT_INNER_LEAD, "inner_lead"},
                                           {r::IDS_COMPONENT_WIRE, "wire"},
                                           {r::IDS_COMPONENT_SUSPENSION_LEAD, "suspension"}};
constexpr ComponentKey kWireBondedBGAKeys[] = {{r::IDS_COMPONENT_MOLD, "mold"},
                                               {r::IDS_COMPONENT_CHIP, "chip"},
                                               {r::IDS_COMPONENT_DIE_BONDING, "bonded_part"},
                                               {r::IDS_COMPONENT_WIRE, "wire"},
                                               {r::IDS_COMPONENT_WIRING, "board"},
                                               {r::IDS_COMPONENT_VIA, "via"},
                                               {r::IDS_COMPONENT_SOLDER_BALL, "solder"}};
constexpr ComponentKey kFlipChipBGAKeys[] = {
    {r::IDS_COMPONENT_MOLD, "mold"}, {r::IDS_COMPONENT_CHIP, "chip"},
    {r::IDS_COMPONENT_BUMP, "bump"}, {r::IDS_COMPONENT_WIRING, "board"},
    {r::IDS_COMPONENT_VIA, "via"},   {r::IDS_COMPONENT_SOLDER_BALL, "solder"}};
constexpr ComponentKey kPowerDeviceKeys[] = {{r::IDS_COMPONENT_MOLD, "mold"},
                                             {r::IDS_COMPONENT_CHIP, "chip"},
                                             {r::IDS_COMPONENT_DIE_BONDING, "bonded_part"},
                                             {r::IDS_COMPONENT_LEAD, "lead"},
                                             {r::IDS_COMPONENT_PLATE, "plate"}};
constexpr ComponentKey kDiePadPowerDeviceKeys[] = {
    {r::IDS_COMPONENT_MOLD, "mold"},      {r::IDS_COMPONENT_CHIP, "chip"},
    {r::IDS_COMPONENT_DIE_PAD, "diepad"}, {r::IDS_COMPONENT_DIE_BONDING, "bonded_part"},
    {r::IDS_COMPONENT_LEAD, "lead"},      {r::IDS_COMPONENT_PLATE, "plate"}};

constexpr HelpPicture kLeadFramePictures[] = {
    {r::IDS_HELP_COMPONENT_NAME, L"_all.png"},
    {r::IDS_HELP_MOLD_SIZE, L"_mold.png"},
    {r::IDS_HELP_LEAD_FRAME_SIZE, L"_lead.png"},
    {r::IDS_HELP_CHIP_AND_DIE_PAD_SIZE, L"_die+diepad.png"}};
constexpr HelpPicture kBoardPictures[] = {{r::IDS_HELP_COMPONENT_NAME, L"_all.png"},
                                          {r::IDS_HELP_MOLD_SIZE, L"_mold.png"},
                                          {r::IDS_HELP_CHIP_AND_DIE_PAD_SIZE, L"_die+diepad.png"},
                                          {r::IDS_HELP_BOARD_SIZE, L"_board.png"},
                                          {r::IDS_HELP_BOARD_DETAILS, L"_board-detail.png"},
                                          {r::IDS_HELP_SOLDER_BALL, L"_solder.png"}};
constexpr HelpPicture kPowerDevicePictures[] = {{r::IDS_HELP_OUTLINE, L"_outline.png"},
                                                {r::IDS_HELP_INSIDE, L"_inside.png"}};

constexpr const wchar_t* kTO263LeadTypes[] = {L"AA", L"AB", L"BA", L"CC"};
constexpr const wchar_t* kTO252LeadTypes[] = {L"AA", L"AD"};

}  // namespace

constexpr PackageType kPackageTypes[kPackageTypeCount] = {
    {PACKAGE_FOLDER("QFP"),
     "qfp",
     PackageFamily::kQFP,
     MakeVariant<qfp::QFPDetailedModel, false>,
     kEveryKind,
     LoadWith<LoadQFPDetailedModel>,
     nullptr,
     kFourSidedLeads | kOwnDiePad,
     List(kLeadFrameKeys),
     {L"qfp", L"qfp", List(kLeadFramePictures)},
     {}},
    {PACKAGE_FOLDER("SOP"),
     "sop",
     PackageFamily::kQFP,
     MakeVariant<qfp::QFPDetailedModel, true>,
     kEveryKind,
     LoadWith<LoadQFPDetailedModel>,
     nullptr,
     kOwnDiePad,
     List(kLeadFrameKeys),
     {L"sop", L"sop", List(kLeadFramePictures)},
     {}},
    {PACKAGE_FOLDER("PBGA"),
     "pbga",
     PackageFamily::kBGA,
     MakeVariant<bga::BGADetailedModel, false>,
     kBGAKinds,
     LoadWith<LoadBGADetailedModel>,
     "bga",
     0,
     List(kWireBondedBGAKeys),
     {L"pbga", L"pbga", List(kBoardPictures)},
     {}},
    {PACKAGE_FOLDER("FCBGA"),
     "fcbga",
     PackageFamily::kBGA,
     MakeVariant<bga::BGADetailedModel, true>,
     kBGAKinds,
     LoadWith<LoadBGADetailedModel>,
     nullptr,
     kFlipChip,
     List(kFlipChipBGAKeys),
     {L"fcbga", L"fcbga", List(kBoardPictures)},
     {}},
    {PACKAGE_FOLDER("TO-220"),
     "TO-220",
     PackageFamily::kPowerDevice,
     Make<pdevice::TO220DetailedModel>,
     kPowerDeviceKinds,
     LoadWith<LoadTO220DetailedModel>,
     nullptr,
     0,
     List(kPowerDeviceKeys),
     {L"to220", L"to-220", List(kPowerDevicePictures)},
     {}},
    {PACKAGE_FOLDER("TO-247"),
     "TO-247",
     PackageFamily::kPowerDevice,
     Make<pdevice::TO247DetailedModel>,
     kPowerDeviceKinds,
     LoadWith<LoadTO247DetailedModel>,
     nullptr,
     0,
     List(kPowerDeviceKeys),
     {L"to247", L"to-247", List(kPowerDevicePictures)},
     {}},
    {PACKAGE_FOLDER("TO-263"),
     "TO-263",
     PackageFamily::kPowerDevice,
     Make<pdevice::TO263DetailedModel>,
     kPowerDeviceKinds,
     LoadWith<LoadTO263DetailedModel>,
     nullptr,
     0,
     List(kPowerDeviceKeys),
     {L"to263", L"to-263", List(kPowerDevicePictures)},
     List(kTO263LeadTypes)},
    {PACKAGE_FOLDER("TO-252"),
     "TO-252",
     PackageFamily::kPowerDevice,
     Make<pdevice::TO252DetailedModel>,
     kPowerDeviceKinds,
     LoadWith<LoadTO252DetailedModel>,
     nullptr,
     0,
     List(kPowerDeviceKeys),
     {L"to252", L"to-252", List(kPowerDevicePictures)},
     List(kTO252LeadTypes)},
    {PACKAGE_FOLDER("SOT-89"),
     "SOT-89",
     PackageFamily::kPowerDevice,
     Make<pdevice::SOT89DetailedModel>,
     kPowerDeviceKinds,
     LoadWith<LoadSOT89DetailedModel>,
     nullptr,
     0,
     List(kPowerDeviceKeys),
     {L"sot89", L"sot-89", List(kPowerDevicePictures)},
     {}},
    {PACKAGE_FOLDER("SOT-223"),
     "SOT-223",
     PackageFamily::kPowerDevice,
     Make<pdevice::SOT223DetailedModel>,
     kPowerDeviceKinds,
     LoadWith<LoadSOT223DetailedModel>,
     nullptr,
     kOwnDiePad,
     List(kDiePadPowerDeviceKeys),
     {L"sot223", L"sot-223", List(kPowerDevicePictures)},
     {}},
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

bool TypeNameHas(const std::string& type_name, TypeTrait trait) {
    const PackageType* type = FindPackageTypeByTypeName(type_name);
    return type != nullptr && type->Has(trait);
}

const TableList<ComponentKey>& ComponentKeysOf(const std::string& type_name) {
    const PackageType* type = FindPackageTypeByTypeName(type_name);
    static const TableList<ComponentKey> kLeadFrame = List(kLeadFrameKeys);
    return type != nullptr ? type->components : kLeadFrame;
}

bool IsPackageFamily(const std::string& folder, PackageFamily family) {
    const PackageType* type = FindPackageType(folder);
    return type != nullptr && type->family == family;
}

bool IsPackageFamily(const std::wstring& folder, PackageFamily family) {
    const PackageType* type = FindPackageType(folder);
    return type != nullptr && type->family == family;
}

const PackageType* PackageTypeReadAs(const std::string& type_name) {
    for (const PackageType& type : kPackageTypes) {
        if (type.legacy_type_name != nullptr && type_name == type.legacy_type_name) return &type;
    }
    return FindPackageTypeByTypeName(type_name);
}

}  // namespace pkg
