#include "models/part_rules.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "models/bga/bga_simplified_model.h"
#include "models/detailed_model.h"
#include "models/package_types.h"
#include "models/qfp/qfp_simplified_model.h"
#include "resources/string_ids.h"

namespace pkg {

namespace r = resources;

// The texts of these rules state the bounds in words.
static_assert(kMinConductivity == 0.001 && kMaxConductivity == 5000.0,
              "IDS_RULE_CONDUCTIVITY_RANGE states the bounds");
static_assert(bga::BGA::kMaxCountPerAxis == 500, "IDS_RULE_BALL_COUNT_AT_MOST states the bound");
static_assert(qfp::QFP::kMaxLeadsPerSide == 1000, "IDS_RULE_LEAD_COUNT_AT_MOST states the bound");

namespace {

constexpr double kPi = 3.14159265358979323846;

// Slack for comparing block faces computed by different sums of the same lengths (mm).
constexpr double kFaceSlack = 1e-9;

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
    bool Finite(double v, std::uint32_t name) {
        return std::isfinite(v) || Fail(r::IDS_RULE_FINITE, name);
    }
    bool Conductivity(double v, std::uint32_t name) {
        return Positive(v, name) && Finite(v, name) &&
               ((v >= kMinConductivity && v <= kMaxConductivity) ||
                Fail(r::IDS_RULE_CONDUCTIVITY_RANGE, name));
    }
    // Density and specific heat of one material.
    bool Material(double density, std::uint32_t density_name, double specific_heat,
                  std::uint32_t specific_heat_name) {
        return Positive(density, density_name) && Finite(density, density_name) &&
               Positive(specific_heat, specific_heat_name) &&
               Finite(specific_heat, specific_heat_name);
    }
    // The heat generated in the chip, W: none is a part at rest, never less.
    bool Heat(double v) {
        return (v >= 0.0 || Fail(r::IDS_RULE_NOT_NEGATIVE, r::IDS_NAME_RATE_OF_HEATING)) &&
               Finite(v, r::IDS_NAME_RATE_OF_HEATING);
    }
    // Density, specific heat and heat of the parts every family shares.
    bool MoldValues(const Mold& m) {
        return Material(m.density, r::IDS_NAME_DENSITY_MOLD, m.specific_heat,
                        r::IDS_NAME_SPECIFIC_HEAT_MOLD);
    }
    bool ChipValues(const Chip& chip) {
        return Material(chip.density, r::IDS_NAME_DENSITY_CHIP, chip.specific_heat,
                        r::IDS_NAME_SPECIFIC_HEAT_CHIP) &&
               Heat(chip.rate_of_heating);
    }
    bool BondValues(const BondedPart& b) {
        return Material(b.density, r::IDS_NAME_DENSITY_DIE_BONDING, b.specific_heat,
                        r::IDS_NAME_SPECIFIC_HEAT_DIE_BONDING);
    }
    template <class Wire>
    bool WireValues(const Wire& w) {
        return Material(w.density, r::IDS_NAME_DENSITY_WIRE, w.specific_heat,
                        r::IDS_NAME_SPECIFIC_HEAT_WIRE);
    }
    bool Count(std::int32_t v, std::uint32_t name) {
        return v > 0 || Fail(r::IDS_SPECIFY_GREATER_THAN_ZERO, name);
    }
    // A count above 0 and at most `most`, the largest the model builds; `at_most` says it.
    bool CountAtMost(std::int32_t v, std::int32_t most, std::uint32_t at_most,
                     std::uint32_t name) {
        return Count(v, name) && (v <= most || Fail(at_most, name));
    }
    bool BallCount(std::int32_t v, std::uint32_t name) {
        return CountAtMost(v, bga::BGA::kMaxCountPerAxis, r::IDS_RULE_BALL_COUNT_AT_MOST, name);
    }
    bool Listed(bool listed, std::uint32_t name) {
        return listed || Fail(r::IDS_RULE_LISTED_CHOICE, name);
    }
    // A mixed material's share of its filler.
    bool Fraction(double f, std::uint32_t message) {
        return (f >= 0.0 && f <= 1.0) || Fail(message, 0);
    }
    bool Block(const NamedCuboid& b) {
        if (b.box.dx > 0.0 && b.box.dy > 0.0 && b.box.dz > 0.0 && b.box.z >= -kFaceSlack) {
            return true;
        }
        violation_ = {r::IDS_RULE_BLOCK_EMPTY, 0,
                      std::wstring(b.part_name.begin(), b.part_name.end()), -1};
        return false;
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
    // The layer tables hold kMaxLayers layers, and a board has at least one.
    bool LayerCount(std::int32_t v, std::uint32_t name) {
        return (v >= 1 && v <= bga::BGA::kMaxLayers) || Fail(r::IDS_RULE_LAYER_COUNT, name, -1);
    }
    bool Holds(bool rule, std::uint32_t message, std::uint32_t name = 0) {
        return rule || Fail(message, name, -1);
    }

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

// Whether block `inner` lies within `outer` across (x) and along (y) the package.
bool FootprintInside(const Cuboid& inner, const Cuboid& outer) {
    return inner.x >= outer.x - kFaceSlack &&
           inner.x + inner.dx <= outer.x + outer.dx + kFaceSlack &&
           inner.y >= outer.y - kFaceSlack &&
           inner.y + inner.dy <= outer.y + outer.dy + kFaceSlack;
}

bool TopWithin(const Cuboid& inner, const Cuboid& outer) {
    return inner.z + inner.dz <= outer.z + outer.dz + kFaceSlack;
}

// The blocks of the group `name` of a built model; empty when it has no such group.
std::vector<NamedCuboid> GroupBlocks(const Group& root, const wchar_t* name) {
    for (const auto& child : root.children) {
        if (child->name == name) return child->cuboids;
    }
    return {};
}

// A lead-frame part's fill fractions as its models compute them: the wire regions' share
// of wire and, in a QFP's simplified model, each side's inner-lead fan's share of lead.
RuleViolation CheckQFPFractions(const QFPRuleInput& p) {
    qfp::QFPSimplifiedModel m(!p.four_sided);
    m.mold = p.mold;
    m.lead = p.lead;
    m.outer_lead = p.outer_lead;
    m.chip = p.chip;
    m.die_pad = p.die_pad;
    m.die_pad.thickness = p.lead.thickness;
    m.bonded_part = p.bonded_part;
    m.inner_lead = p.inner_lead;
    m.wire = p.wire;
    m.suspension_lead = p.suspension_lead;
    m.composition = p.composition;
    if (!p.four_sided) m.lead.number_of_ymin_ymax_lead = 0;
    Rules c;
    bool ok = true;
    if (p.composition.wire) {
        for (double f : m.WireFractions()) ok = ok && c.Fraction(f, r::IDS_RULE_WIRES_FILL);
    }
    // A SOP's inner leads take the share of their row, which the lead pitch bounds.
    ok = ok && (!p.four_sided || (c.Fraction(m.FanFraction(true), r::IDS_RULE_INNER_LEADS_FILL) &&
                                  c.Fraction(m.FanFraction(false), r::IDS_RULE_INNER_LEADS_FILL)));
    return ok ? RuleViolation() : c.Result();
}

// A power device is a few blocks whose places its model alone knows: the rules build it
// and look at the blocks. Each solid has a size and lies above the board; the chip sits
// on its plate or die pad, all of it inside the mold's outline and below its top; plate,
// die pad and leads stay within the mold's width and height, the plate starts and the
// leads end inside the mold.
RuleViolation CheckPowerDeviceGeometry(const PowerDeviceRuleInput& p) {
    const PackageType* type = FindPackageTypeByTypeName(p.type_name);
    const std::shared_ptr<SemiconductorPackage> made = type ? type->make_sample() : nullptr;
    auto* device = dynamic_cast<pdevice::PowerDevice*>(made.get());
    auto* model = dynamic_cast<DetailedModel*>(made.get());
    if (device == nullptr || model == nullptr) return {};
    device->inner_shape_param = p.inner_shape_param;
    device->outer_shape_param = p.outer_shape_param;
    device->chip = p.chip;
    device->bond = p.bond;
    device->composition = p.composition;
    device->property = p.property;
    model->Build();

    const std::vector<NamedCuboid> molds = GroupBlocks(model->root, L"mold_group");
    const std::vector<NamedCuboid> plates = GroupBlocks(model->root, L"plate_group");
    const std::vector<NamedCuboid> pads = GroupBlocks(model->root, L"diepad_group");
    const std::vector<NamedCuboid> chips = GroupBlocks(model->root, L"chip_group");
    const std::vector<NamedCuboid> leads = GroupBlocks(model->root, L"lead_group");
    if (molds.size() != 1 || chips.size() != 1) return {};
    const Cuboid& mold = molds[0].box;
    const Cuboid& chip = chips[0].box;

    Rules c;
    // A lead type outside the device's list builds no lead at all.
    if (!c.Listed(!leads.empty(), r::IDS_PROP_VARIATION)) return c.Result();
    for (const auto& child : model->root.children) {
        for (const NamedCuboid& block : child->cuboids) {
            if (!c.Block(block)) return c.Result();
        }
    }
    const std::vector<NamedCuboid>& carriers = pads.empty() ? plates : pads;
    const bool carried = std::any_of(carriers.begin(), carriers.end(), [&](const NamedCuboid& b) {
        return FootprintInside(chip, b.box);
    });
    const auto within_mold = [&](const NamedCuboid& b) {
        return b.box.x >= mold.x - kFaceSlack &&
               b.box.x + b.box.dx <= mold.x + mold.dx + kFaceSlack && TopWithin(b.box, mold);
    };
    const bool plates_in = std::all_of(plates.begin(), plates.end(), [&](const NamedCuboid& b) {
        return within_mold(b) && b.box.y >= mold.y - kFaceSlack;
    });
    const bool leads_in = std::all_of(leads.begin(), leads.end(), [&](const NamedCuboid& b) {
        return within_mold(b) && b.box.y + b.box.dy <= mold.y + mold.dy + kFaceSlack;
    });
    const bool holds =
        std::all_of(pads.begin(), pads.end(),
                    [&](const NamedCuboid& b) {
                        return c.Holds(FootprintInside(b.box, mold) && TopWithin(b.box, mold),
                                       r::IDS_RULE_DIE_PAD_IN_MOLD);
                    }) &&
        c.Holds(carried, pads.empty() ? r::IDS_RULE_CHIP_ON_PLATE
                                      : r::IDS_RULE_CHIP_ON_DIE_PAD_PLACE) &&
        c.Holds(FootprintInside(chip, mold), r::IDS_RULE_CHIP_IN_BODY) &&
        c.Holds(TopWithin(chip, mold), r::IDS_RULE_CHIP_IN_MOLD_HEIGHT) &&
        c.Holds(plates_in, r::IDS_RULE_PLATE_IN_MOLD) &&
        c.Holds(leads_in, r::IDS_RULE_LEADS_IN_BODY);
    return holds ? RuleViolation() : c.Result();
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
        c.CountAtMost(lead.number_of_xmin_xmax_lead, qfp::QFP::kMaxLeadsPerSide,
                      r::IDS_RULE_LEAD_COUNT_AT_MOST, r::IDS_CHECK_LEAD_COUNT_X) &&
        (!p.four_sided ||
         c.CountAtMost(lead.number_of_ymin_ymax_lead, qfp::QFP::kMaxLeadsPerSide,
                       r::IDS_RULE_LEAD_COUNT_AT_MOST, r::IDS_CHECK_LEAD_COUNT_Y)) &&
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
        c.MoldValues(p.mold) &&
        c.Material(lead.density, r::IDS_NAME_DENSITY_LEAD, lead.specific_heat,
                   r::IDS_NAME_SPECIFIC_HEAT_LEAD) &&
        c.ChipValues(p.chip) && (!bonded || c.BondValues(p.bonded_part)) &&
        (!wire || c.WireValues(p.wire)) &&
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
                 r::IDS_RULE_LEADS_Y_FIT)) &&
        // A gull wing: the foot holds the riser, the shoulder runs on to the mold edge.
        c.Holds(lead.thickness <= outer.length_of_mouting_area &&
                    outer.length_of_mouting_area < outer.length,
                r::IDS_RULE_OUTER_LEAD_SHAPE) &&
        // Heights above the mold's bottom: the lead frame leaves the mold at
        // height_from_bottom_of_mold, the die pad (as thick as the lead frame) lies depress
        // lower, and die attach and chip stack on it.
        c.Holds(outer.height_from_bottom_of_mold + lead.thickness <= p.mold.thickness,
                r::IDS_RULE_LEADS_IN_MOLD_HEIGHT) &&
        c.Holds(p.die_pad.depress <= outer.height_from_bottom_of_mold,
                r::IDS_RULE_DIE_PAD_ABOVE_MOLD_BOTTOM) &&
        c.Holds(outer.height_from_bottom_of_mold - p.die_pad.depress + lead.thickness +
                        (bonded ? p.bonded_part.thickness : 0.0) + p.chip.thickness <=
                    p.mold.thickness,
                r::IDS_RULE_CHIP_IN_MOLD_HEIGHT) &&
        (!suspension ||
         c.Holds(p.suspension_lead.width <= std::min(p.die_pad.size.x, p.die_pad.size.y),
                 r::IDS_RULE_SUSPENSION_ON_DIE_PAD)) &&
        (!wire || c.Holds(p.wire.diameter <= p.chip.thickness, r::IDS_RULE_WIRE_WITHIN_CHIP)) &&
        // The inner leads run from the mold edge to their tips offset beside the die pad.
        c.Holds(p.die_pad.size.x + 2.0 * p.inner_lead.offset < p.mold.size.x &&
                    p.die_pad.size.y + 2.0 * p.inner_lead.offset < p.mold.size.y,
                r::IDS_RULE_INNER_LEADS_IN_MOLD);
    return holds ? CheckQFPFractions(p) : c.Result();
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
                                 r::IDS_NAME_UNDERFILL_CONDUCTIVITY) &&
                  c.Material(p.bump.bump_density, r::IDS_NAME_DENSITY_BUMP,
                             p.bump.bump_specific_heat, r::IDS_NAME_SPECIFIC_HEAT_BUMP) &&
                  c.Material(p.bump.ufil_density, r::IDS_NAME_DENSITY_UNDERFILL,
                             p.bump.ufil_specific_heat, r::IDS_NAME_SPECIFIC_HEAT_UNDERFILL))) &&
        c.Length(board.size.x, r::IDS_NAME_BOARD_SIZE_X) &&
        c.Length(board.size.y, r::IDS_NAME_BOARD_SIZE_Y) &&
        (!pbga || (c.Length(board.land_size.x, r::IDS_NAME_LAND_SIZE_X) &&
                   c.Length(board.land_size.y, r::IDS_NAME_LAND_SIZE_Y) &&
                   c.Length(board.wiring_area_size.x, r::IDS_NAME_WIRING_AREA_X) &&
                   c.Length(board.wiring_area_size.y, r::IDS_NAME_WIRING_AREA_Y))) &&
        c.LayerCount(board.number_of_layer, r::IDS_NAME_WIRING_LAYERS) &&
        c.Conductivity(board.thermal_conductivity_board, r::IDS_NAME_BOARD_CONDUCTIVITY) &&
        c.Conductivity(board.thermal_conductivity_wiring, r::IDS_NAME_WIRING_CONDUCTIVITY) &&
        c.MoldValues(p.mold) && c.ChipValues(p.chip) &&
        (!bonded || c.BondValues(p.bonded_part)) && (!wire || c.WireValues(p.wire)) &&
        c.Material(board.density_board, r::IDS_NAME_DENSITY_BOARD, board.specific_heat_board,
                   r::IDS_NAME_SPECIFIC_HEAT_BOARD) &&
        c.Material(board.density_wiring, r::IDS_NAME_DENSITY_WIRING,
                   board.specific_heat_wiring, r::IDS_NAME_SPECIFIC_HEAT_WIRING);
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
           c.BallCount(via.number.x, r::IDS_NAME_VIA_LINES_X) &&
           c.BallCount(via.number.y, r::IDS_NAME_VIA_LINES_Y) &&
           c.Conductivity(via.thermal_conductivity, r::IDS_NAME_VIA_CONDUCTIVITY) &&
           c.Material(via.density, r::IDS_NAME_DENSITY_VIA, via.specific_heat,
                      r::IDS_NAME_SPECIFIC_HEAT_VIA) &&
           c.Holds(2.0 * via.thick_of_coat <= via.outer_diameter, r::IDS_RULE_VIA_COATING) &&
           c.Holds(via.pitch >= via.outer_diameter, r::IDS_RULE_VIA_PITCH) &&
           c.Holds(RowExtent(via.number.x, via.pitch, via.outer_diameter) <= board.size.x &&
                       RowExtent(via.number.y, via.pitch, via.outer_diameter) <= board.size.y,
                   r::IDS_RULE_VIAS_FIT))) &&
         c.Length(ball.diameter, r::IDS_NAME_BALL_DIAMETER) &&
         c.Length(ball.pitch, r::IDS_NAME_BALL_PITCH) &&
         c.Length(ball.height, r::IDS_NAME_BALL_HEIGHT) &&
         c.Conductivity(ball.thermal_conductivity, r::IDS_NAME_BALL_CONDUCTIVITY) &&
         c.Material(ball.density, r::IDS_NAME_DENSITY_BALL, ball.specific_heat,
                    r::IDS_NAME_SPECIFIC_HEAT_BALL) &&
         // 0 full matrix, 1 outer area, 2 outer and centre areas.
         c.Listed(layout >= 0 && layout <= 2, r::IDS_PROP_BALL_LAYOUT) &&
         c.BallCount(all.x, r::IDS_NAME_ALL_LINES_X) &&
         c.BallCount(all.y, r::IDS_NAME_ALL_LINES_Y) &&
         (layout < 1 || (c.BallCount(out.x, r::IDS_NAME_OUTER_LINES_X) &&
                         c.BallCount(out.y, r::IDS_NAME_OUTER_LINES_Y))) &&
         (layout != 2 || (c.BallCount(centre.x, r::IDS_NAME_CENTER_LINES_X) &&
                          c.BallCount(centre.y, r::IDS_NAME_CENTER_LINES_Y))) &&
         // The outer rings leave a depopulated centre, and the centre block lies in it.
         (layout < 1 ||
          c.Holds(2 * static_cast<std::int64_t>(out.x) < all.x &&
                      2 * static_cast<std::int64_t>(out.y) < all.y &&
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
                           r::IDS_RULE_LAND_ON_BOARD)) &&
         // The mold stands on the substrate's top; die attach or bumps and the chip within it.
         c.Holds((bonded ? p.bonded_part.thickness : 0.0) + (pbga ? 0.0 : p.bump.thickness) +
                         p.chip.thickness <=
                     p.mold.thickness,
                 r::IDS_RULE_CHIP_IN_MOLD_HEIGHT) &&
         // The bumps stand side by side under the chip.
         (pbga || c.Holds(p.bump.number * kPi * (p.bump.diameter * p.bump.diameter) / 4.0 <=
                              p.chip.size.x * p.chip.size.y,
                          r::IDS_RULE_BUMPS_FILL)) &&
         (!wire || c.Holds(p.wire.diameter <= p.chip.thickness, r::IDS_RULE_WIRE_WITHIN_CHIP)) &&
         // One wire's cross-section per wire across each fan, from chip edge to wire ring.
         (!wire ||
          c.Holds(p.wire.number.x * p.wire.diameter <= p.chip.size.y + p.wire.length.y &&
                      p.wire.number.y * p.wire.diameter <= p.chip.size.x + p.wire.length.x,
                  r::IDS_RULE_WIRES_FILL)) &&
         // The wires end at the first layer's wiring area and drop to it there, a wire's
         // diameter further out, all inside the mold. The lengths are what the wiring area
         // leaves between it and the chip, so the message names the wiring area.
         (!wire ||
          (c.Holds(p.chip.size.x + 2.0 * (p.wire.length.x + p.wire.diameter) <=
                       p.mold.size.x + kFaceSlack,
                   r::IDS_RULE_WIRES_IN_MOLD, r::IDS_NAME_WIRING_AREA_X) &&
           c.Holds(p.chip.size.y + 2.0 * (p.wire.length.y + p.wire.diameter) <=
                       p.mold.size.y + kFaceSlack,
                   r::IDS_RULE_WIRES_IN_MOLD, r::IDS_NAME_WIRING_AREA_Y)));
    if (ok && pbga) {
        bga::BGASimplifiedModel m(false);
        m.board = board;
        ok = c.Fraction(m.TopLayerSpreadRatio(), r::IDS_RULE_COPPER_SPREAD);
    }
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
    const bool has_die_pad = TypeNameHas(p.type_name, kOwnDiePad);
    const bool bonded = p.composition.bonded_part;
    const auto& inner = p.inner_shape_param;
    const auto& m = p.property;
    const bool holds =
        c.Length(inner.offset, r::IDS_CHECK_OFFSET) &&
        c.Length(inner.inner_lead, r::IDS_CHECK_INNER_LEAD) &&
        c.Length(p.chip.size.x, r::IDS_CHECK_CHIP_SIZE_X) &&
        c.Length(p.chip.size.y, r::IDS_CHECK_CHIP_SIZE_Y) &&
        (!has_die_pad || (c.Length(inner.diepad_x, r::IDS_CHECK_DIE_PAD_SIZE_X) &&
                          c.Length(inner.diepad_y, r::IDS_CHECK_DIE_PAD_SIZE_Y))) &&
        c.Length(p.bond.thickness, r::IDS_CHECK_DIE_BONDING_THICKNESS) &&
        c.Length(p.chip.thickness, r::IDS_CHECK_CHIP_THICKNESS) &&
        c.Conductivity(m.mold_thermal_conductivity, r::IDS_CHECK_MOLD_CONDUCTIVITY) &&
        c.Conductivity(m.lead_thermal_conductivity, r::IDS_CHECK_LEAD_CONDUCTIVITY) &&
        c.Conductivity(m.plate_thermal_conductivity, r::IDS_NAME_PLATE_CONDUCTIVITY) &&
        c.Conductivity(p.chip.thermal_conductivity, r::IDS_CHECK_CHIP_CONDUCTIVITY) &&
        c.Conductivity(p.bond.thermal_conductivity, r::IDS_CHECK_DIE_BONDING_CONDUCTIVITY) &&
        (!has_die_pad ||
         (c.Conductivity(m.diepad_thermal_conductivity, r::IDS_NAME_DIE_PAD_CONDUCTIVITY) &&
          c.Holds(p.chip.size.x <= inner.diepad_x && p.chip.size.y <= inner.diepad_y,
                  r::IDS_RULE_CHIP_ON_DIE_PAD))) &&
        c.Material(m.mold_density, r::IDS_NAME_DENSITY_MOLD, m.mold_specific_heat,
                   r::IDS_NAME_SPECIFIC_HEAT_MOLD) &&
        c.Material(m.lead_density, r::IDS_NAME_DENSITY_LEAD, m.lead_specific_heat,
                   r::IDS_NAME_SPECIFIC_HEAT_LEAD) &&
        c.Material(m.plate_density, r::IDS_NAME_DENSITY_PLATE, m.plate_specific_heat,
                   r::IDS_NAME_SPECIFIC_HEAT_PLATE) &&
        (!has_die_pad || c.Material(m.diepad_density, r::IDS_NAME_DENSITY_DIE_PAD,
                                    m.diepad_specific_heat, r::IDS_NAME_SPECIFIC_HEAT_DIE_PAD)) &&
        c.ChipValues(p.chip) && (!bonded || c.BondValues(p.bond)) &&
        c.Holds(p.outer_shape_param.e >= p.outer_shape_param.b, r::IDS_RULE_LEAD_PITCH);
    return holds ? CheckPowerDeviceGeometry(p) : c.Result();
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
                                      d->bond, d->property, d->composition,
                                      d->OutlineSymbols(), d->TypeName()});
    }
    return {};
}

}  // namespace pkg
