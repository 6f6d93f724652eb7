#include "models/pdevice/power_device_detailed_model.h"

namespace pkg::pdevice {

// TO-247: a mold body D long with a single plate wholly inside it, ending D2 before its
// far face, and three straight leads. Unlike the TO-220, A1 is the leads' height and A2
// the plate's thickness.
template <>
void TO247DetailedModel::RegisterDimensions() {
    for (const char* s : {"A", "A1", "A2", "b", "c", "D", "D1", "D2", "E", "E1", "e", "L"}) {
        RegisterSymbol(s);
    }
}

template <>
TO247DetailedModel::PowerDeviceDetailedModel() {
    type_ = "TO-247";
    OuterShape& o = outer_shape_param;
    o.A = 4.7;
    o.A1 = 2.2;
    o.A2 = 1.5;
    o.b = 1.0;
    o.c = 0.38;
    o.D = 19.7;
    o.D1 = 13.1;
    o.D2 = 0.5;
    o.E = 15.3;
    o.E1 = 13.5;
    o.e = 5.5;
    o.L = 14.2;
    inner_shape_param.offset = 2.0;
    inner_shape_param.inner_lead = 1.0;
    chip.size = XY{5.0, 5.0};
    chip.thickness = 0.3;
    RegisterDimensions();
}

template <>
double TO247DetailedModel::OutlineLength() const {
    return outer_shape_param.D + outer_shape_param.L;
}

template <>
double TO247DetailedModel::ChipStart() const {
    const OuterShape& o = outer_shape_param;
    return o.L + o.D - o.D1 - o.D2 + inner_shape_param.offset;
}

template <>
double TO247DetailedModel::MountingHeight() const { return outer_shape_param.A2; }

template <>
Cuboid TO247DetailedModel::MoldCuboid() const {
    const OuterShape& o = outer_shape_param;
    return OutlineBlock(-o.E / 2.0, o.E / 2.0, o.L, o.L + o.D, 0.0, o.A);
}

// A single block, which the plate group names plate.
template <>
std::vector<Cuboid> TO247DetailedModel::PlateCuboids() const {
    const OuterShape& o = outer_shape_param;
    return {OutlineBlock(-o.E1 / 2.0, o.E1 / 2.0, o.L + o.D - o.D1 - o.D2, o.L + o.D - o.D2, 0.0,
                         o.A2)};
}

template <>
std::vector<Cuboid> TO247DetailedModel::LeadCuboids() const {
    return StraightLeadCuboids(outer_shape_param.A1);
}

template <>
void TO247DetailedModel::AddPlateGroups(std::vector<Property>& list) {
    AddCuboidGroup(root, list, plate_name_, L"plate_group", [this] { return PlateProperty(); },
                   [this] { return PlateCuboids().front(); });
}

}  // namespace pkg::pdevice
