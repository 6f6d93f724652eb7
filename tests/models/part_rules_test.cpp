// The validity rules of the three families: one row per rule, each breaking one value of a
// default part, and the message it gives.
#include "models/part_rules.h"

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "models/part_loaders.h"
#include "resources/string_ids.h"
#include "tests/models/real_outlines.h"

namespace {

namespace r = resources;
using namespace real_outlines;

struct Row {
    int type;  // index into kPackageTypeNames
    std::function<void(pkg::SemiconductorPackage&)> change;
    std::uint32_t message;
    std::uint32_t name;
    int layer = -1;
    std::wstring literal = L"";
};

constexpr double kInf = std::numeric_limits<double>::infinity();
const std::uint32_t kPositive = r::IDS_SPECIFY_GREATER_THAN_ZERO;

TEST(PartRules, TheDefaultsOfEveryTypeHoldToEveryRule) {
    for (int type = 0; type < 10; ++type) {
        const auto part = pkg::MakeDefaultPackage(type);
        const pkg::RuleViolation broken = pkg::CheckPackageRules(*part);
        EXPECT_FALSE(broken) << pkg::kPackageTypeNames[type] << " message " << broken.message
                             << " name " << broken.name;
    }
}

TEST(PartRules, EachRuleGivesItsMessage) {
    const Row rows[] = {
        // Zero, negative zero, NaN, too long, infinite conductivity.
        {kQFP, [](auto& p) { Q(p).mold.thickness = -0.0; }, kPositive, r::IDS_CHECK_MOLD_THICKNESS},
        {kQFP, [](auto& p) { Q(p).mold.thermal_conductivity = 0; }, kPositive,
         r::IDS_CHECK_MOLD_CONDUCTIVITY},
        {kQFP, [](auto& p) { Q(p).lead.width = std::nan(""); }, kPositive, r::IDS_CHECK_LEAD_WIDTH},
        {kSOP, [](auto& p) { Q(p).mold.thickness = 1e300; }, r::IDS_RULE_LENGTH_AT_MOST,
         r::IDS_CHECK_MOLD_THICKNESS},
        {kQFP, [](auto& p) { Q(p).chip.thermal_conductivity = kInf; }, r::IDS_RULE_FINITE,
         r::IDS_CHECK_CHIP_CONDUCTIVITY},
        {kQFP, [](auto& p) { Q(p).lead.number_of_ymin_ymax_lead = 0; }, kPositive,
         r::IDS_CHECK_LEAD_COUNT_Y},
        // An SOP has no y-side leads, and switched-off parts are not looked at.
        {kSOP, [](auto& p) { Q(p).composition.wire = false; Q(p).wire.diameter = 0; }, 0, 0},
        {kQFP, [](auto& p) { Q(p).chip.size.x = 4.5; }, r::IDS_RULE_CHIP_ON_DIE_PAD, 0},
        {kQFP, [](auto& p) { Q(p).die_pad.size.y = 7.5; }, r::IDS_RULE_DIE_PAD_IN_MOLD, 0},
        {kQFP, [](auto& p) { Q(p).lead.width = 0.6; }, r::IDS_RULE_LEAD_PITCH, 0},
        {kSOP, [](auto& p) { Q(p).lead.number_of_xmin_xmax_lead = 23; }, r::IDS_RULE_LEADS_X_FIT, 0},
        {kQFP, [](auto& p) { Q(p).mold.size.x = 5.5; Q(p).die_pad.size.x = 4.4; },
         r::IDS_RULE_LEADS_Y_FIT, 0},
        // Ball grid arrays.
        {kPBGA, [](auto& p) { B(p).solder_ball.pitch = 0; }, kPositive, r::IDS_NAME_BALL_PITCH},
        {kPBGA, [](auto& p) { B(p).chip.thermal_conductivity = 0; }, kPositive,
         r::IDS_CHECK_CHIP_CONDUCTIVITY},
        {kPBGA, [](auto& p) { B(p).solder_ball.pitch = 0.4; }, r::IDS_RULE_BALL_PITCH, 0},
        {kPBGA, [](auto& p) { B(p).solder_ball.number_all.y = 22; }, r::IDS_RULE_BALLS_FIT, 0},
        {kPBGA, [](auto& p) { B(p).solder_ball.layout = 2; B(p).solder_ball.number_center.x = 15; },
         r::IDS_RULE_BALL_LINES, 0},
        {kPBGA, [](auto& p) { B(p).solder_ball.layout = 1; B(p).solder_ball.number_out.y = 0; },
         kPositive, r::IDS_NAME_OUTER_LINES_Y},
        {kPBGA, [](auto& p) { B(p).composition.via = true; B(p).via.pitch = 0.1; },
         r::IDS_RULE_VIA_PITCH, 0},
        {kPBGA, [](auto& p) { B(p).composition.via = true; B(p).via.number.x = 30; },
         r::IDS_RULE_VIAS_FIT, 0},
        {kPBGA, [](auto& p) { B(p).composition.via = true; B(p).via.thick_of_coat = 0.15; },
         r::IDS_RULE_VIA_COATING, 0},
        {kPBGA, [](auto& p) { B(p).mold.size.x = 22; }, r::IDS_RULE_MOLD_ON_BOARD, 0},
        {kFCBGA, [](auto& p) { B(p).chip.size.y = 20; B(p).mold.size.y = 19; },
         r::IDS_RULE_CHIP_IN_MOLD, 0},
        {kPBGA, [](auto& p) { B(p).board.land_size.x = 22; }, r::IDS_RULE_LAND_ON_BOARD, 0},
        {kPBGA, [](auto& p) { B(p).board.thick_of_wiringlayer[2] = 0; }, kPositive,
         r::IDS_NAME_WIRING_LAYER, 2},
        {kPBGA, [](auto& p) { B(p).board.ratio_of_wiring[0] = 1.5; }, r::IDS_RULE_RATIO,
         r::IDS_NAME_COPPER_COVERAGE, 0},
        {kPBGA, [](auto& p) { B(p).board.number_of_layer = 9; }, r::IDS_RULE_LAYER_COUNT,
         r::IDS_NAME_WIRING_LAYERS},
        // A part file of no layer can be saved but never read again.
        {kPBGA, [](auto& p) { B(p).board.number_of_layer = 0; }, r::IDS_RULE_LAYER_COUNT,
         r::IDS_NAME_WIRING_LAYERS},
        // The layers past the count are not looked at.
        {kPBGA,
         [](auto& p) { B(p).board.number_of_layer = 2; B(p).board.thick_of_wiringlayer[2] = 0; },
         0, 0},
        {kPBGA, [](auto& p) { B(p).composition.wire = true; B(p).wire.length.x = 0; },
         r::IDS_WIRE_AREA_OVERLAPS_CHIP, 0},
        {kFCBGA, [](auto& p) { B(p).bump.number = 0; }, kPositive, r::IDS_NAME_BUMP_NUMBER},
        // Power devices: an outline symbol is named by itself.
        {kTO220, [](auto& p) { D(p).outer_shape_param.D = 0; }, kPositive, 0, -1, L"D"},
        {kTO220, [](auto& p) { D(p).property.plate_thermal_conductivity = -1; }, kPositive,
         r::IDS_NAME_PLATE_CONDUCTIVITY},
        {kSOT223, [](auto& p) { D(p).chip.size.x = D(p).inner_shape_param.diepad_x + 0.1; },
         r::IDS_RULE_CHIP_ON_DIE_PAD, 0},
        // Material values within what real materials have; none of the chip's heat is fine.
        {kQFP, [](auto& p) { Q(p).mold.thermal_conductivity = 1e4; },
         r::IDS_RULE_CONDUCTIVITY_RANGE, r::IDS_CHECK_MOLD_CONDUCTIVITY},
        {kTO220, [](auto& p) { D(p).property.lead_thermal_conductivity = 1e-4; },
         r::IDS_RULE_CONDUCTIVITY_RANGE, r::IDS_CHECK_LEAD_CONDUCTIVITY},
        // From still air to diamond, both bounds included.
        {kQFP, [](auto& p) { Q(p).mold.thermal_conductivity = 0.026; }, 0, 0},
        {kQFP, [](auto& p) { Q(p).chip.thermal_conductivity = 2000; }, 0, 0},
        {kPBGA, [](auto& p) { B(p).board.thermal_conductivity_board = 0.001; }, 0, 0},
        {kPBGA, [](auto& p) { B(p).solder_ball.thermal_conductivity = 5000; }, 0, 0},
        {kPBGA,
         [](auto& p) { B(p).board.thermal_conductivity_board = std::nextafter(0.001, 0.0); },
         r::IDS_RULE_CONDUCTIVITY_RANGE, r::IDS_NAME_BOARD_CONDUCTIVITY},
        {kPBGA,
         [](auto& p) { B(p).solder_ball.thermal_conductivity = std::nextafter(5000.0, kInf); },
         r::IDS_RULE_CONDUCTIVITY_RANGE, r::IDS_NAME_BALL_CONDUCTIVITY},
        {kQFP, [](auto& p) { Q(p).wire.density = 0; }, kPositive, r::IDS_NAME_DENSITY_WIRE},
        {kPBGA, [](auto& p) { B(p).board.density_board = std::nan(""); }, kPositive,
         r::IDS_NAME_DENSITY_BOARD},
        {kFCBGA, [](auto& p) { B(p).bump.ufil_specific_heat = kInf; }, r::IDS_RULE_FINITE,
         r::IDS_NAME_SPECIFIC_HEAT_UNDERFILL},
        {kTO220, [](auto& p) { D(p).property.plate_density = -1; }, kPositive,
         r::IDS_NAME_DENSITY_PLATE},
        {kSOP, [](auto& p) { Q(p).chip.rate_of_heating = -0.5; }, r::IDS_RULE_NOT_NEGATIVE,
         r::IDS_NAME_RATE_OF_HEATING},
        {kPBGA, [](auto& p) { B(p).chip.rate_of_heating = kInf; }, r::IDS_RULE_FINITE,
         r::IDS_NAME_RATE_OF_HEATING},
        {kQFP, [](auto& p) { Q(p).chip.rate_of_heating = 0; }, 0, 0},
        // Counts up to what the model builds, layout codes from their lists.
        {kQFP, [](auto& p) { Q(p).lead.number_of_xmin_xmax_lead = 1001; },
         r::IDS_RULE_LEAD_COUNT_AT_MOST, r::IDS_CHECK_LEAD_COUNT_X},
        {kPBGA, [](auto& p) { B(p).solder_ball.number_all.y = 501; },
         r::IDS_RULE_BALL_COUNT_AT_MOST, r::IDS_NAME_ALL_LINES_Y},
        {kPBGA, [](auto& p) { B(p).composition.via = true; B(p).via.number.x = 501; },
         r::IDS_RULE_BALL_COUNT_AT_MOST, r::IDS_NAME_VIA_LINES_X},
        {kPBGA, [](auto& p) { B(p).solder_ball.layout = 3; }, r::IDS_RULE_LISTED_CHOICE,
         r::IDS_PROP_BALL_LAYOUT},
        {kTO263, [](auto& p) { D(p).composition.lead_type = 4; }, r::IDS_RULE_LISTED_CHOICE,
         r::IDS_PROP_VARIATION},
        {kPBGA, [](auto& p) { B(p).solder_ball.layout = 1; B(p).solder_ball.number_out.x = 10; },
         r::IDS_RULE_BALL_LINES, 0},
        // Lead frames: the gull wing's shape, and heights within the mold.
        {kQFP, [](auto& p) { Q(p).outer_lead.length_of_mouting_area = 1.0; },
         r::IDS_RULE_OUTER_LEAD_SHAPE, 0},
        {kQFP, [](auto& p) { Q(p).outer_lead.height_from_bottom_of_mold = 1.3; },
         r::IDS_RULE_LEADS_IN_MOLD_HEIGHT, 0},
        {kQFP, [](auto& p) { Q(p).die_pad.depress = 0.7; }, r::IDS_RULE_DIE_PAD_ABOVE_MOLD_BOTTOM,
         0},
        {kSOP, [](auto& p) { Q(p).chip.thickness = 0.6; Q(p).mold.thickness = 1.6; },
         r::IDS_RULE_CHIP_IN_MOLD_HEIGHT, 0},
        {kQFP, [](auto& p) { Q(p).inner_lead.offset = 1.3; }, r::IDS_RULE_INNER_LEADS_IN_MOLD, 0},
        {kQFP, [](auto& p) { Q(p).wire.diameter = 0.3; }, r::IDS_RULE_WIRES_FILL, 0},
        {kSOP, [](auto& p) { Q(p).wire.diameter = 0.3; Q(p).die_pad.size = {2.0, 7.2};
                             Q(p).chip.size = {1.0, 1.0}; },
         r::IDS_RULE_WIRES_FILL, 0},
        {kSOP, [](auto& p) { Q(p).wire.diameter = 0.31; }, r::IDS_RULE_WIRE_WITHIN_CHIP, 0},
        {kQFP, [](auto& p) { Q(p).suspension_lead.width = 4.5; }, r::IDS_RULE_SUSPENSION_ON_DIE_PAD,
         0},
        {kQFP, [](auto& p) { Q(p).die_pad.size = {2.6, 2.6}; Q(p).lead.width = 0.45;
                             Q(p).inner_lead.offset = 0.01; },
         r::IDS_RULE_INNER_LEADS_FILL, 0},
        // Grid arrays: heights and fill fractions.
        {kFCBGA, [](auto& p) { B(p).chip.thickness = 0.46; }, r::IDS_RULE_CHIP_IN_MOLD_HEIGHT, 0},
        {kFCBGA, [](auto& p) { B(p).bump.number = 10000; }, r::IDS_RULE_BUMPS_FILL, 0},
        {kPBGA, [](auto& p) { B(p).wire.number.x = 1000; }, r::IDS_RULE_WIRES_FILL, 0},
        {kPBGA, [](auto& p) { B(p).wire.diameter = 0.4; }, r::IDS_RULE_WIRE_WITHIN_CHIP, 0},
        // The wires drop to the wiring area a diameter beyond their ends, inside the mold.
        {kPBGA, [](auto& p) { B(p).wire.length.x = 7; }, r::IDS_RULE_WIRES_IN_MOLD,
         r::IDS_NAME_WIRING_AREA_X},
        {kPBGA, [](auto& p) { B(p).wire.length.y = 6.99; }, r::IDS_RULE_WIRES_IN_MOLD,
         r::IDS_NAME_WIRING_AREA_Y},
        {kPBGA, [](auto& p) { B(p).wire.length.x = 6.975; }, 0, 0},
        {kPBGA, [](auto& p) { B(p).composition.wire = false; B(p).board.ratio_of_wiring[3] = 1;
                              B(p).board.land_size = {21, 21};
                              B(p).board.wiring_area_size = {10.5, 10.5}; },
         r::IDS_RULE_COPPER_SPREAD, 0},
        // Power devices: every block real, chip on its plate or die pad inside the mold.
        {kTO220, [](auto& p) { D(p).outer_shape_param.D2 = 5; }, r::IDS_RULE_BLOCK_EMPTY, 0, -1,
         L"plate(1)"},
        {kSOT223, [](auto& p) { D(p).outer_shape_param.Q = 1.7; }, r::IDS_RULE_BLOCK_EMPTY, 0, -1,
         L"plate(1)"},
        {kSOT89, [](auto& p) { D(p).outer_shape_param.b = 2; }, r::IDS_RULE_LEAD_PITCH, 0},
        {kTO220, [](auto& p) { D(p).chip.size.y = 8; }, r::IDS_RULE_CHIP_ON_PLATE, 0},
        {kSOT223, [](auto& p) { D(p).inner_shape_param.offset = 0.9; },
         r::IDS_RULE_CHIP_ON_DIE_PAD_PLACE, 0},
        {kSOT223, [](auto& p) { D(p).inner_shape_param.diepad_x = 7; }, r::IDS_RULE_DIE_PAD_IN_MOLD,
         0},
        {kTO220, [](auto& p) { D(p).inner_shape_param.offset = 9; }, r::IDS_RULE_CHIP_IN_BODY, 0},
        {kTO247, [](auto& p) { D(p).chip.thickness = 3.5; }, r::IDS_RULE_CHIP_IN_MOLD_HEIGHT,
         0},
        {kTO220, [](auto& p) { D(p).outer_shape_param.E1 = 10; }, r::IDS_RULE_PLATE_IN_MOLD, 0},
        {kTO252, [](auto& p) { D(p).inner_shape_param.inner_lead = 6.5; },
         r::IDS_RULE_LEADS_IN_BODY, 0},
        // The offset and the depress only have to be above 0.
        {kSOT223, [](auto& p) { D(p).inner_shape_param.offset = 0.45; }, 0, 0},
        {kSOT223, [](auto& p) { D(p).inner_shape_param.offset = 1e-6; }, 0, 0},
        {kSOT223, [](auto& p) { D(p).inner_shape_param.offset = 0; }, kPositive,
         r::IDS_CHECK_OFFSET},
        {kQFP, [](auto& p) { Q(p).die_pad.depress = 1e-6; }, 0, 0},
        {kSOP, [](auto& p) { Q(p).die_pad.depress = 0; }, kPositive, r::IDS_CHECK_DIE_PAD_DEPRESS},
    };
    for (const Row& row : rows) {
        auto part = pkg::MakeDefaultPackage(row.type);
        row.change(*part);
        const pkg::RuleViolation broken = pkg::CheckPackageRules(*part);
        SCOPED_TRACE(std::string(pkg::kPackageTypeNames[row.type]) + " row for message " +
                     std::to_string(row.message) + " name " + std::to_string(row.name));
        EXPECT_EQ(broken.message, row.message);
        EXPECT_EQ(broken.name, row.name);
        EXPECT_EQ(broken.layer, row.layer);
        EXPECT_EQ(broken.literal, row.literal);
    }
}

}  // namespace
