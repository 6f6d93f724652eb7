#include "models/pdevice/power_device_detailed_model.h"

namespace pkg::pdevice {

// TO-263 and TO-252: a surface-mount body whose plate lies on the board and leaves the
// mold's far face as an exposed tab, with formed leads by lead type. Along s the outline
// ends at H; the mold is D long and ends where the tab begins, and the plate inside it
// starts D1 before H. Everything else, the defaults and symbols, is in the package's source.

namespace {

using OuterShape = PowerDevice::OuterShape;

// What sets the two outlines apart: the tab's width across the device and its length
// beyond the mold, as outline dimensions, and the leads of each lead type.
struct ExposedTab {
    double OuterShape::*width;
    double OuterShape::*length;
    std::vector<PowerDeviceModel::LeadArrangement> lead_types;
};

template <class Package>
const ExposedTab& TabOf();

// A tab as wide as the mold; lead type 0 "AA" three full leads, 1 "AB" the centre lead
// cut, 2 "BA" five leads, 3 "CC" seven leads.
template <>
const ExposedTab& TabOf<TO263>() {
    static const ExposedTab kTab{
        &OuterShape::E,
        &OuterShape::L1,
        {
            {{-1, true}, {0, true}, {1, true}},
            {{-1, true}, {0, false}, {1, true}},
            {{-2, true}, {-1, true}, {0, true}, {1, true}, {2, true}},
            {{-3, true}, {-2, true}, {-1, true}, {0, true}, {1, true}, {2, true}, {3, true}},
        }};
    return kTab;
}

// A narrower tab, b3 wide and L3 long; the centre lead is always cut: lead type 0 "AA"
// three leads, 1 "AD" five leads.
template <>
const ExposedTab& TabOf<TO252>() {
    static const ExposedTab kTab{&OuterShape::b3,
                                 &OuterShape::L3,
                                 {
                                     {{-1, true}, {0, false}, {1, true}},
                                     {{-2, true}, {-1, true}, {0, false}, {1, true}, {2, true}},
                                 }};
    return kTab;
}

// The mold's far face along s; the exposed tab lies beyond it.
template <class Package>
double MoldFarFace(const OuterShape& o) {
    return o.H - o.*TabOf<Package>().length;
}

}  // namespace

template <class Package>
double PowerDeviceDetailedModel<Package>::OutlineLength() const {
    return outer_shape_param.H;
}

template <class Package>
double PowerDeviceDetailedModel<Package>::ChipStart() const {
    return outer_shape_param.H - outer_shape_param.D1 + inner_shape_param.offset;
}

template <class Package>
double PowerDeviceDetailedModel<Package>::MountingHeight() const {
    return outer_shape_param.c2;
}

template <class Package>
Cuboid PowerDeviceDetailedModel<Package>::MoldCuboid() const {
    const OuterShape& o = outer_shape_param;
    const double f = MoldFarFace<Package>(o);
    return OutlineBlock(-o.E / 2.0, o.E / 2.0, f - o.D, f, 0.0, o.A);
}

// plate(0) the exposed tab, plate(1) the plate inside the mold.
template <class Package>
std::vector<Cuboid> PowerDeviceDetailedModel<Package>::PlateCuboids() const {
    const OuterShape& o = outer_shape_param;
    const double f = MoldFarFace<Package>(o);
    const double w = o.*TabOf<Package>().width;
    return {OutlineBlock(-w / 2.0, w / 2.0, f, o.H, 0.0, o.c2),
            OutlineBlock(-o.E1 / 2.0, o.E1 / 2.0, o.H - o.D1, f, 0.0, o.c2)};
}

template <class Package>
std::vector<Cuboid> PowerDeviceDetailedModel<Package>::LeadCuboids() const {
    const OuterShape& o = outer_shape_param;
    return ArrangedLeadCuboids(TabOf<Package>().lead_types,
                               MoldFarFace<Package>(o) - o.D + inner_shape_param.inner_lead);
}

template <class Package>
void PowerDeviceDetailedModel<Package>::AddPlateGroups(std::vector<Property>& list) {
    AddCuboidListGroup(root, list, plate_name_, L"plate_group", [this] { return PlateProperty(); },
                       [this] { return PlateCuboids(); });
}

// Only these two have a tab to build; the other packages define the members themselves.
template class PowerDeviceDetailedModel<TO263>;
template class PowerDeviceDetailedModel<TO252>;

}  // namespace pkg::pdevice
