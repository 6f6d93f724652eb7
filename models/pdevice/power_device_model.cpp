#include "models/pdevice/power_device_model.h"

#include <algorithm>

namespace pkg::pdevice {

void AddCuboidGroup(Group& root, std::vector<Property>& list, const std::string& part_name,
                    const std::wstring& group_name, const std::function<Property()>& material,
                    const std::function<Cuboid()>& block) {
    const Property m = material();
    auto group = MakeGroup(group_name);
    group->AddCuboid(part_name, m.name, block());
    root.AddChild(group);
    DetailedModel::AddProperty(list, m);
}

void AddCuboidListGroup(Group& root, std::vector<Property>& list, const std::string& part_name,
                        const std::wstring& group_name,
                        const std::function<Property()>& material,
                        const std::function<std::vector<Cuboid>()>& blocks) {
    const Property m = material();
    auto group = MakeGroup(group_name);
    int n = 0;
    for (const Cuboid& box : blocks()) {
        group->AddCuboid(part_name + "(" + std::to_string(n++) + ")", m.name, box);
    }
    root.AddChild(group);
    DetailedModel::AddProperty(list, m);
}

PowerDeviceModel::PowerDeviceModel() {
    property.mold_thermal_conductivity = 0.8;
    property.mold_density = 1850.0;
    property.mold_specific_heat = 1100.0;
    property.lead_thermal_conductivity = 300.0;
    property.lead_density = 8880.0;
    property.lead_specific_heat = 386.0;
    property.plate_thermal_conductivity = 300.0;
    property.plate_density = 8880.0;
    property.plate_specific_heat = 386.0;
    // Only the SOT-223 has a die pad; the others keep its values at 0.
    property.diepad_thermal_conductivity = 0.0;
    property.diepad_density = 0.0;
    property.diepad_specific_heat = 0.0;
    chip.thermal_conductivity = 120.0;
    chip.density = 2330.0;
    chip.specific_heat = 852.0;
    chip.rate_of_heating = 1.0;
    // The power devices' die attach conducts 2.0 W/(m K), unlike the BGA's.
    bond = BondedPart{0.02, 2.0, 8890.0, 210.0};
    composition = Composition{true, 0};
}

int PowerDeviceModel::Build() {
    ClearTree();
    std::vector<Property> list;
    AddCuboidGroup(root, list, mold_name_, L"mold_group", [this] { return MoldProperty(); },
                   [this] { return MoldCuboid(); });
    AddPlateGroups(list);
    if (composition.bonded_part) {
        AddCuboidGroup(root, list, bonded_part_name_, L"bonded_part_group",
                       [this] { return BondedPartProperty(); },
                       [this] { return BondedPartCuboid(); });
    }
    AddCuboidGroup(root, list, chip_name_, L"chip_group", [this] { return ChipProperty(); },
                   [this] { return ChipCuboid(); });
    AddCuboidListGroup(root, list, lead_name_, L"lead_group", [this] { return LeadProperty(); },
                       [this] { return LeadCuboids(); });
    properties = list;
    return 0;
}

Property PowerDeviceModel::MoldProperty() const {
    return IsotropicProperty(mold_name_, property.mold_thermal_conductivity,
                             property.mold_density, property.mold_specific_heat);
}

Property PowerDeviceModel::PlateProperty() const {
    return IsotropicProperty(plate_name_, property.plate_thermal_conductivity,
                             property.plate_density, property.plate_specific_heat);
}

Property PowerDeviceModel::BondedPartProperty() const {
    return IsotropicProperty(bonded_part_name_, bond.thermal_conductivity, bond.density,
                             bond.specific_heat);
}

Property PowerDeviceModel::ChipProperty() const {
    return IsotropicProperty(chip_name_, chip.thermal_conductivity, chip.density,
                             chip.specific_heat);
}

Property PowerDeviceModel::LeadProperty() const {
    return IsotropicProperty(lead_name_, property.lead_thermal_conductivity,
                             property.lead_density, property.lead_specific_heat);
}

Cuboid PowerDeviceModel::BondedPartCuboid() const {
    const double p = ChipStart();
    const double m = MountingHeight();
    return OutlineBlock(-chip.size.x / 2.0, chip.size.x / 2.0, p, p + chip.size.y, m,
                        m + bond.thickness);
}

Cuboid PowerDeviceModel::ChipCuboid() const {
    const double p = ChipStart();
    const double zc = MountingHeight() + (composition.bonded_part ? bond.thickness : 0.0);
    return OutlineBlock(-chip.size.x / 2.0, chip.size.x / 2.0, p, p + chip.size.y, zc,
                        zc + chip.thickness);
}

Cuboid PowerDeviceModel::OutlineBlock(double x0, double x1, double s0, double s1, double z0,
                                      double z1) const {
    const double half = OutlineLength() / 2.0;
    const double y0 = s0 - half;
    return Cuboid{x0, y0, z0, std::max(0.0, x1 - x0), std::max(0.0, (s1 - half) - y0),
                  std::max(0.0, z1 - z0)};
}

std::vector<Cuboid> PowerDeviceModel::StraightLeadCuboids(double z) const {
    const OuterShape& o = outer_shape_param;
    std::vector<Cuboid> leads;
    for (int i = -1; i <= 1; ++i) {
        const double xc = i * o.e;
        leads.push_back(OutlineBlock(xc - o.b / 2.0, xc + o.b / 2.0, 0.0,
                                     o.L + inner_shape_param.inner_lead, z, z + o.c));
    }
    return leads;
}

std::vector<Cuboid> PowerDeviceModel::FormedLeadCuboids(double xc, bool full,
                                                        double s_end) const {
    const OuterShape& o = outer_shape_param;
    const double x0 = xc - o.b / 2.0;
    const double x1 = xc + o.b / 2.0;
    const double top = o.A - o.Q;
    std::vector<Cuboid> blocks;
    blocks.push_back(OutlineBlock(x0, x1, o.L, s_end, top - o.c, top));
    if (full) {
        blocks.push_back(OutlineBlock(x0, x1, o.L - o.c, o.L, o.c, top));
        blocks.push_back(OutlineBlock(x0, x1, 0.0, o.L, 0.0, o.c));
    }
    return blocks;
}

std::vector<Cuboid> PowerDeviceModel::ArrangedLeadCuboids(
    const std::vector<LeadArrangement>& arrangements, double s_end) const {
    const int32_t type = composition.lead_type;
    if (type < 0 || static_cast<size_t>(type) >= arrangements.size()) return {};
    std::vector<Cuboid> blocks;
    for (const LeadPlace& lead : arrangements[static_cast<size_t>(type)]) {
        for (const Cuboid& box :
             FormedLeadCuboids(lead.pitches * outer_shape_param.e, lead.full, s_end)) {
            blocks.push_back(box);
        }
    }
    return blocks;
}

}  // namespace pkg::pdevice
