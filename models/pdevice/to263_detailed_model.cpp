#include "models/pdevice/power_device_detailed_model.h"

namespace pkg::pdevice {

namespace {

// The mold's far face along s; the exposed tab lies beyond it.
double MoldFarFace(const PowerDevice::OuterShape& o) { return o.H - o.L1; }

}  // namespace

// TO-263: a surface-mount body whose plate lies on the board and leaves the mold's far
// face as a tab as wide as the mold (L1 long), with formed leads by lead type: 0 "AA"
// three full leads, 1 "AB" the centre lead cut, 2 "BA" five leads, 3 "CC" seven leads.
template <>
void TO263DetailedModel::RegisterDimensions() {
    for (const char* s : {"A", "b", "c", "c2", "D", "D1", "E", "E1", "e", "H", "L", "L1", "Q"}) {
        RegisterSymbol(s);
    }
}

template <>
TO263DetailedModel::PowerDeviceDetailedModel() {
    type_ = "TO-263";
    OuterShape& o = outer_shape_param;
    o.A = 4.065;
    o.b = 0.508;
    o.c = 0.381;
    o.c2 = 1.143;
    o.D = 8.38;
    o.D1 = 6.86;
    o.E = 9.65;
    o.E1 = 6.225;
    o.e = 2.54;
    o.H = 14.605;
    o.L = 1.78;
    o.L1 = 1.676;
    o.Q = 2.0;
    inner_shape_param.offset = 1.0;
    inner_shape_param.inner_lead = 1.0;
    chip.size = XY{3.0, 2.0};
    chip.thickness = 0.3;
    RegisterDimensions();
}

template <>
double TO263DetailedModel::OutlineLength() const { return outer_shape_param.H; }

template <>
double TO263DetailedModel::ChipStart() const {
    return outer_shape_param.H - outer_shape_param.D1 + inner_shape_param.offset;
}

template <>
double TO263DetailedModel::MountingHeight() const { return outer_shape_param.c2; }

template <>
Cuboid TO263DetailedModel::MoldCuboid() const {
    const OuterShape& o = outer_shape_param;
    const double f = MoldFarFace(o);
    return OutlineBlock(-o.E / 2.0, o.E / 2.0, f - o.D, f, 0.0, o.A);
}

// plate(0) the exposed tab, plate(1) the plate inside the mold.
template <>
std::vector<Cuboid> TO263DetailedModel::PlateCuboids() const {
    const OuterShape& o = outer_shape_param;
    const double f = MoldFarFace(o);
    return {OutlineBlock(-o.E / 2.0, o.E / 2.0, f, o.H, 0.0, o.c2),
            OutlineBlock(-o.E1 / 2.0, o.E1 / 2.0, o.H - o.D1, f, 0.0, o.c2)};
}

template <>
std::vector<Cuboid> TO263DetailedModel::LeadCuboids() const {
    static const std::vector<LeadArrangement> kLeadTypes = {
        {{-1, true}, {0, true}, {1, true}},
        {{-1, true}, {0, false}, {1, true}},
        {{-2, true}, {-1, true}, {0, true}, {1, true}, {2, true}},
        {{-3, true}, {-2, true}, {-1, true}, {0, true}, {1, true}, {2, true}, {3, true}},
    };
    const OuterShape& o = outer_shape_param;
    return ArrangedLeadCuboids(kLeadTypes, MoldFarFace(o) - o.D + inner_shape_param.inner_lead);
}

template <>
void TO263DetailedModel::AddPlateGroups(std::vector<Property>& list) {
    AddCuboidListGroup(root, list, plate_name_, L"plate_group", [this] { return PlateProperty(); },
                       [this] { return PlateCuboids(); });
}

}  // namespace pkg::pdevice
