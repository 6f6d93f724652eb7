#include "models/pdevice/power_device_detailed_model.h"

namespace pkg::pdevice {

namespace {

// The mold's far face along s; the exposed tab lies beyond it.
double MoldFarFace(const PowerDevice::OuterShape& o) { return o.H - o.L3; }

}  // namespace

// TO-252: as the TO-263, but its exposed tab is b3 wide and L3 long, and its centre lead is
// always cut: lead type 0 "AA" three leads, 1 "AD" five leads.
template <>
void TO252DetailedModel::RegisterDimensions() {
    for (const char* s :
         {"A", "b", "b3", "c", "c2", "D", "D1", "E", "E1", "e", "H", "L", "L3", "Q"}) {
        RegisterSymbol(s);
    }
}

template <>
TO252DetailedModel::PowerDeviceDetailedModel() {
    type_ = "TO-252";
    OuterShape& o = outer_shape_param;
    o.A = 2.184;
    o.b = 0.635;
    o.b3 = 4.953;
    o.c = 0.457;
    o.c2 = 0.457;
    o.D = 5.969;
    o.D1 = 5.207;
    o.E = 6.35;
    o.E1 = 4.318;
    o.e = 2.286;
    o.H = 9.398;
    o.L = 1.397;
    o.L1 = 2.743;  // kept in the part file; no block uses it
    o.L3 = 0.889;
    o.Q = 1.0;
    inner_shape_param.offset = 1.0;
    inner_shape_param.inner_lead = 1.0;
    chip.size = XY{3.0, 2.0};
    chip.thickness = 0.3;
    RegisterDimensions();
}

template <>
double TO252DetailedModel::OutlineLength() const { return outer_shape_param.H; }

template <>
double TO252DetailedModel::ChipStart() const {
    return outer_shape_param.H - outer_shape_param.D1 + inner_shape_param.offset;
}

template <>
double TO252DetailedModel::MountingHeight() const { return outer_shape_param.c2; }

template <>
Cuboid TO252DetailedModel::MoldCuboid() const {
    const OuterShape& o = outer_shape_param;
    const double f = MoldFarFace(o);
    return OutlineBlock(-o.E / 2.0, o.E / 2.0, f - o.D, f, 0.0, o.A);
}

// plate(0) the exposed tab, plate(1) the plate inside the mold.
template <>
std::vector<Cuboid> TO252DetailedModel::PlateCuboids() const {
    const OuterShape& o = outer_shape_param;
    const double f = MoldFarFace(o);
    return {OutlineBlock(-o.b3 / 2.0, o.b3 / 2.0, f, o.H, 0.0, o.c2),
            OutlineBlock(-o.E1 / 2.0, o.E1 / 2.0, o.H - o.D1, f, 0.0, o.c2)};
}

template <>
std::vector<Cuboid> TO252DetailedModel::LeadCuboids() const {
    static const std::vector<LeadArrangement> kLeadTypes = {
        {{-1, true}, {0, false}, {1, true}},
        {{-2, true}, {-1, true}, {0, false}, {1, true}, {2, true}},
    };
    const OuterShape& o = outer_shape_param;
    return ArrangedLeadCuboids(kLeadTypes, MoldFarFace(o) - o.D + inner_shape_param.inner_lead);
}

template <>
void TO252DetailedModel::AddPlateGroups(std::vector<Property>& list) {
    AddCuboidListGroup(root, list, plate_name_, L"plate_group", [this] { return PlateProperty(); },
                       [this] { return PlateCuboids(); });
}

}  // namespace pkg::pdevice
