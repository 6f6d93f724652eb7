#include "parts_ui/power_device_property_model.h"

#include <array>
#include <type_traits>

#include "models/package_types.h"
#include "resources/string_ids.h"

namespace parts_ui {

namespace r = resources;
using widget::WTreeItem;

namespace {

std::wstring SymbolKey(const char* name) {
    return std::wstring(name, name + std::char_traits<char>::length(name));
}

constexpr std::array<std::uint32_t, 3> kMaterialGroups = {
    r::IDS_PROP_DENSITY_GROUP, r::IDS_PROP_CONDUCTIVITY_GROUP, r::IDS_PROP_SPECIFIC_HEAT_GROUP};

template <typename D>
struct MaterialFields {
    std::uint32_t part;
    bool diePad;
    D* fields[3];  // density, conductivity, specific heat
};

// The material fields of a record or of a package, in group order.
template <typename Record,
          typename D = std::conditional_t<std::is_const_v<Record>, const double, double>>
std::array<MaterialFields<D>, 6> Materials(Record& p) {
    auto& m = p.property;
    return {{
        {r::IDS_PROP_MOLD,
         false,
         {&m.mold_density, &m.mold_thermal_conductivity, &m.mold_specific_heat}},
        {r::IDS_PROP_LEAD,
         false,
         {&m.lead_density, &m.lead_thermal_conductivity, &m.lead_specific_heat}},
        {r::IDS_PROP_PLATE,
         false,
         {&m.plate_density, &m.plate_thermal_conductivity, &m.plate_specific_heat}},
        {r::IDS_PROP_CHIP,
         false,
         {&p.chip.density, &p.chip.thermal_conductivity, &p.chip.specific_heat}},
        {r::IDS_PROP_DIE_BONDING,
         false,
         {&p.bond.density, &p.bond.thermal_conductivity, &p.bond.specific_heat}},
        {r::IDS_PROP_DIE_PAD,
         true,
         {&m.diepad_density, &m.diepad_thermal_conductivity, &m.diepad_specific_heat}},
    }};
}

void AddReal(PropertyItemIndex& index, const std::shared_ptr<WTreeItem>& parent,
             std::uint32_t keyGroup, std::uint32_t item, double value) {
    AddPropertyChild(index, parent, PropertyKey(keyGroup, item), LoadText(item),
                     MakeDoubleVariant(value));
}

}  // namespace

std::vector<std::wstring> PowerDeviceVariations(const std::string& typeName) {
    const pkg::PackageType* type = pkg::FindPackageTypeByTypeName(typeName);
    if (type == nullptr) return {};
    return {type->lead_types.begin(), type->lead_types.end()};
}

PropertyModel BuildPowerDevicePropertyTree(const pkg::pdevice::PowerDevice& package) {
    PropertyModel result;
    result.model = std::make_shared<widget::WTreeItemModel>();
    PropertyItemIndex& index = result.index;
    const std::string typeName = package.TypeName();

    auto outer = MakePropertyGroup(r::IDS_PROP_OUTER_SHAPE);
    for (const auto& symbol : package.OutlineSymbols()) {
        AddPropertyChild(index, outer, symbol.symbol, symbol.symbol,
                         MakeDoubleVariant(package.Dimension(symbol)));
    }
    const auto variations = PowerDeviceVariations(typeName);
    if (!variations.empty()) {
        const std::int32_t leadType = package.composition.lead_type;
        // A lead type past the list (a file may hold any) shows as its number.
        const std::wstring text =
            leadType >= 0 && leadType < static_cast<std::int32_t>(variations.size())
                ? variations[leadType]
                : std::to_wstring(leadType);
        auto variation = MakePropertyValue(r::IDS_PROP_VARIATION, text);
        for (const auto& option : variations) variation->AddOption(option);
        index[PropertyKey(r::IDS_PROP_OUTER_SHAPE, r::IDS_PROP_VARIATION)] = variation;
        outer->AppendRow(variation);
    }
    result.model->AppendRow(outer);

    auto inner = MakePropertyGroup(r::IDS_PROP_INNER_SHAPE);
    AddPropertyChild(index, inner, LoadText(r::IDS_PROP_OFFSET), LoadText(r::IDS_PROP_OFFSET),
                     MakeDoubleVariant(package.inner_shape_param.offset));
    AddPropertyChild(index, inner, LoadText(r::IDS_PROP_INNER_LEAD),
                     LoadText(r::IDS_PROP_INNER_LEAD),
                     MakeDoubleVariant(package.inner_shape_param.inner_lead));
    result.model->AppendRow(inner);

    if (pkg::TypeNameHas(typeName, pkg::kOwnDiePad)) {
        auto diePad = MakePropertyGroup(r::IDS_PROP_DIE_PAD);
        auto size = MakePropertyGroup(r::IDS_PROP_SIZE);
        AddReal(index, size, r::IDS_PROP_DIE_PAD, r::IDS_PROP_X,
                package.inner_shape_param.diepad_x);
        AddReal(index, size, r::IDS_PROP_DIE_PAD, r::IDS_PROP_Y,
                package.inner_shape_param.diepad_y);
        diePad->AppendRow(size);
        result.model->AppendRow(diePad);
    }

    auto chip = MakePropertyGroup(r::IDS_PROP_CHIP);
    auto size = MakePropertyGroup(r::IDS_PROP_SIZE);
    AddReal(index, size, r::IDS_PROP_CHIP, r::IDS_PROP_X, package.chip.size.x);
    AddReal(index, size, r::IDS_PROP_CHIP, r::IDS_PROP_Y, package.chip.size.y);
    chip->AppendRow(size);
    AddReal(index, chip, r::IDS_PROP_CHIP, r::IDS_PROP_THICKNESS, package.chip.thickness);
    AddReal(index, chip, r::IDS_PROP_CHIP, r::IDS_PROP_RATE_OF_HEATING,
            package.chip.rate_of_heating);
    result.model->AppendRow(chip);

    auto bonding = MakePropertyGroup(r::IDS_PROP_DIE_BONDING);
    AddPropertyChild(
        index, bonding, PropertyKey(r::IDS_PROP_DIE_BONDING, r::IDS_PROP_INSERT_DIE_BONDING),
        LoadText(r::IDS_PROP_INSERT_DIE_BONDING), MakeBoolVariant(package.composition.bonded_part));
    AddReal(index, bonding, r::IDS_PROP_DIE_BONDING, r::IDS_PROP_THICKNESS, package.bond.thickness);
    result.model->AppendRow(bonding);

    const auto materials = Materials(package);
    for (int g = 0; g < 3; ++g) {
        auto group = MakePropertyGroup(kMaterialGroups[g]);
        for (const auto& m : materials) {
            if (!m.diePad || pkg::TypeNameHas(typeName, pkg::kOwnDiePad))
                AddReal(index, group, kMaterialGroups[g], m.part, *m.fields[g]);
        }
        result.model->AppendRow(group);
    }
    return result;
}

PowerDeviceParameters ApplyPowerDeviceProperties(PropertyItemIndex index,
                                                 const std::string& typeName) {
    PowerDeviceParameters p;
    for (const auto& field : pkg::pdevice::PowerDevice::OuterShapeFields()) {
        GetDoubleByKey(index, SymbolKey(field.name), p.outer_shape_param.*field.field);
    }
    const auto variation = index.find(PropertyKey(r::IDS_PROP_OUTER_SHAPE, r::IDS_PROP_VARIATION));
    if (variation != index.end()) {
        const widget::Variant value = variation->second->Data();
        const std::wstring text = value.ChangeType(widget::VT_BSTR).Bstr();
        const auto variations = PowerDeviceVariations(typeName);
        bool listed = false;
        for (std::size_t i = 0; i < variations.size(); ++i) {
            if (text == variations[i]) {
                p.composition.lead_type = static_cast<std::int32_t>(i);
                listed = true;
                break;
            }
        }
        // A stored lead type outside the list is shown as its number and kept.
        if (!listed) p.composition.lead_type = VariantAsInt(value);
    }
    GetDoubleByKey(index, LoadText(r::IDS_PROP_OFFSET), p.inner_shape_param.offset);
    GetDoubleByKey(index, LoadText(r::IDS_PROP_INNER_LEAD), p.inner_shape_param.inner_lead);
    GetDoubleByKey(index, PropertyKey(r::IDS_PROP_CHIP, r::IDS_PROP_X), p.chip.size.x);
    GetDoubleByKey(index, PropertyKey(r::IDS_PROP_CHIP, r::IDS_PROP_Y), p.chip.size.y);
    GetDoubleByKey(index, PropertyKey(r::IDS_PROP_CHIP, r::IDS_PROP_THICKNESS), p.chip.thickness);
    GetDoubleByKey(index, PropertyKey(r::IDS_PROP_CHIP, r::IDS_PROP_RATE_OF_HEATING),
                   p.chip.rate_of_heating);
    if (pkg::TypeNameHas(typeName, pkg::kOwnDiePad)) {
        GetDoubleByKey(index, PropertyKey(r::IDS_PROP_DIE_PAD, r::IDS_PROP_X),
                       p.inner_shape_param.diepad_x);
        GetDoubleByKey(index, PropertyKey(r::IDS_PROP_DIE_PAD, r::IDS_PROP_Y),
                       p.inner_shape_param.diepad_y);
    }
    const auto flag =
        index.find(PropertyKey(r::IDS_PROP_DIE_BONDING, r::IDS_PROP_INSERT_DIE_BONDING));
    if (flag != index.end()) p.composition.bonded_part = VariantAsBool(flag->second->Data());
    GetDoubleByKey(index, PropertyKey(r::IDS_PROP_DIE_BONDING, r::IDS_PROP_THICKNESS),
                   p.bond.thickness);

    const auto materials = Materials(p);
    for (int g = 0; g < 3; ++g) {
        for (const auto& m : materials) {
            if (!m.diePad || pkg::TypeNameHas(typeName, pkg::kOwnDiePad))
                GetDoubleByKey(index, PropertyKey(kMaterialGroups[g], m.part), *m.fields[g]);
        }
    }
    return p;
}

bool ValidatePowerDeviceParameters(const PowerDeviceParameters& p, PropertyItemIndex index,
                                   const std::string& typeName) {
    // The outline dimensions the grid shows are those of the device.
    std::vector<pkg::pdevice::PowerDevice::OutlineSymbol> shown;
    for (const auto& field : pkg::pdevice::PowerDevice::OuterShapeFields()) {
        const std::wstring key = SymbolKey(field.name);
        if (index.count(key) != 0) shown.push_back({key, field.field});
    }
    return CheckRules(pkg::CheckPowerDeviceRules({p.inner_shape_param, p.outer_shape_param,
                                                  p.chip, p.bond, p.property, p.composition,
                                                  shown, typeName}));
}

void PushPowerDeviceParameters(const PowerDeviceParameters& p,
                               const std::shared_ptr<pkg::pdevice::PowerDevice>& package) {
    if (!package) return;
    pkg::pdevice::PowerDevice& d = *package;
    const std::string typeName = d.TypeName();
    for (const auto& symbol : d.OutlineSymbols())
        d.Dimension(symbol) = p.outer_shape_param.*symbol.field;
    if (!PowerDeviceVariations(typeName).empty()) d.composition.lead_type = p.composition.lead_type;
    d.inner_shape_param.offset = p.inner_shape_param.offset;
    d.inner_shape_param.inner_lead = p.inner_shape_param.inner_lead;
    if (pkg::TypeNameHas(typeName, pkg::kOwnDiePad)) {
        d.inner_shape_param.diepad_x = p.inner_shape_param.diepad_x;
        d.inner_shape_param.diepad_y = p.inner_shape_param.diepad_y;
    }
    d.chip = p.chip;
    d.bond = p.bond;
    d.composition.bonded_part = p.composition.bonded_part;

    const auto from = Materials(p);
    const auto to = Materials(d);
    for (std::size_t i = 0; i < from.size(); ++i) {
        if (from[i].diePad && !pkg::TypeNameHas(typeName, pkg::kOwnDiePad)) continue;
        for (int g = 0; g < 3; ++g) *to[i].fields[g] = *from[i].fields[g];
    }
}

}  // namespace parts_ui
