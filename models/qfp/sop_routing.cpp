// The SOP forms of the inner leads and the left/right wire regions. A SOP's die pad is long
// along y: the leads near the row ends cannot run straight at its side and are wrapped
// around its ends instead. Frame: millimetres, the −x side; the build adds the mirror.
#include <algorithm>

#include "models/model_geometry.h"
#include "models/qfp/qfp_detailed_model.h"

namespace pkg::qfp {

// The tips are spread at equal gaps along the unfolded outline of the enlarged die pad,
// from the −y end's suspension lead round the side to the +y end's; the second half then
// copies the first in mirror so the row stays symmetric. When fewer leads lie wholly below
// the die pad than were wrapped, only those are wrapped and the rest spread on the side.
QFPDetailedModel::SopRouting QFPDetailedModel::RouteSopLeads() const {
    SopRouting routing;
    const int n = LeadCount(true);
    if (n < 1) return routing;
    const double off = inner_lead.offset, w = lead.width;
    const double a = die_pad.size.x / 2.0 + off;
    const double b = die_pad.size.y + 2.0 * off;
    const double W = SuspensionWidth();
    if (n == 1) {
        routing.tips.push_back(Point3{-a, 0.0, 0.0});
        return routing;
    }

    const double g = (2.0 * a + b - W - n * w - 2.0 * off) / (n - 1);
    int end_leads = 0, side_leads = 0;
    for (int k = 0; k < n; ++k) {
        const double u = (w + g) * k + W / 2.0 + off;
        const double m = u + w / 2.0, e = u + w;
        if (e < a) {
            routing.tips.push_back(Point3{-m, -b / 2.0, 0.0});
            ++end_leads;
        } else if (e < a + b) {
            routing.tips.push_back(Point3{-a, m - a - b / 2.0, 0.0});
            ++side_leads;
        } else {
            routing.tips.push_back(Point3{m - 2.0 * a - b, b / 2.0, 0.0});
        }
    }
    // Rounding may count one more lead at the −y end than at the +y end; the mirror must
    // not copy a point that was itself already replaced.
    const int h = std::min(side_leads / 2 + end_leads, n / 2);
    for (int j = 0; j < h; ++j) {
        routing.tips[n - 1 - j] = Point3{routing.tips[j].x, -routing.tips[j].y, 0.0};
    }
    routing.wrapped = std::min(end_leads, n / 2);

    int q = 0;
    for (int k = 0; k < n; ++k) {
        if (LeadPosition(k, n) + w <= -b / 2.0) ++q;
    }
    if (q < routing.wrapped) {
        if (q > 0) {
            const double g2 = (a - off - W / 2.0) / q - w;
            for (int j = 0; j < q; ++j) {
                routing.tips[j] = Point3{-((g2 + w) * j + W / 2.0 + off + w / 2.0), -b / 2.0, 0.0};
            }
        }
        // q < wrapped <= n / 2 leaves at least two straight leads to space.
        const int s = n - 2 * q;
        if (q > 0 || b <= (s - 1) * lead.pitch + w) {
            const double g3 = (b - s * w) / (s - 1);
            for (int i = 0; i < s; ++i) {
                routing.tips[q + i] = Point3{-a, (g3 + w) * i - b / 2.0 + w / 2.0, 0.0};
            }
        } else {
            for (int i = 0; i < s; ++i) {
                routing.tips[i] = Point3{-a, LeadPosition(i, n) + w / 2.0, 0.0};
            }
        }
        for (int j = 0; j < q; ++j) {
            routing.tips[n - 1 - j] = Point3{routing.tips[j].x, -routing.tips[j].y, 0.0};
        }
        routing.wrapped = q;
    }
    return routing;
}

// A straight lead slants from its outer position to its tip on the die pad's side; a
// wrapped lead runs along x below the die pad's end, then along y up to its tip there.
std::vector<IndexedPrism> QFPDetailedModel::InnerLeadPrismsLeftRight2() const {
    const SopRouting routing = RouteSopLeads();
    const int n = static_cast<int>(routing.tips.size());
    const int c = routing.wrapped;
    const double w = lead.width, X0 = -mold.size.x / 2.0;
    const double t = lead.thickness, z = LeadLevel();

    std::vector<Prism> wrapped;
    for (int k = 0; k < c; ++k) {
        const double P = LeadPosition(k, n);
        const double tx = routing.tips[k].x, ty = routing.tips[k].y;
        wrapped.push_back(MakePrism(
            {{tx - w / 2.0, ty}, {tx + w / 2.0, ty}, {tx + w / 2.0, P}, {tx - w / 2.0, P}}, t, z));
        wrapped.push_back(
            MakePrism({{X0, P + w}, {tx - w / 2.0, P + w}, {tx - w / 2.0, P}, {X0, P}}, t, z));
    }
    std::vector<IndexedPrism> prisms;
    for (const Prism& p : wrapped) prisms.push_back(IndexedPrism{p, 0});
    for (int k = c; k < n - c; ++k) {
        const double P = LeadPosition(k, n);
        const double tx = routing.tips[k].x, ty = routing.tips[k].y;
        prisms.push_back(IndexedPrism{
            MakePrism({{X0, P}, {X0, P + w}, {tx, ty + w / 2.0}, {tx, ty - w / 2.0}}, t, z), 0});
    }
    for (const Prism& p : wrapped) prisms.push_back(IndexedPrism{Mirrored(p, false), 0});
    return prisms;
}

// The straight leads' wires fan from the chip's side to the die pad's side; the wrapped
// leads' wires fan from the chip's end to the die pad's end between the suspension lead
// and the corner. The end fans take the index their material has in the list, which lacks
// the straight material when every lead is wrapped.
std::vector<IndexedPrism> QFPDetailedModel::SopWirePrisms() const {
    const SopRouting routing = RouteSopLeads();
    const int n = static_cast<int>(routing.tips.size());
    const int c = routing.wrapped, s = n - 2 * c;
    const double off = inner_lead.offset, w = lead.width, d = wire.diameter;
    const double Xt = -die_pad.size.x / 2.0 - off;
    const double b = die_pad.size.y + 2.0 * off;
    const double C = ChipTop();
    const double cx = chip.size.x / 2.0, cy = chip.size.y / 2.0;

    std::vector<IndexedPrism> prisms;
    if (s > 0) {
        const double row = (s - 1) * lead.pitch + w;
        const double y1 =
            (c > 0 || 2.0 * off + die_pad.size.y < row) ? die_pad.size.y / 2.0 + off : row / 2.0;
        const double y0 = -y1;
        prisms.push_back(
            IndexedPrism{MakePrism({{-cx, cy}, {-cx, -cy}, {Xt, y0}, {Xt, y1}}, d, C - d), 0});
        if (const auto drop = WireDropPrism({{Xt, y0}, {Xt, y1}, {Xt - d, y1}, {Xt - d, y0}})) {
            prisms.push_back(IndexedPrism{*drop, 0});
        }
    }
    if (c > 0) {
        const int index = s > 0 ? 1 : 0;
        const double xe = -SuspensionWidth() / 2.0 - off;
        const Prism fan =
            MakePrism({{-cx, -cy}, {0.0, -cy}, {xe, -b / 2.0}, {Xt, -b / 2.0}}, d, C - d);
        const auto drop = WireDropPrism(
            {{xe, -b / 2.0}, {Xt, -b / 2.0}, {Xt, -b / 2.0 - d}, {xe, -b / 2.0 - d}});
        prisms.push_back(IndexedPrism{fan, index});
        if (drop) prisms.push_back(IndexedPrism{*drop, index});
        prisms.push_back(IndexedPrism{Mirrored(fan, false), index});
        if (drop) prisms.push_back(IndexedPrism{Mirrored(*drop, false), index});
    }
    return prisms;
}

// The straight region holds one wire per straight lead; the end region holds the wires of
// the wrapped leads of one row end, which run along y.
std::vector<double> QFPDetailedModel::SopWireFractions() const {
    const SopRouting routing = RouteSopLeads();
    const int n = static_cast<int>(routing.tips.size());
    const int c = routing.wrapped, s = n - 2 * c;
    const double off = inner_lead.offset, w = lead.width, d = wire.diameter;

    std::vector<double> fractions;
    if (s > 0) {
        const double row = (s - 1) * lead.pitch + w;
        const double L = die_pad.size.x / 2.0 + off - chip.size.x / 2.0;
        double area = (2.0 * off + die_pad.size.y + chip.size.y) * L / 2.0;
        double volume = L * d * s;
        // A die pad longer than an unwrapped row: the fraction is that of the lead widths
        // over the row, as the region has always been computed.
        if (c == 0 && 2.0 * off + die_pad.size.y > row) {
            area = row;
            volume = s * w;
        }
        fractions.push_back(Ratio(volume, area));
    }
    if (c > 0) {
        const double L = die_pad.size.y / 2.0 + off - chip.size.y / 2.0;
        const double area =
            (die_pad.size.x / 2.0 - SuspensionWidth() / 2.0 + chip.size.x / 2.0) * L / 2.0;
        fractions.push_back(Ratio(L * d * c, area));
    }
    return fractions;
}

// The straight material conducts along x, the end material along y.
std::vector<Property> QFPDetailedModel::SopWireProperties() const {
    const std::vector<double> fractions = SopWireFractions();
    const double k_mold = mold.thermal_conductivity;
    // With both regions the straight one comes first; alone, either is the first.
    const bool only_wrapped = fractions.size() == 1 && RouteSopLeads().wrapped > 0;
    std::vector<Property> materials;
    for (size_t i = 0; i < fractions.size(); ++i) {
        const Property p = WireMixture(fractions[i]);
        const bool straight = i == 0 && !only_wrapped;
        materials.push_back(straight ? AnisotropicProperty(wire_left_right_name_, p.conductivity_z,
                                                           k_mold, p.conductivity_z, p.density,
                                                           p.specific_heat)
                                     : AnisotropicProperty(wire_left_right2_name_, k_mold,
                                                           p.conductivity_z, p.conductivity_z,
                                                           p.density, p.specific_heat));
    }
    return materials;
}

}  // namespace pkg::qfp
