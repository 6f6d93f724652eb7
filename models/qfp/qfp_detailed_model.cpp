#include "models/qfp/qfp_detailed_model.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "models/model_geometry.h"

namespace pkg::qfp {

namespace {

constexpr double kLevelSlack = 1e-9;

Cuboid MirroredX(const Cuboid& b) {
    Cuboid m = b;
    m.x = -b.x - b.dx;
    return m;
}

Cuboid MirroredY(const Cuboid& b) {
    Cuboid m = b;
    m.y = -b.y - b.dy;
    return m;
}

// Appends the blocks of one side, then their mirror, numbered on from `counter`.
void AddSideBlocks(Group& group, int& counter, const std::vector<Cuboid>& blocks,
                   const std::string& material, bool mirror_x) {
    for (const Cuboid& b : blocks) {
        group.AddCuboid(NumberedName("outer_lead(%d)", counter++), material, b);
    }
    for (const Cuboid& b : blocks) {
        group.AddCuboid(NumberedName("outer_lead(%d)", counter++), material,
                        mirror_x ? MirroredX(b) : MirroredY(b));
    }
}

// Appends the prisms of the −x side, then their mirror in x, numbered on from `counter`,
// each made of the entry of `materials` at its index.
void AddSidePrisms(Group& group, const char* pattern, int& counter,
                   const std::vector<IndexedPrism>& prisms,
                   const std::vector<Property>& materials) {
    for (int pass = 0; pass < 2; ++pass) {
        for (const IndexedPrism& p : prisms) {
            if (p.material < 0 || p.material >= static_cast<int>(materials.size())) continue;
            group.AddPrism(NumberedName(pattern, counter++), materials[p.material].name,
                           pass == 0 ? p.prism : Mirrored(p.prism, true));
        }
    }
}

}  // namespace

QFPDetailedModel::QFPDetailedModel(bool sop) : QFP(sop) {
    SetName(sop ? L"sop_default" : L"qfp_default");
}

void QFPDetailedModel::ThrowNoBottomLeads() {
    throw std::logic_error("sop does not have outer bottom leads");
}

int QFPDetailedModel::LeadCount(bool x_sides) const {
    return x_sides ? lead.number_of_xmin_xmax_lead : lead.number_of_ymin_ymax_lead;
}

double QFPDetailedModel::LeadPosition(int k, int count) const {
    return k * lead.pitch - ((count - 1) * lead.pitch + lead.width) / 2.0;
}

double QFPDetailedModel::LeadLevel() const {
    return outer_lead.stand_off + outer_lead.height_from_bottom_of_mold;
}

double QFPDetailedModel::DiePadBottom() const { return LeadLevel() - die_pad.depress; }

double QFPDetailedModel::ChipBottom() const {
    const double pad_top = DiePadBottom() + die_pad.thickness;
    return composition.bonded_part ? pad_top + bonded_part.thickness : pad_top;
}

double QFPDetailedModel::ChipTop() const { return ChipBottom() + chip.thickness; }

double QFPDetailedModel::InnerLeadLength(bool x_sides) const {
    const double gap =
        x_sides ? (mold.size.x - die_pad.size.x) / 2.0 : (mold.size.y - die_pad.size.y) / 2.0;
    return gap - inner_lead.offset;
}

double QFPDetailedModel::SuspensionWidth() const {
    return composition.suspension ? suspension_lead.width : 0.0;
}

// The strip runs along the diagonal from the mold corner to the die-pad corner; a and b are
// its half-width measured along y and along x. A die pad that reaches the mold edge along
// one axis leaves no room for the strip there, so that offset is 0 rather than infinite.
void QFPDetailedModel::SuspensionOffsets(double& a, double& b) const {
    const double gap_x = std::fabs(mold.size.x - die_pad.size.x) / 2.0;
    const double gap_y = std::fabs(mold.size.y - die_pad.size.y) / 2.0;
    const double theta = std::atan2(gap_y, gap_x);
    const double W = SuspensionWidth();
    a = gap_x > 0.0 ? W / (2.0 * std::cos(theta)) : 0.0;
    b = gap_y > 0.0 ? W / (2.0 * std::sin(theta)) : 0.0;
}

// The tips are spread over the die pad's side with the same proportion r by which the
// inner lead covers the gap from the mold edge; the row stays symmetric about the axis.
std::vector<double> QFPDetailedModel::TipEdges(bool x_sides) const {
    const int n = LeadCount(x_sides);
    const double w = lead.width;
    if (n < 1) return {};
    if (n == 1) return {-w / 2.0};
    const double D = x_sides ? die_pad.size.y : die_pad.size.x;
    const double G =
        x_sides ? (mold.size.x - die_pad.size.x) / 2.0 : (mold.size.y - die_pad.size.y) / 2.0;
    const double r = Ratio(G - inner_lead.offset, G);
    const double F = (n - 1) * D / (n + 1) + w;
    const double first = (1.0 - r) * LeadPosition(0, n) - r * F / 2.0;
    const double upper = (1.0 - r) * (LeadPosition(n - 1, n) + w) + r * F / 2.0;
    const double step = (upper - first - w) / (n - 1);
    std::vector<double> tips;
    for (int k = 0; k < n; ++k) tips.push_back(first + k * step);
    return tips;
}

int QFPDetailedModel::Build() {
    ClearTree();
    if (!LeadCountsBuildable()) return 1;
    die_pad.thickness = lead.thickness;
    std::vector<Property> list;

    auto mold_group = MakeGroup(L"mold_group");
    mold_group->AddCuboid("mold", mold_name_,
                          Cuboid{-mold.size.x / 2.0, -mold.size.y / 2.0, outer_lead.stand_off,
                                 mold.size.x, mold.size.y, mold.thickness});
    root.AddChild(mold_group);
    AddProperty(list, MoldProperty());

    auto pad_group = MakeGroup(L"die_pad_group");
    pad_group->AddCuboid("die_pad", lead_name_,
                         Cuboid{-die_pad.size.x / 2.0, -die_pad.size.y / 2.0, DiePadBottom(),
                                die_pad.size.x, die_pad.size.y, die_pad.thickness});
    root.AddChild(pad_group);
    AddProperty(list, LeadProperty());

    if (composition.bonded_part) {
        auto g = MakeGroup(L"bonded_part_group");
        const double pad_top = DiePadBottom() + die_pad.thickness;
        g->AddCuboid("bonded_part", bonded_part_name_,
                     Cuboid{-chip.size.x / 2.0, -chip.size.y / 2.0, pad_top, chip.size.x,
                            chip.size.y, bonded_part.thickness});
        root.AddChild(g);
        AddProperty(list, BondedPartProperty());
    }

    auto chip_group = MakeGroup(L"chip_group");
    chip_group->AddCuboid("chip", chip_name_,
                          Cuboid{-chip.size.x / 2.0, -chip.size.y / 2.0, ChipBottom(), chip.size.x,
                                 chip.size.y, chip.thickness});
    root.AddChild(chip_group);
    AddProperty(list, ChipProperty());

    // One counter runs across all sides of a group; a side's list comes first, then its
    // mirror, so the −x (or −y) side leads.
    auto outer = MakeGroup(L"outer_lead_group");
    int counter = 0;
    const Property outer_x = OuterLeadPropertyLeftRight();
    AddSideBlocks(*outer, counter, OuterLeadCuboidsLeftRight(), outer_x.name, true);
    AddProperty(list, outer_x);
    if (!IsSOP()) {
        const Property outer_y = OuterLeadPropertyTopBottom();
        AddSideBlocks(*outer, counter, OuterLeadCuboidsTopBottom(), outer_y.name, false);
        AddProperty(list, outer_y);
    }
    root.AddChild(outer);

    auto inner = MakeGroup(L"inner_lead_group");
    counter = 0;
    if (!IsSOP()) {
        const Property material = InnerLeadPropertyTopBottom();
        for (const Prism& p : InnerLeadPrismsTopBottom()) {
            inner->AddPrism(NumberedName("inner_lead(%d)", counter++), material.name, p);
        }
        AddProperty(list, material);
    }
    {
        const std::vector<Property> materials = InnerLeadProperties();
        std::vector<IndexedPrism> side;
        if (IsSOP()) {
            side = InnerLeadPrismsLeftRight2();
        } else {
            for (const Prism& p : InnerLeadPrismsLeftRight()) side.push_back(IndexedPrism{p, 0});
        }
        AddSidePrisms(*inner, "inner_lead(%d)", counter, side, materials);
        for (const Property& m : materials) AddProperty(list, m);
    }
    root.AddChild(inner);

    if (composition.wire) {
        auto lr = MakeGroup(L"wire_left_right_group");
        const std::vector<Property> materials = WireLeftRightProperties();
        counter = 0;
        AddSidePrisms(*lr, "wire_left_right(%d)", counter, WireLeftRightPrisms(), materials);
        root.AddChild(lr);
        for (const Property& m : materials) AddProperty(list, m);

        if (!IsSOP()) {
            auto tb = MakeGroup(L"wire_top_bottom_group");
            const Property material = WireTopBottomProperty();
            const std::vector<Prism> fans = WireTopBottomPrisms();
            counter = 0;
            for (const Prism& p : fans) {
                tb->AddPrism(NumberedName("wire_top_bottom(%d)", counter++), material.name, p);
            }
            for (const Prism& p : fans) {
                tb->AddPrism(NumberedName("wire_top_bottom(%d)", counter++), material.name,
                             Mirrored(p, false));
            }
            root.AddChild(tb);
            AddProperty(list, material);
        }
    }

    if (composition.suspension) {
        auto g = MakeGroup(L"suspension_group");
        const Property material = SuspensionLeadProperty();
        counter = 0;
        for (const Prism& p : SuspensionLeadPrisms()) {
            g->AddPrism(NumberedName("suspension_lead(%d)", counter++), material.name, p);
        }
        root.AddChild(g);
        AddProperty(list, material);
    }
    properties = list;
    return 0;
}

// Each lead is a gull wing of three blocks, from its outer end inwards: the foot on the
// board, the riser up to the lead level, and the shoulder that ends at the mold edge.
std::vector<Cuboid> QFPDetailedModel::OuterLeadCuboidsLeftRight() const {
    const int n = LeadCount(true);
    const double e = mold.size.x / 2.0 + outer_lead.length;
    const double m = outer_lead.length_of_mouting_area, t = lead.thickness, w = lead.width;
    std::vector<Cuboid> blocks;
    for (int k = 0; k < n; ++k) {
        const double y = LeadPosition(k, n);
        blocks.push_back(Cuboid{-e, y, 0.0, m, w, t});
        blocks.push_back(Cuboid{-e + m - t, y, t, t, w, LeadLevel()});
        blocks.push_back(Cuboid{-e + m, y, LeadLevel(), outer_lead.length - m, w, t});
    }
    return blocks;
}

std::vector<Cuboid> QFPDetailedModel::OuterLeadCuboidsTopBottom() const {
    if (IsSOP()) ThrowNoBottomLeads();
    const int n = LeadCount(false);
    const double e = mold.size.y / 2.0 + outer_lead.length;
    const double m = outer_lead.length_of_mouting_area, t = lead.thickness, w = lead.width;
    std::vector<Cuboid> blocks;
    for (int k = 0; k < n; ++k) {
        const double x = LeadPosition(k, n);
        blocks.push_back(Cuboid{x, -e, 0.0, w, m, t});
        blocks.push_back(Cuboid{x, -e + m - t, t, w, t, LeadLevel()});
        blocks.push_back(Cuboid{x, -e + m, LeadLevel(), w, outer_lead.length - m, t});
    }
    return blocks;
}

std::vector<Prism> QFPDetailedModel::InnerLeadPrismsLeftRight() const {
    const int n = LeadCount(true);
    const double w = lead.width, X0 = -mold.size.x / 2.0;
    const double Xt = X0 + InnerLeadLength(true);
    const std::vector<double> tips = TipEdges(true);
    std::vector<Prism> prisms;
    for (int k = 0; k < n; ++k) {
        const double P = LeadPosition(k, n);
        prisms.push_back(MakePrism({{X0, P}, {X0, P + w}, {Xt, tips[k] + w}, {Xt, tips[k]}},
                                   lead.thickness, LeadLevel()));
    }
    return prisms;
}

std::vector<Prism> QFPDetailedModel::InnerLeadPrismsTopBottom() const {
    const int n = LeadCount(false);
    const double w = lead.width, Y0 = -mold.size.y / 2.0;
    const double Yt = Y0 + InnerLeadLength(false);
    const std::vector<double> tips = TipEdges(false);
    std::vector<Prism> prisms;
    for (int k = 0; k < n; ++k) {
        const double P = LeadPosition(k, n);
        prisms.push_back(MakePrism({{P, Y0}, {P + w, Y0}, {tips[k] + w, Yt}, {tips[k], Yt}},
                                   lead.thickness, LeadLevel()));
    }
    for (int k = 0; k < n; ++k) prisms.push_back(Mirrored(prisms[k], false));
    return prisms;
}

// The wires run from the chip edge to the tip line level with the chip top, then drop (or
// climb) to the leads at the tip line. A side without leads has no wires.
std::vector<IndexedPrism> QFPDetailedModel::WireLeftRightPrisms() const {
    if (IsSOP()) return SopWirePrisms();
    const std::vector<double> tips = TipEdges(true);
    if (tips.empty()) return {};
    const double T0 = tips[0], d = wire.diameter, C = ChipTop();
    const double Xt = -mold.size.x / 2.0 + InnerLeadLength(true);
    const double cx = chip.size.x / 2.0, cy = chip.size.y / 2.0;
    std::vector<IndexedPrism> prisms = {
        IndexedPrism{MakePrism({{Xt, T0}, {-cx, -cy}, {-cx, cy}, {Xt, -T0}}, d, C - d), 0}};
    if (const auto drop = WireDropPrism({{Xt - d, T0}, {Xt, T0}, {Xt, -T0}, {Xt - d, -T0}})) {
        prisms.push_back(IndexedPrism{*drop, 0});
    }
    return prisms;
}

std::vector<Prism> QFPDetailedModel::WireTopBottomPrisms() const {
    if (IsSOP()) ThrowNoBottomLeads();
    const std::vector<double> tips = TipEdges(false);
    if (tips.empty()) return {};
    const double T0 = tips[0], d = wire.diameter, C = ChipTop();
    const double Yt = -mold.size.y / 2.0 + InnerLeadLength(false);
    const double cx = chip.size.x / 2.0, cy = chip.size.y / 2.0;
    std::vector<Prism> prisms = {MakePrism({{T0, Yt}, {-cx, -cy}, {cx, -cy}, {-T0, Yt}}, d, C - d)};
    if (const auto drop = WireDropPrism({{T0, Yt - d}, {T0, Yt}, {-T0, Yt}, {-T0, Yt - d}})) {
        prisms.push_back(*drop);
    }
    return prisms;
}

std::optional<Prism> QFPDetailedModel::WireDropPrism(const double (&xy)[4][2]) const {
    const double C = ChipTop(), zT = LeadLevel() + lead.thickness;
    // Chip top and lead top are different sums of the same lengths (mm), so a part drawn
    // level may differ by a rounding error; that is no drop.
    if (std::fabs(C - zT) <= kLevelSlack) return std::nullopt;
    return MakePrism(xy, std::fabs(C - zT), std::min(C, zT));
}

std::vector<Prism> QFPDetailedModel::SuspensionLeadPrisms() const {
    if (!IsSOP()) return SuspensionLeadShape();
    // Two straight strips along y at the centre, from the mold's y ends to the die pad.
    const double W = SuspensionWidth();
    const double my = mold.size.y / 2.0, py = die_pad.size.y / 2.0;
    const Prism strip =
        MakePrism({{-W / 2.0, -my}, {-W / 2.0, -py}, {W / 2.0, -py}, {W / 2.0, -my}},
                  lead.thickness, DiePadBottom());
    return {strip, Mirrored(strip, false)};
}

// A diagonal strip from each mold corner to the nearest die-pad corner, as two prisms on
// either side of the diagonal: the (−x, −y) corner first, then y, x and both negated.
std::vector<Prism> QFPDetailedModel::SuspensionLeadShape() const {
    double a = 0.0, b = 0.0;
    SuspensionOffsets(a, b);
    const double Mx = -mold.size.x / 2.0, My = -mold.size.y / 2.0;
    const double Qx = -die_pad.size.x / 2.0, Qy = -die_pad.size.y / 2.0;
    const double t = lead.thickness, z = DiePadBottom();
    const Prism first = MakePrism({{Mx, My}, {Mx, My + a}, {Qx, Qy + a}, {Qx, Qy}}, t, z);
    const Prism second = MakePrism({{Mx + b, My}, {Mx, My}, {Qx, Qy}, {Qx + b, Qy}}, t, z);
    const Prism first_x = Mirrored(first, true), second_x = Mirrored(second, true);
    return {first,   second,   Mirrored(first, false),   Mirrored(second, false),
            first_x, second_x, Mirrored(first_x, false), Mirrored(second_x, false)};
}

Property QFPDetailedModel::OuterLeadPropertyLeftRight() const { return LeadProperty(); }
Property QFPDetailedModel::OuterLeadPropertyTopBottom() const { return LeadProperty(); }
Property QFPDetailedModel::InnerLeadPropertyTopBottom() const { return LeadProperty(); }
std::vector<Property> QFPDetailedModel::InnerLeadProperties() const { return {LeadProperty()}; }

Property QFPDetailedModel::WireMixture(double f) const {
    return Mixture(f, Bulk{wire.thermal_conductivity, wire.density, wire.specific_heat},
                   Bulk{mold.thermal_conductivity, mold.density, mold.specific_heat});
}

// One wire per lead of a side over the fan between the chip edge and the tip line.
double QFPDetailedModel::FanWireFraction(bool x_sides) const {
    const std::vector<double> tips = TipEdges(x_sides);
    if (tips.empty()) return 0.0;
    const double g = x_sides ? (mold.size.x - chip.size.x) / 2.0 - InnerLeadLength(true)
                             : (mold.size.y - chip.size.y) / 2.0 - InnerLeadLength(false);
    const double across = x_sides ? chip.size.y : chip.size.x;
    const double area = (across - 2.0 * tips[0]) * g / 2.0;
    return Ratio(g * wire.diameter * LeadCount(x_sides), area);
}

std::vector<double> QFPDetailedModel::WireFractions() const {
    if (IsSOP()) return SopWireFractions();
    return {FanWireFraction(true), FanWireFraction(false)};
}

// The wires conduct along x (and through their drop, along z), the mold alone along y.
std::vector<Property> QFPDetailedModel::WireLeftRightProperties() const {
    if (IsSOP()) return SopWireProperties();
    const Property p = WireMixture(FanWireFraction(true));
    return {AnisotropicProperty(wire_left_right_name_, p.conductivity_z, mold.thermal_conductivity,
                                p.conductivity_z, p.density, p.specific_heat)};
}

Property QFPDetailedModel::WireTopBottomProperty() const {
    if (IsSOP()) ThrowNoBottomLeads();
    const Property p = WireMixture(FanWireFraction(false));
    return AnisotropicProperty(wire_top_bottom_name_, mold.thermal_conductivity, p.conductivity_z,
                               p.conductivity_z, p.density, p.specific_heat);
}

Property QFPDetailedModel::SuspensionLeadProperty() const {
    return IsotropicProperty(suspension_lead_name_, lead.thermal_conductivity, lead.density,
                             lead.specific_heat);
}

Property QFPDetailedModel::MoldProperty() const {
    return IsotropicProperty(mold_name_, mold.thermal_conductivity, mold.density,
                             mold.specific_heat);
}

Property QFPDetailedModel::ChipProperty() const {
    return IsotropicProperty(chip_name_, chip.thermal_conductivity, chip.density,
                             chip.specific_heat);
}

Property QFPDetailedModel::BondedPartProperty() const {
    return IsotropicProperty(bonded_part_name_, bonded_part.thermal_conductivity,
                             bonded_part.density, bonded_part.specific_heat);
}

Property QFPDetailedModel::LeadProperty() const {
    return IsotropicProperty(lead_name_, lead.thermal_conductivity, lead.density,
                             lead.specific_heat);
}

}  // namespace pkg::qfp
