#include "models/pdevice/sot223_detailed_model.h"

namespace pkg::pdevice {

SOT223DetailedModel::SOT223DetailedModel() {
    type_ = "SOT-223";
    OuterShape& o = outer_shape_param;
    o.A = 1.8;
    o.b = 0.66;
    o.b2 = 2.9;
    o.c = 0.23;
    o.D = 6.3;
    o.E = 6.7;
    o.E1 = 3.3;
    o.e = 2.3;
    o.L = 0.75;
    o.L1 = 1.75;
    o.L2 = 1.03;
    o.Q = 1.0;
    inner_shape_param.diepad_x = 4.0;
    inner_shape_param.diepad_y = 2.0;
    inner_shape_param.offset = 0.5;
    inner_shape_param.inner_lead = 0.2;
    chip.size = XY{2.0, 1.0};
    chip.thickness = 0.05;
    // The die pad is of the plate's metal.
    property.diepad_thermal_conductivity = 300.0;
    property.diepad_density = 8880.0;
    property.diepad_specific_heat = 386.0;
    RegisterDimensions();
}

void SOT223DetailedModel::RegisterDimensions() {
    for (const char* s : {"A", "b", "b2", "c", "D", "E", "E1", "e", "L", "L1", "L2", "Q"}) {
        RegisterSymbol(s);
    }
}

double SOT223DetailedModel::OutlineLength() const { return outer_shape_param.E; }

// Centred on the body's middle along s, then shifted by offset.
double SOT223DetailedModel::ChipStart() const {
    const OuterShape& o = outer_shape_param;
    return o.L1 + (o.E1 - chip.size.y) / 2.0 + inner_shape_param.offset;
}

double SOT223DetailedModel::MountingHeight() const {
    return outer_shape_param.A - outer_shape_param.Q;
}

Cuboid SOT223DetailedModel::MoldCuboid() const {
    const OuterShape& o = outer_shape_param;
    return OutlineBlock(-o.D / 2.0, o.D / 2.0, o.L1, o.L1 + o.E1, 0.0, o.A);
}

std::vector<Cuboid> SOT223DetailedModel::PlateCuboids() const {
    const OuterShape& o = outer_shape_param;
    const double x0 = -o.b2 / 2.0;
    const double x1 = o.b2 / 2.0;
    const double top = o.A - o.Q;
    const double foot_start = o.E - o.L2;
    // The arm starts at the die pad's far edge, so die pad and tab form one strip.
    const double arm_start = o.L1 + (o.E1 + inner_shape_param.diepad_y) / 2.0;
    return {OutlineBlock(x0, x1, foot_start, o.E, 0.0, o.c),
            OutlineBlock(x0, x1, foot_start, foot_start + o.c, o.c, top),
            OutlineBlock(x0, x1, arm_start, foot_start, top - o.c, top)};
}

Cuboid SOT223DetailedModel::DiePadCuboid() const {
    const OuterShape& o = outer_shape_param;
    const InnerShape& in = inner_shape_param;
    const double s0 = o.L1 + (o.E1 - in.diepad_y) / 2.0;
    const double top = o.A - o.Q;
    return OutlineBlock(-in.diepad_x / 2.0, in.diepad_x / 2.0, s0, s0 + in.diepad_y, top - o.c,
                        top);
}

std::vector<Cuboid> SOT223DetailedModel::LeadCuboids() const {
    const double s_end = outer_shape_param.L1 + inner_shape_param.inner_lead;
    std::vector<Cuboid> blocks;
    for (int i = -1; i <= 1; ++i) {
        for (const Cuboid& box : FormedLeadCuboids(i * outer_shape_param.e, true, s_end)) {
            blocks.push_back(box);
        }
    }
    return blocks;
}

Property SOT223DetailedModel::DiePadProperty() const {
    return IsotropicProperty(diepad_name_, property.diepad_thermal_conductivity,
                             property.diepad_density, property.diepad_specific_heat);
}

void SOT223DetailedModel::AddPlateGroups(std::vector<Property>& list) {
    AddCuboidListGroup(root, list, plate_name_, L"plate_group", [this] { return PlateProperty(); },
                       [this] { return PlateCuboids(); });
    AddCuboidGroup(root, list, diepad_name_, L"diepad_group", [this] { return DiePadProperty(); },
                   [this] { return DiePadCuboid(); });
}

}  // namespace pkg::pdevice
