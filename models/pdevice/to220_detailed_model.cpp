#include "models/pdevice/power_device_detailed_model.h"

namespace pkg::pdevice {

// TO-220: a mold body on a plate that runs out of its far face as the mounting tab, and
// three straight leads at height A2. Outline length D + L; the plate is A1 thick.
template <>
void TO220DetailedModel::RegisterDimensions() {
    for (const char* s : {"A", "A1", "A2", "b", "c", "D", "D1", "D2", "E", "E1", "e", "L"}) {
        RegisterSymbol(s);
    }
}

template <>
TO220DetailedModel::PowerDeviceDetailedModel() {
    type_ = "TO-220";
    OuterShape& o = outer_shape_param;
    o.A = 3.6;
    o.A1 = 0.5;
    o.A2 = 2.0;
    o.b = 0.69;
    o.c = 0.36;
    o.D = 14.2;
    o.D1 = 8.4;
    o.D2 = 12.2;
    o.E = 9.7;
    o.E1 = 6.9;
    o.e = 2.5;
    o.L = 12.7;
    o.H1 = 5.8;  // kept in the part file; no block uses it
    inner_shape_param.offset = 1.0;
    inner_shape_param.inner_lead = 1.0;
    chip.size = XY{3.0, 3.0};
    chip.thickness = 0.3;
    RegisterDimensions();
}

template <>
double TO220DetailedModel::OutlineLength() const {
    return outer_shape_param.D + outer_shape_param.L;
}

// The chip sits offset beyond the plate's lead-side edge, which lies D2 before the far end.
template <>
double TO220DetailedModel::ChipStart() const {
    const OuterShape& o = outer_shape_param;
    return o.L + o.D - o.D2 + inner_shape_param.offset;
}

template <>
double TO220DetailedModel::MountingHeight() const { return outer_shape_param.A1; }

template <>
Cuboid TO220DetailedModel::MoldCuboid() const {
    const OuterShape& o = outer_shape_param;
    return OutlineBlock(-o.E / 2.0, o.E / 2.0, o.L, o.L + o.D1, 0.0, o.A);
}

// plate(0) outside the mold, E wide; plate(1) inside it, E1 wide.
template <>
std::vector<Cuboid> TO220DetailedModel::PlateCuboids() const {
    const OuterShape& o = outer_shape_param;
    return {OutlineBlock(-o.E / 2.0, o.E / 2.0, o.L + o.D1, o.L + o.D, 0.0, o.A1),
            OutlineBlock(-o.E1 / 2.0, o.E1 / 2.0, o.L + o.D - o.D2, o.L + o.D1, 0.0, o.A1)};
}

template <>
std::vector<Cuboid> TO220DetailedModel::LeadCuboids() const {
    return StraightLeadCuboids(outer_shape_param.A2);
}

template <>
void TO220DetailedModel::AddPlateGroups(std::vector<Property>& list) {
    AddCuboidListGroup(root, list, plate_name_, L"plate_group", [this] { return PlateProperty(); },
                       [this] { return PlateCuboids(); });
}

}  // namespace pkg::pdevice
