#include "models/part_rules.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "resources/string_ids.h"

namespace pkg {

namespace r = resources;

namespace {

// Runs the rules in order and keeps the first one broken. Each check returns whether its
// rule holds, so a chain of them joined by && stops at the first failure.
class Rules {
public:
    // Greater than 0: NaN and every negative value, -0 included, fail.
    bool Positive(double v, std::uint32_t name, int layer = -1) {
        return v > 0.0 || Fail(r::IDS_SPECIFY_GREATER_THAN_ZERO, name, layer);
    }
    bool Length(double v, std::uint32_t name, int layer = -1) {
        return Positive(v, name, layer) &&
               (v <= kMaxPartLength || Fail(r::IDS_RULE_LENGTH_AT_MOST, name, layer));
    }
    bool Conductivity(double v, std::uint32_t name) {
        return Positive(v, name) && (std::isfinite(v) || Fail(r::IDS_RULE_FINITE, name));
    }
    bool Count(std::int32_t v, std::uint32_t name) {
        return v > 0 || Fail(r::IDS_SPECIFY_GREATER_THAN_ZERO, name);
    }
    bool Ratio(double v, std::uint32_t name, int layer) {
        return (v >= 0.0 && v <= 1.0) || Fail(r::IDS_RULE_RATIO, name, layer);
    }
    // A named dimension with no string of its own (an outline symbol).
    bool LengthNamed(double v, const std::wstring& literal) {
        if (v > 0.0 && v <= kMaxPartLength) return true;
        violation_ = {v > 0.0 ? r::IDS_RULE_LENGTH_AT_MOST : r::IDS_SPECIFY_GREATER_THAN_ZERO, 0,
                      literal, -1};
        return false;
    }
    // Size, thickness and conductivity of a mold, as every family checks them first.
    bool MoldBlock(const Mold& m) {
        return Length(m.size.x, r::IDS_CHECK_MOLD_SIZE_X) &&
               Length(m.size.y, r::IDS_CHECK_MOLD_SIZE_Y) &&
               Length(m.thickness, r::IDS_CHECK_MOLD_THICKNESS) &&
               Conductivity(m.thermal_conductivity, r::IDS_CHECK_MOLD_CONDUCTIVITY);
    }
    bool LayerCount(std::int32_t v, std::uint32_t name) {
        return (v >= 0 && v <= bga::BGA::kMaxLayers) || Fail(r::IDS_RULE_LAYER_COUNT, name, -1);
    }
    bool Holds(bool rule, std::uint32_t message) { return rule || Fail(message, 0, -1); }

    RuleViolation Result() const { return violation_; }

private:
    bool Fail(std::uint32_t message, std::uint32_t name, int layer = -1) {
        violation_ = {message, name, std::wstring(), layer};
        return false;
    }

    RuleViolation violation_;
};

// The extent of `count` equal solids at `pitch` on one line: (count - 1) pitch + width.
double RowExtent(std::int32_t count, double pitch, double width) {
    return (static_cast<double>(count) - 1.0) * pitch + width;
}

bool Inside(const XY& inner, const XY& outer) {
    return inner.x <= outer.x && inner.y <= outer.y;
}

}  // namespace

RuleViolation CheckQFPRules(const QFPRuleInput& p) {
    Rules c;
    const auto& lead = p.lead;
    const auto& outer = p.outer_lead;
    const bool bonded = p.composition.bonded_part;
    const bool wire = p.composition.wire;
    const bool suspension = p.composition.suspension;
    const bool holds =
        c.MoldBlock(p.mold) &&
        c.Length(lead.width, r::IDS_CHECK_LEAD_WIDTH) &&
        c.Length(lead.pitch, r::IDS_CHECK_LEAD_PITCH) &&
        c.Conductivity(lead.thermal_conductivity, r::IDS_CHECK_LEAD_CONDUCTIVITY) &&
        c.Length(lead.thickness, r::IDS_CHECK_LEAD_THICKNESS) &&
        c.Count(lead.number_of_xmin_xmax_lead, r::IDS_CHECK_LEAD_COUNT_X) &&
        (!p.four_sided || c.Count(lead.number_of_ymin_ymax_lead, r::IDS_CHECK_LEAD_COUNT_Y)) &&
        c.Length(outer.length, r::IDS_CHECK_OUTER_LEAD_LENGTH) &&
        c.Length(outer.stand_off, r::IDS_CHECK_OUTER_LEAD_STAND_OFF) &&
        c.Length(outer.length_of_mouting_area, r::IDS_CHECK_MOUNTING_LENGTH) &&
        c.Length(outer.height_from_bottom_of_mold, r::IDS_CHECK_HEIGHT_FROM_MOLD_BOTTOM) &&
        c.Length(p.chip.size.x, r::IDS_CHECK_CHIP_SIZE_X) &&
        c.Length(p.chip.size.y, r::IDS_CHECK_CHIP_SIZE_Y) &&
        c.Length(p.chip.thickness, r::IDS_CHECK_CHIP_THICKNESS) &&
        c.Conductivity(p.chip.thermal_conductivity, r::IDS_CHECK_CHIP_CONDUCTIVITY) &&
        c.Length(p.die_pad.size.x, r::IDS_CHECK_DIE_PAD_SIZE_X) &&
        c.Length(p.die_pad.size.y, r::IDS_CHECK_DIE_PAD_SIZE_Y) &&
        c.Length(p.die_pad.depress, r::IDS_CHECK_DIE_PAD_DEPRESS) &&
        (!bonded || c.Length(p.bonded_part.thickness, r::IDS_CHECK_DIE_BONDING_THICKNESS)) &&
        (!bonded || c.Conductivity(p.bonded_part.thermal_conductivity,
                                   r::IDS_CHECK_DIE_BONDING_CONDUCTIVITY)) &&
        c.Length(p.inner_lead.offset, r::IDS_CHECK_INNER_LEAD_OFFSET) &&
        (!wire || c.Length(p.wire.diameter, r::IDS_CHECK_WIRE_DIAMETER)) &&
        (!wire || c.Conductivity(p.wire.thermal_conductivity, r::IDS_CHECK_WIRE_CONDUCTIVITY)) &&
        (!suspension ||
         c.Length(p.suspension_lead.width, r::IDS_CHECK_SUSPENSION_LEAD_WIDTH)) &&
        // The chip sits on the die pad, the die pad inside the mold.
        c.Holds(Inside(p.chip.size, p.die_pad.size), r::IDS_RULE_CHIP_ON_DIE_PAD) &&
        c.Holds(Inside(p.die_pad.size, p.mold.size), r::IDS_RULE_DIE_PAD_IN_MOLD) &&
        // The leads of a side are centred on it: the Xmin/Xmax leads run along y.
        c.Holds(lead.pitch >= lead.width, r::IDS_RULE_LEAD_PITCH) &&
        c.Holds(RowExtent(lead.number_of_xmin_xmax_lead, lead.pitch, lead.width) <=
                    p.mold.size.y,
                r::IDS_RULE_LEADS_X_FIT) &&
        (!p.four_sided ||
         c.Holds(RowExtent(lead.number_of_ymin_ymax_lead, lead.pitch, lead.width) <=
                     p.mold.size.x,
                 r::IDS_RULE_LEADS_Y_FIT));
    return holds ? RuleViolation() : c.Result();
}

RuleViolation CheckBGARules(const BGARuleInput& p) {
    Rules c;
    const bool pbga = !p.fcbga;
    const auto& board = p.board;
    const auto& ball = p.solder_ball;
    const auto& via = p.via;
    const bool bonded = pbga && p.composition.bonded_part;
    const bool wire = pbga && p.composition.wire;

    bool ok =
        c.MoldBlock(p.mold) &&
        c.Length(p.chip.size.x, r::IDS_CHECK_CHIP_SIZE_X) &&
        c.Length(p.chip.size.y, r::IDS_CHECK_CHIP_SIZE_Y) &&
        c.Length(p.chip.thickness, r::IDS_CHECK_CHIP_THICKNESS) &&
        (!bonded || c.Conductivity(p.bonded_part.thermal_conductivity,
                                   r::IDS_CHECK_DIE_BONDING_CONDUCTIVITY)) &&
        (!bonded || c.Length(p.bonded_part.thickness, r::IDS_CHECK_DIE_BONDING_THICKNESS)) &&
        (!wire || c.Length(p.wire.diameter, r::IDS_CHECK_WIRE_DIAMETER)) &&
        (!wire || c.Conductivity(p.wire.thermal_conductivity, r::IDS_CHECK_WIRE_CONDUCTIVITY)) &&
        // The wire lengths span the gap between the chip and the first layer's wiring area.
        (!wire || c.Holds(p.wire.length.x > 0.0 && p.wire.length.y > 0.0,
                          r::IDS_WIRE_AREA_OVERLAPS_CHIP)) &&
        (!wire || c.Count(p.wire.number.y, r::IDS_CHECK_WIRES_TOP_BOTTOM)) &&
        (!wire || c.Count(p.wire.number.x, r::IDS_CHECK_WIRES_LEFT_RIGHT)) &&
        c.Conductivity(p.chip.thermal_conductivity, r::IDS_CHECK_CHIP_CONDUCTIVITY) &&
        (pbga || (c.Length(p.bump.thickness, r::IDS_NAME_BUMP_THICKNESS) &&
                  c.Length(p.bump.diameter, r::IDS_NAME_BUMP_DIAMETER) &&
                  c.Count(p.bump.number, r::IDS_NAME_BUMP_NUMBER) &&
                  c.Conductivity(p.bump.bump_thermal_conductivity,
                                 r::IDS_NAME_BUMP_CONDUCTIVITY) &&
                  c.Conductivity(p.bump.ufil_thermal_conductivity,
                                 r::IDS_NAME_UNDERFILL_CONDUCTIVITY))) &&
        c.Length(board.size.x, r::IDS_NAME_BOARD_SIZE_X) &&
        c.Length(board.size.y, r::IDS_NAME_BOARD_SIZE_Y) &&
        (!pbga || (c.Length(board.land_size.x, r::IDS_NAME_LAND_SIZE_X) &&
                   c.Length(board.land_size.y, r::IDS_NAME_LAND_SIZE_Y) &&
                   c.Length(board.wiring_area_size.x, r::IDS_NAME_WIRING_AREA_X) &&
                   c.Length(board.wiring_area_size.y, r::IDS_NAME_WIRING_AREA_Y))) &&
        // No wiring layer at all is a bare board, which the model builds.
        c.LayerCount(board.number_of_layer, r::IDS_NAME_WIRING_LAYERS) &&
        c.Conductivity(board.thermal_conductivity_board, r::IDS_NAME_BOARD_CONDUCTIVITY) &&
        c.Conductivity(board.thermal_conductivity_wiring, r::IDS_NAME_WIRING_CONDUCTIVITY);
    const int layers = ok ? board.number_of_layer : 0;
    for (int i = 0; ok && i < layers; ++i) {
        ok = c.Length(board.thick_of_wiringlayer[i], r::IDS_NAME_WIRING_LAYER, i) &&
             c.Ratio(board.ratio_of_wiring[i], r::IDS_NAME_COPPER_COVERAGE, i) &&
             (i + 1 == layers || c.Length(board.thick_of_boardlayer[i], r::IDS_NAME_BOARD_LAYER, i));
    }
    const int layout = ball.layout;
    const auto& all = ball.number_all;
    const auto& out = ball.number_out;
    const auto& centre = ball.number_center;
    ok = ok &&
         (!p.composition.via ||
          (c.Length(via.outer_diameter, r::IDS_NAME_VIA_DIAMETER) &&
           c.Length(via.thick_of_coat, r::IDS_NAME_VIA_COATING) &&
           c.Length(via.pitch, r::IDS_NAME_VIA_PITCH) &&
           c.Count(via.number.x, r::IDS_NAME_VIA_LINES_X) &&
           c.Count(via.number.y, r::IDS_NAME_VIA_LINES_Y) &&
           c.Conductivity(via.thermal_conductivity, r::IDS_NAME_VIA_CONDUCTIVITY) &&
           c.Holds(2.0 * via.thick_of_coat <= via.outer_diameter, r::IDS_RULE_VIA_COATING) &&
           c.Holds(via.pitch >= via.outer_diameter, r::IDS_RULE_VIA_PITCH) &&
           c.Holds(RowExtent(via.number.x, via.pitch, via.outer_diameter) <= board.size.x &&
                       RowExtent(via.number.y, via.pitch, via.outer_diameter) <= board.size.y,
                   r::IDS_RULE_VIAS_FIT))) &&
         c.Length(ball.diameter, r::IDS_NAME_BALL_DIAMETER) &&
         c.Length(ball.pitch, r::IDS_NAME_BALL_PITCH) &&
         c.Length(ball.height, r::IDS_NAME_BALL_HEIGHT) &&
         c.Conductivity(ball.thermal_conductivity, r::IDS_NAME_BALL_CONDUCTIVITY) &&
         c.Count(all.x, r::IDS_NAME_ALL_LINES_X) && c.Count(all.y, r::IDS_NAME_ALL_LINES_Y) &&
         (layout < 1 || (c.Count(out.x, r::IDS_NAME_OUTER_LINES_X) &&
                         c.Count(out.y, r::IDS_NAME_OUTER_LINES_Y))) &&
         (layout != 2 || (c.Count(centre.x, r::IDS_NAME_CENTER_LINES_X) &&
                          c.Count(centre.y, r::IDS_NAME_CENTER_LINES_Y))) &&
         // The centre block lies in the hole the outer rings leave.
         (layout < 1 ||
          c.Holds(2 * static_cast<std::int64_t>(out.x) <= all.x &&
                      2 * static_cast<std::int64_t>(out.y) <= all.y &&
                      (layout != 2 || (centre.x <= all.x - 2 * out.x &&
                                       centre.y <= all.y - 2 * out.y)),
                  r::IDS_RULE_BALL_LINES)) &&
         c.Holds(ball.pitch >= ball.diameter, r::IDS_RULE_BALL_PITCH) &&
         c.Holds(RowExtent(all.x, ball.pitch, ball.diameter) <= board.size.x &&
                     RowExtent(all.y, ball.pitch, ball.diameter) <= board.size.y,
                 r::IDS_RULE_BALLS_FIT) &&
         c.Holds(Inside(p.mold.size, board.size), r::IDS_RULE_MOLD_ON_BOARD) &&
         c.Holds(Inside(p.chip.size, p.mold.size), r::IDS_RULE_CHIP_IN_MOLD) &&
         (!pbga || c.Holds(Inside(board.land_size, board.size) &&
                               2.0 * board.wiring_area_size.x <= board.size.x &&
                               2.0 * board.wiring_area_size.y <= board.size.y,
                           r::IDS_RULE_LAND_ON_BOARD));
    return ok ? RuleViolation() : c.Result();
}

RuleViolation CheckPowerDeviceRules(const PowerDeviceRuleInput& p) {
    Rules c;
    for (const auto& field : pdevice::PowerDevice::OuterShapeFields()) {
        const auto used = std::find_if(p.symbols.begin(), p.symbols.end(),
                                       [&](const auto& s) { return s.field == field.field; });
        if (used == p.symbols.end()) continue;
        if (!c.LengthNamed(p.outer_shape_param.*field.field, used->symbol)) return c.Result();
    }
    const auto& inner = p.inner_shape_param;
    const auto& m = p.property;
    const bool holds =
        c.Length(inner.offset, r::IDS_CHECK_OFFSET) &&
        c.Length(inner.inner_lead, r::IDS_CHECK_INNER_LEAD) &&
        c.Length(p.chip.size.x, r::IDS_CHECK_CHIP_SIZE_X) &&
        c.Length(p.chip.size.y, r::IDS_CHECK_CHIP_SIZE_Y) &&
        (!p.has_die_pad || (c.Length(inner.diepad_x, r::IDS_CHECK_DIE_PAD_SIZE_X) &&
                            c.Length(inner.diepad_y, r::IDS_CHECK_DIE_PAD_SIZE_Y))) &&
        c.Length(p.bond.thickness, r::IDS_CHECK_DIE_BONDING_THICKNESS) &&
        c.Length(p.chip.thickness, r::IDS_CHECK_CHIP_THICKNESS) &&
        c.Conductivity(m.mold_thermal_conductivity, r::IDS_CHECK_MOLD_CONDUCTIVITY) &&
        c.Conductivity(m.lead_thermal_conductivity, r::IDS_CHECK_LEAD_CONDUCTIVITY) &&
        c.Conductivity(m.plate_thermal_conductivity, r::IDS_NAME_PLATE_CONDUCTIVITY) &&
        c.Conductivity(p.chip.thermal_conductivity, r::IDS_CHECK_CHIP_CONDUCTIVITY) &&
        c.Conductivity(p.bond.thermal_conductivity, r::IDS_CHECK_DIE_BONDING_CONDUCTIVITY) &&
        (!p.has_die_pad ||
         (c.Conductivity(m.diepad_thermal_conductivity, r::IDS_NAME_DIE_PAD_CONDUCTIVITY) &&
          c.Holds(p.chip.size.x <= inner.diepad_x && p.chip.size.y <= inner.diepad_y,
                  r::IDS_RULE_CHIP_ON_DIE_PAD)));
    return holds ? RuleViolation() : c.Result();
}

RuleViolation CheckPackageRules(const SemiconductorPackage& package) {
    if (const auto* q = dynamic_cast<const qfp::QFP*>(&package)) {
        return CheckQFPRules({q->mold, q->lead, q->outer_lead, q->chip, q->die_pad,
                              q->bonded_part, q->inner_lead, q->wire, q->suspension_lead,
                              q->composition, !q->IsSOP()});
    }
    if (const auto* b = dynamic_cast<const bga::BGA*>(&package)) {
        return CheckBGARules({b->mold, b->chip, b->bonded_part, b->bump, b->wire, b->board,
                              b->via, b->solder_ball, b->composition, b->IsFCBGA()});
    }
    if (const auto* d = dynamic_cast<const pdevice::PowerDevice*>(&package)) {
        return CheckPowerDeviceRules({d->inner_shape_param, d->outer_shape_param, d->chip,
                                      d->bond, d->property, d->OutlineSymbols(),
                                      std::string(d->TypeName()) == "SOT-223"});
    }
    return {};
}

}  // namespace pkg
