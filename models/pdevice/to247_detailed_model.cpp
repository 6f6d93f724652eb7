#include "models/pdevice/to247_detailed_model.h"

namespace pkg::pdevice {

TO247DetailedModel::TO247DetailedModel() {
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

void TO247DetailedModel::RegisterDimensions() {
    for (const char* s : {"A", "A1", "A2", "b", "c", "D", "D1", "D2", "E", "E1", "e", "L"}) {
        RegisterSymbol(s);
    }
}

double TO247DetailedModel::OutlineLength() const {
    return outer_shape_param.D + outer_shape_param.L;
}

double TO247DetailedModel::ChipStart() const {
    const OuterShape& o = outer_shape_param;
    return o.L + o.D - o.D1 - o.D2 + inner_shape_param.offset;
}

double TO247DetailedModel::MountingHeight() const { return outer_shape_param.A2; }

Cuboid TO247DetailedModel::MoldCuboid() const {
    const OuterShape& o = outer_shape_param;
    return OutlineBlock(-o.E / 2.0, o.E / 2.0, o.L, o.L + o.D, 0.0, o.A);
}

Cuboid TO247DetailedModel::PlateCuboid() const {
    const OuterShape& o = outer_shape_param;
    return OutlineBlock(-o.E1 / 2.0, o.E1 / 2.0, o.L + o.D - o.D1 - o.D2, o.L + o.D - o.D2, 0.0,
                        o.A2);
}

std::vector<Cuboid> TO247DetailedModel::LeadCuboids() const {
    const OuterShape& o = outer_shape_param;
    std::vector<Cuboid> leads;
    for (int i = -1; i <= 1; ++i) {
        const double xc = i * o.e;
        leads.push_back(OutlineBlock(xc - o.b / 2.0, xc + o.b / 2.0, 0.0,
                                     o.L + inner_shape_param.inner_lead, o.A1, o.A1 + o.c));
    }
    return leads;
}

void TO247DetailedModel::AddPlateGroups(std::vector<Property>& list) {
    AddCuboidGroup(root, list, plate_name_, L"plate_group", [this] { return PlateProperty(); },
                   [this] { return PlateCuboid(); });
}

}  // namespace pkg::pdevice
