#include "models/pdevice/power_device_detailed_model.h"

namespace pkg::pdevice {

// SOT-89: everything lies flat on the board: three straight leads and a plate b1 wide that
// starts where the leads end, carries the chip and runs out of the mold's far face. D is
// the body's width across the device, E its length along the leads, H the outline length.
template <>
void SOT89DetailedModel::RegisterDimensions() {
    for (const char* s : {"A", "b", "b1", "c", "D", "E", "e", "H", "L"}) RegisterSymbol(s);
}

template <>
SOT89DetailedModel::PowerDeviceDetailedModel() {
    type_ = "SOT-89";
    OuterShape& o = outer_shape_param;
    o.A = 1.4;
    o.b = 0.35;
    o.b1 = 1.4;
    o.c = 0.37;
    o.D = 4.4;
    o.E = 2.4;
    o.E1 = 4.318;  // kept in the part file; no block uses it
    o.e = 1.5;
    o.H = 3.75;
    o.L = 0.8;
    inner_shape_param.offset = 0.5;
    inner_shape_param.inner_lead = 0.5;
    chip.size = XY{1.0, 1.0};
    chip.thickness = 0.05;
    RegisterDimensions();
}

template <>
double SOT89DetailedModel::OutlineLength() const { return outer_shape_param.H; }

// Measured from the leads' inner ends, where the plate starts.
template <>
double SOT89DetailedModel::ChipStart() const {
    return outer_shape_param.L + inner_shape_param.inner_lead + inner_shape_param.offset;
}

template <>
double SOT89DetailedModel::MountingHeight() const { return outer_shape_param.c; }

template <>
Cuboid SOT89DetailedModel::MoldCuboid() const {
    const OuterShape& o = outer_shape_param;
    return OutlineBlock(-o.D / 2.0, o.D / 2.0, o.L, o.L + o.E, 0.0, o.A);
}

// A single block, which the plate group names plate.
template <>
std::vector<Cuboid> SOT89DetailedModel::PlateCuboids() const {
    const OuterShape& o = outer_shape_param;
    return {OutlineBlock(-o.b1 / 2.0, o.b1 / 2.0, o.L + inner_shape_param.inner_lead, o.H, 0.0,
                         o.c)};
}

template <>
std::vector<Cuboid> SOT89DetailedModel::LeadCuboids() const {
    return StraightLeadCuboids(0.0);
}

template <>
void SOT89DetailedModel::AddPlateGroups(std::vector<Property>& list) {
    AddCuboidGroup(root, list, plate_name_, L"plate_group", [this] { return PlateProperty(); },
                   [this] { return PlateCuboids().front(); });
}

}  // namespace pkg::pdevice
