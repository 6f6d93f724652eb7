#include "models/qfp/qfp_simplified_model.h"

#include <cmath>

#include "models/model_geometry.h"

namespace pkg::qfp {

double QFPSimplifiedModel::RowWidth(bool x_sides) const {
    return (LeadCount(x_sides) - 1) * lead.pitch + lead.width;
}

double QFPSimplifiedModel::RowFraction(bool x_sides) const {
    const int n = LeadCount(x_sides);
    if (n < 1) return 0.0;
    const double R = RowWidth(x_sides);
    return R > 0.0 ? n * lead.width / R : 0.0;
}

// The fan is the trapezoid between the row at the mold edge and the row of tips.
double QFPSimplifiedModel::FanFraction(bool x_sides) const {
    const std::vector<double> tips = TipEdges(x_sides);
    if (tips.empty()) return 0.0;
    const double L = InnerLeadLength(x_sides);
    const double area = (2.0 * std::fabs(tips[0]) + RowWidth(x_sides)) * L / 2.0;
    return Ratio(LeadCount(x_sides) * lead.width * L, area);
}

// The gull-wing profile of the detailed leads, one profile as wide as the whole row.
std::vector<Cuboid> QFPSimplifiedModel::OuterLeadCuboidsLeftRight() const {
    const double R = RowWidth(true);
    if (LeadCount(true) < 1 || R <= 0.0) return {};
    const double e = mold.size.x / 2.0 + outer_lead.length;
    const double m = outer_lead.length_of_mouting_area, t = lead.thickness;
    return {Cuboid{-e, -R / 2.0, 0.0, m, R, t}, Cuboid{-e + m - t, -R / 2.0, t, t, R, LeadLevel()},
            Cuboid{-e + m, -R / 2.0, LeadLevel(), outer_lead.length - m, R, t}};
}

std::vector<Cuboid> QFPSimplifiedModel::OuterLeadCuboidsTopBottom() const {
    if (IsSOP()) ThrowNoBottomLeads();
    const double R = RowWidth(false);
    if (LeadCount(false) < 1 || R <= 0.0) return {};
    const double e = mold.size.y / 2.0 + outer_lead.length;
    const double m = outer_lead.length_of_mouting_area, t = lead.thickness;
    return {Cuboid{-R / 2.0, -e, 0.0, R, m, t}, Cuboid{-R / 2.0, -e + m - t, t, R, t, LeadLevel()},
            Cuboid{-R / 2.0, -e + m, LeadLevel(), R, outer_lead.length - m, t}};
}

// The fan from the row at the mold edge to the row of tips.
std::vector<Prism> QFPSimplifiedModel::InnerLeadPrismsLeftRight() const {
    const double R = RowWidth(true);
    const std::vector<double> tips = TipEdges(true);
    if (tips.empty() || R <= 0.0) return {};
    const double X0 = -mold.size.x / 2.0, Xt = X0 + InnerLeadLength(true), T0 = tips[0];
    return {MakePrism({{X0, -R / 2.0}, {Xt, T0}, {Xt, -T0}, {X0, R / 2.0}}, lead.thickness,
                      LeadLevel())};
}

std::vector<Prism> QFPSimplifiedModel::InnerLeadPrismsTopBottom() const {
    const double R = RowWidth(false);
    const std::vector<double> tips = TipEdges(false);
    if (tips.empty() || R <= 0.0) return {};
    const double Y0 = -mold.size.y / 2.0, Yt = Y0 + InnerLeadLength(false), T0 = tips[0];
    const double t = lead.thickness, z = LeadLevel();
    return {MakePrism({{-R / 2.0, Y0}, {R / 2.0, Y0}, {-T0, Yt}, {T0, Yt}}, t, z),
            MakePrism({{T0, -Yt}, {-T0, -Yt}, {R / 2.0, -Y0}, {-R / 2.0, -Y0}}, t, z)};
}

// The straight leads as one region beside the die pad, and at each row end the wrapped
// leads as a piece from the mold edge in along x and a piece below the die pad's end where
// they turn along y; that piece takes the second material, which conducts along y.
std::vector<IndexedPrism> QFPSimplifiedModel::InnerLeadPrismsLeftRight2() const {
    const SopRouting routing = RouteSopLeads();
    const int n = static_cast<int>(routing.tips.size());
    const int c = routing.wrapped, s = n - 2 * c;
    const double off = inner_lead.offset, w = lead.width, d = wire.diameter;
    const double Xt = -die_pad.size.x / 2.0 - off, X0 = -mold.size.x / 2.0;
    const double b = die_pad.size.y + 2.0 * off;
    const double Rn = (n - 1) * lead.pitch + w;
    const double t = lead.thickness, z = LeadLevel();

    std::vector<IndexedPrism> prisms;
    if (s > 0) {
        const double row = (s - 1) * lead.pitch + w;
        const double Y = (c > 0 || b < row) ? b / 2.0 + d : row / 2.0;
        prisms.push_back(IndexedPrism{MakePrism({{Xt, Y}, {Xt, -Y}, {X0, -Y}, {X0, Y}}, t, z), 0});
    }
    if (c > 0) {
        const double xe = -SuspensionWidth() / 2.0 - off;
        const Prism along_x = MakePrism(
            {{X0, -b / 2.0 - d}, {Xt, -b / 2.0 - d}, {xe, -Rn / 2.0}, {X0, -Rn / 2.0}}, t, z);
        const Prism along_y =
            MakePrism({{xe, -b / 2.0}, {xe, -Rn / 2.0}, {Xt, -b / 2.0 - d}, {Xt, -b / 2.0}}, t, z);
        prisms.push_back(IndexedPrism{along_x, 0});
        prisms.push_back(IndexedPrism{along_y, 1});
        prisms.push_back(IndexedPrism{Mirrored(along_x, false), 0});
        prisms.push_back(IndexedPrism{Mirrored(along_y, false), 1});
    }
    return prisms;
}

// Two axis-aligned strips of half the width per corner, along the die pad's edges from the
// mold's x and y edges: the (−x, −y) corner, then its mirrors in x, in y and in both.
std::vector<Prism> QFPSimplifiedModel::SuspensionLeadShape() const {
    const double half = SuspensionWidth() / 2.0;
    const double mx = mold.size.x / 2.0, my = mold.size.y / 2.0;
    const double px = die_pad.size.x / 2.0, py = die_pad.size.y / 2.0;
    const double t = lead.thickness, z = DiePadBottom();
    const Prism from_x =
        MakePrism({{-mx, -py}, {-mx, half - py}, {-px, half - py}, {-px, -py}}, t, z);
    const Prism from_y =
        MakePrism({{-px, -my}, {-px, -py}, {half - px, -py}, {half - px, -my}}, t, z);
    const Prism from_x_x = Mirrored(from_x, true), from_y_x = Mirrored(from_y, true);
    return {from_x,
            from_y,
            from_x_x,
            from_y_x,
            Mirrored(from_x, false),
            Mirrored(from_y, false),
            Mirrored(from_x_x, false),
            Mirrored(from_y_x, false)};
}

// Leads in air: along the lead (x) and through the riser (z) the leads conduct in
// parallel with the air, across the row the air alone.
Property QFPSimplifiedModel::OuterLeadPropertyLeftRight() const {
    const Property p = Mixture(RowFraction(true),
                               Bulk{lead.thermal_conductivity, lead.density, lead.specific_heat},
                               kAir);
    return AnisotropicProperty(outer_lead_left_right_name_, p.conductivity_z, kAir.conductivity,
                               p.conductivity_z, p.density, p.specific_heat);
}

Property QFPSimplifiedModel::OuterLeadPropertyTopBottom() const {
    if (IsSOP()) ThrowNoBottomLeads();
    const Property p = Mixture(RowFraction(false),
                               Bulk{lead.thermal_conductivity, lead.density, lead.specific_heat},
                               kAir);
    return AnisotropicProperty(outer_lead_top_bottom_name_, kAir.conductivity, p.conductivity_z,
                               p.conductivity_z, p.density, p.specific_heat);
}

// Leads in mold: the lead share of the fan trapezoid (QFP) or of the row (SOP).
std::vector<Property> QFPSimplifiedModel::InnerLeadProperties() const {
    const Bulk lead_bulk{lead.thermal_conductivity, lead.density, lead.specific_heat};
    const Bulk mold_bulk{mold.thermal_conductivity, mold.density, mold.specific_heat};
    const double k_mold = mold.thermal_conductivity;
    if (IsSOP()) {
        const Property p = Mixture(RowFraction(true), lead_bulk, mold_bulk);
        return {AnisotropicProperty(inner_lead_left_right_name_, p.conductivity_z, k_mold,
                                    p.conductivity_z, p.density, p.specific_heat),
                AnisotropicProperty(inner_lead_left_right2_name_, k_mold, p.conductivity_z,
                                    p.conductivity_z, p.density, p.specific_heat)};
    }
    const Property p = Mixture(FanFraction(true), lead_bulk, mold_bulk);
    return {AnisotropicProperty(inner_lead_left_right_name_, p.conductivity_z, k_mold,
                                p.conductivity_z, p.density, p.specific_heat)};
}

Property QFPSimplifiedModel::InnerLeadPropertyTopBottom() const {
    const Property p = Mixture(FanFraction(false),
                               Bulk{lead.thermal_conductivity, lead.density, lead.specific_heat},
                               Bulk{mold.thermal_conductivity, mold.density, mold.specific_heat});
    return AnisotropicProperty(inner_lead_top_bottom_name_, mold.thermal_conductivity,
                               p.conductivity_z, p.conductivity_z, p.density, p.specific_heat);
}

// A QFP's straight strips carry the mass of the detailed diagonal strips at the density
// below: one diagonal strip's area over the area of two straight strips of full width.
Property QFPSimplifiedModel::SuspensionLeadProperty() const {
    double density = lead.density;
    if (!IsSOP()) {
        double a = 0.0, b = 0.0;
        SuspensionOffsets(a, b);
        const double W = SuspensionWidth();
        const double gx = mold.size.x - die_pad.size.x, gy = mold.size.y - die_pad.size.y;
        const double strip = a * gx / 2.0 + b * gy / 2.0;
        const double straight = gx * W / 2.0 + gy * W / 2.0;
        if (straight != 0.0) density = lead.density * strip / straight;
    }
    return IsotropicProperty(suspension_lead_name_, lead.thermal_conductivity, density,
                             lead.specific_heat);
}

}  // namespace pkg::qfp
