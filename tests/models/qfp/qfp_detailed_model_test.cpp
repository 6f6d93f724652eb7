#include "models/qfp/qfp_detailed_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/models/bga/bga_model_test_util.h"
#include "tests/models/qfp/qfp_model_test_util.h"

namespace {

using pkg::qfp::QFPDetailedModel;
using testutil::ChildNames;
using testutil::FindGroup;
using testutil::Material;
using testutil::MaterialNames;

constexpr double kTol = 1e-12;

TEST(QFPDetailedModel, DefaultQfpTree) {
    QFPDetailedModel m(false);
    EXPECT_EQ(m.Name(), L"qfp_default");
    m.die_pad.thickness = 0.3;
    ASSERT_EQ(m.Build(), 0);
    EXPECT_DOUBLE_EQ(m.die_pad.thickness, m.lead.thickness);
    EXPECT_EQ(ChildNames(m),
              (std::vector<std::wstring>{L"mold_group", L"die_pad_group", L"bonded_part_group",
                                         L"chip_group", L"outer_lead_group", L"inner_lead_group",
                                         L"wire_left_right_group", L"wire_top_bottom_group",
                                         L"suspension_group"}));
    EXPECT_EQ(MaterialNames(m),
              (std::vector<std::string>{"mold", "lead", "bonded_part", "chip", "wire(left_right)",
                                        "wire(top_bottom)", "suspension_lead"}));
    EXPECT_EQ(FindGroup(m, L"die_pad_group")->cuboids.at(0).property_name, "lead");

    // Lead level 0.1 + 0.6; die pad 0.2 lower, 0.125 thick; die attach 0.02; chip 0.3.
    const auto& chip = FindGroup(m, L"chip_group")->cuboids.at(0).box;
    EXPECT_NEAR(chip.z, 0.645, kTol);
    EXPECT_NEAR(chip.z + chip.dz, 0.945, kTol);

    // Outer leads: −x, +x, −y, +y, twelve leads of three blocks each.
    const auto& outer = FindGroup(m, L"outer_lead_group")->cuboids;
    ASSERT_EQ(outer.size(), 144u);
    EXPECT_EQ(outer[143].part_name, "outer_lead(143)");
    EXPECT_DOUBLE_EQ(outer[0].box.x, -4.5);
    EXPECT_DOUBLE_EQ(outer[0].box.y, -2.86);
    EXPECT_DOUBLE_EQ(outer[0].box.z, 0.0);
    EXPECT_NEAR(outer[1].box.x, -4.025, kTol);  // riser: −e + m − t
    EXPECT_NEAR(outer[2].box.z, 0.7, kTol);     // shoulder at the lead level
    EXPECT_NEAR(outer[2].box.x + outer[2].box.dx, -3.5, kTol);
    EXPECT_DOUBLE_EQ(outer[36].box.x, 4.5 - 0.6);
    EXPECT_DOUBLE_EQ(outer[72].box.y, -4.5);
    EXPECT_DOUBLE_EQ(outer[72].box.x, -2.86);
    EXPECT_DOUBLE_EQ(outer[108].box.y, 4.5 - 0.6);

    // Inner leads: the y sides first. Tip ratio r = 11/13; first tip T(0) = −2.108225.
    const auto& inner = FindGroup(m, L"inner_lead_group")->prisms;
    ASSERT_EQ(inner.size(), 48u);
    EXPECT_DOUBLE_EQ(inner[0].prism.corner[0].y, -3.5);
    EXPECT_DOUBLE_EQ(inner[12].prism.corner[0].y, 3.5);
    const pkg::Prism& first_x = inner[24].prism;
    EXPECT_DOUBLE_EQ(first_x.corner[0].x, -3.5);
    EXPECT_NEAR(first_x.corner[3].x, -2.4, kTol);
    EXPECT_NEAR(first_x.corner[3].y, -2.108225, 1e-6);
    EXPECT_NEAR(inner[35].prism.corner[2].y, 2.108225, 1e-6);  // the row is symmetric
    EXPECT_DOUBLE_EQ(inner[36].prism.corner[0].x, 3.5);
    EXPECT_NEAR(first_x.base_z, 0.7, kTol);

    const auto& lr = FindGroup(m, L"wire_left_right_group")->prisms;
    ASSERT_EQ(lr.size(), 4u);
    EXPECT_NEAR(lr[0].prism.base_z + lr[0].prism.thickness, 0.945, kTol);
    EXPECT_NEAR(lr[1].prism.base_z, 0.825, kTol);
    EXPECT_DOUBLE_EQ(lr[2].prism.corner[1].x, 1.25);
    EXPECT_EQ(FindGroup(m, L"wire_top_bottom_group")->prisms.size(), 4u);

    // The diagonal strips are W / (2 cos 45°) wide along each axis.
    const auto& suspension = FindGroup(m, L"suspension_group")->prisms;
    ASSERT_EQ(suspension.size(), 8u);
    EXPECT_NEAR(suspension[0].prism.corner[1].y - suspension[0].prism.corner[0].y, 0.155563, 1e-6);
    EXPECT_NEAR(suspension[1].prism.corner[0].x - suspension[1].prism.corner[1].x, 0.155563, 1e-6);
    EXPECT_DOUBLE_EQ(suspension[2].prism.corner[0].y, 3.5);
    EXPECT_DOUBLE_EQ(suspension[4].prism.corner[0].x, 3.5);
    EXPECT_NEAR(suspension[0].prism.base_z, 0.5, kTol);

    // Wire fraction 0.0893329 of the fan between chip edge and tip line.
    const pkg::Property& wire = Material(m, "wire(left_right)");
    EXPECT_NEAR(wire.conductivity_x, 27.5284, 1e-4);
    EXPECT_EQ(wire.conductivity_x, wire.conductivity_z);
    EXPECT_DOUBLE_EQ(wire.conductivity_y, 0.8);
    EXPECT_NEAR(wire.density, 3408.86, 1e-2);
    const pkg::Property& top = Material(m, "wire(top_bottom)");
    EXPECT_DOUBLE_EQ(top.conductivity_x, 0.8);
    EXPECT_EQ(top.conductivity_y, wire.conductivity_x);

    testutil::ExpectSoundModel(m);
}

TEST(QFPDetailedModel, DefaultSopRoutingAndTree) {
    QFPDetailedModel m(true);
    EXPECT_EQ(m.Name(), L"sop_default");
    const QFPDetailedModel::SopRouting routing = m.RouteSopLeads();
    ASSERT_EQ(routing.tips.size(), 22u);
    EXPECT_EQ(routing.wrapped, 4);
    EXPECT_NEAR(routing.tips[0].x, -0.6, 1e-9);
    EXPECT_NEAR(routing.tips[0].y, -8.2, 1e-9);
    EXPECT_NEAR(routing.tips[3].x, -3.971429, 1e-6);
    EXPECT_NEAR(routing.tips[3].y, -8.2, 1e-9);
    EXPECT_NEAR(routing.tips[4].x, -4.2, 1e-9);
    EXPECT_NEAR(routing.tips[4].y, -7.304762, 1e-6);
    for (int k = 0; k < 22; ++k) {  // the second half mirrors the first
        EXPECT_NEAR(routing.tips[21 - k].y, -routing.tips[k].y, 1e-12) << k;
    }

    ASSERT_EQ(m.Build(), 0);
    EXPECT_EQ(ChildNames(m),
              (std::vector<std::wstring>{L"mold_group", L"die_pad_group", L"bonded_part_group",
                                         L"chip_group", L"outer_lead_group", L"inner_lead_group",
                                         L"wire_left_right_group", L"suspension_group"}));
    EXPECT_EQ(MaterialNames(m),
              (std::vector<std::string>{"mold", "lead", "bonded_part", "chip", "wire(left_right)",
                                        "wire(left_right2)", "suspension_lead"}));
    EXPECT_EQ(FindGroup(m, L"outer_lead_group")->cuboids.size(), 132u);
    // 4 wrapped leads of two pieces at each end and 14 straight leads, on both sides.
    const auto& inner = FindGroup(m, L"inner_lead_group")->prisms;
    ASSERT_EQ(inner.size(), 60u);
    EXPECT_NEAR(inner[0].prism.corner[0].y, -8.2, 1e-9);             // first wrapped lead along y
    EXPECT_DOUBLE_EQ(inner[1].prism.corner[0].x, -6.65);             // ... and along x
    EXPECT_NEAR(inner[8].prism.corner[2].y, -7.304762 + 0.2, 1e-6);  // lead 4 goes straight
    EXPECT_NEAR(inner[22].prism.corner[0].y, 8.2, 1e-9);             // the +y end
    EXPECT_NEAR(inner[30].prism.corner[0].x, 0.8, 1e-12);            // the +x side
    const auto& wires = FindGroup(m, L"wire_left_right_group")->prisms;
    ASSERT_EQ(wires.size(), 12u);
    EXPECT_EQ(wires[0].property_name, "wire(left_right)");
    EXPECT_EQ(wires[2].property_name, "wire(left_right2)");
    EXPECT_NEAR(wires[0].prism.corner[3].y, 8.2, 1e-9);
    EXPECT_NEAR(wires[2].prism.corner[2].x, -0.4, 1e-9);  // the end fan stops at the strip
    const auto& strips = FindGroup(m, L"suspension_group")->prisms;
    ASSERT_EQ(strips.size(), 2u);
    EXPECT_DOUBLE_EQ(strips[0].prism.corner[0].y, -14.15);
    EXPECT_DOUBLE_EQ(strips[1].prism.corner[0].y, 14.15);

    // Straight region: 14 wires over (0.4 + 16 + 7) · 2 / 2; end region: the 4 wrapped
    // leads' wires over (4 − 0.2 + 2.2) · 4.7 / 2.
    const double f_straight = 2.0 * 0.025 * 14 / 23.4;
    const double f_end = 4.7 * 0.025 * 4 / 14.1;
    EXPECT_NEAR(Material(m, "wire(left_right)").conductivity_x,
                f_straight * 300 + (1 - f_straight) * 0.8, 1e-9);
    EXPECT_NEAR(Material(m, "wire(left_right2)").conductivity_y, f_end * 300 + (1 - f_end) * 0.8,
                1e-9);
    EXPECT_DOUBLE_EQ(Material(m, "wire(left_right2)").conductivity_x, 0.8);
    testutil::ExpectSoundModel(m);
}

TEST(QFPDetailedModel, SopHasNoBottomLeadsAndAirBuildChangesNothing) {
    QFPDetailedModel m(true);
    for (auto call : {+[](const QFPDetailedModel& q) { q.OuterLeadCuboidsTopBottom(); },
                      +[](const QFPDetailedModel& q) { q.WireTopBottomPrisms(); },
                      +[](const QFPDetailedModel& q) { q.WireTopBottomProperty(); }}) {
        try {
            call(m);
            ADD_FAILURE() << "no exception";
        } catch (const std::logic_error& e) {
            EXPECT_STREQ(e.what(), "sop does not have outer bottom leads");
        }
    }
    m.Build();
    const auto before = testutil::Fingerprint(m);
    m.lead.width = 0.1;
    EXPECT_EQ(m.BuildWithAir(), 0);
    EXPECT_EQ(testutil::Fingerprint(m), before);
    m.lead.width = 0.4;
    m.Build();
    EXPECT_EQ(testutil::Fingerprint(m), before);  // building again gives the same tree
}

TEST(QFPDetailedModel, CompositionSwitchesAndSingleLeads) {
    QFPDetailedModel m(false);
    m.composition.bonded_part = false;
    m.composition.suspension = false;
    m.composition.wire = false;
    m.lead.number_of_xmin_xmax_lead = 1;
    m.Build();
    EXPECT_EQ(ChildNames(m),
              (std::vector<std::wstring>{L"mold_group", L"die_pad_group", L"chip_group",
                                         L"outer_lead_group", L"inner_lead_group"}));
    EXPECT_EQ(MaterialNames(m), (std::vector<std::string>{"mold", "lead", "chip"}));
    EXPECT_NEAR(FindGroup(m, L"chip_group")->cuboids[0].box.z, 0.625, kTol);
    const auto& inner = FindGroup(m, L"inner_lead_group")->prisms;
    ASSERT_EQ(inner.size(), 26u);
    EXPECT_DOUBLE_EQ(inner[24].prism.corner[3].y, -0.11);  // one lead: tip centred

    QFPDetailedModel sop(true);
    sop.lead.number_of_xmin_xmax_lead = 1;
    const auto routing = sop.RouteSopLeads();
    ASSERT_EQ(routing.tips.size(), 1u);
    EXPECT_DOUBLE_EQ(routing.tips[0].x, -4.2);
    EXPECT_DOUBLE_EQ(routing.tips[0].y, 0.0);
    sop.Build();
    EXPECT_EQ(MaterialNames(sop)[4], "wire(left_right)");
    EXPECT_EQ(sop.WireLeftRightProperties().size(), 1u);
    testutil::ExpectSoundModel(sop);

    // Without suspension leads the end fans reach x = −inner_lead.offset.
    QFPDetailedModel open_ends(true);
    open_ends.composition.suspension = false;
    const auto fans = open_ends.WireLeftRightPrisms();
    ASSERT_EQ(fans.size(), 6u);
    EXPECT_EQ(fans[2].material, 1);
    EXPECT_DOUBLE_EQ(fans[2].prism.corner[2].x, -0.2);
}

// Inputs where the plain formulas divide by zero or read a tip that does not exist.
TEST(QFPDetailedModel, DegenerateInputsStayFinite) {
    QFPDetailedModel no_y(false);
    no_y.lead.number_of_ymin_ymax_lead = 0;
    no_y.Build();
    EXPECT_EQ(FindGroup(no_y, L"outer_lead_group")->cuboids.size(), 72u);
    EXPECT_EQ(FindGroup(no_y, L"inner_lead_group")->prisms.size(), 24u);
    EXPECT_TRUE(FindGroup(no_y, L"wire_top_bottom_group")->prisms.empty());
    EXPECT_DOUBLE_EQ(Material(no_y, "wire(top_bottom)").conductivity_y, 0.8);
    EXPECT_DOUBLE_EQ(Material(no_y, "wire(top_bottom)").density, 1850.0);
    testutil::ExpectSoundModel(no_y);

    // Die pad as wide as the mold along x, then along both axes.
    QFPDetailedModel wide(false);
    wide.die_pad.size.x = wide.mold.size.x;
    wide.Build();
    testutil::ExpectSoundModel(wide);
    const auto& s = FindGroup(wide, L"suspension_group")->prisms;
    EXPECT_DOUBLE_EQ(s[0].prism.corner[1].y, s[0].prism.corner[0].y);  // a = 0
    EXPECT_NEAR(s[1].prism.corner[0].x - s[1].prism.corner[1].x, 0.11, kTol);
    wide.die_pad.size.y = wide.mold.size.y;
    wide.Build();
    testutil::ExpectSoundModel(wide);

    // Every lead wrapped: the list holds only the end material, and the end fans use it.
    QFPDetailedModel wrapped(true);
    wrapped.lead.number_of_xmin_xmax_lead = 4;
    wrapped.die_pad.size.y = 0.3;
    EXPECT_EQ(wrapped.RouteSopLeads().wrapped, 2);
    wrapped.Build();
    const auto& wires = FindGroup(wrapped, L"wire_left_right_group")->prisms;
    ASSERT_EQ(wires.size(), 8u);
    for (const auto& w : wires) EXPECT_EQ(w.property_name, "wire(left_right2)");
    EXPECT_EQ(FindGroup(wrapped, L"inner_lead_group")->prisms.size(), 16u);
    testutil::ExpectSoundModel(wrapped);
}

// A part file keeps any count it holds, but a build refuses counts no package has
// instead of overflowing or allocating without end.
TEST(QFPDetailedModel, ImplausibleLeadCountsBuildNothing) {
    for (int32_t count : {INT32_MIN, -1, QFPDetailedModel::kMaxLeadsPerSide + 1, INT32_MAX}) {
        for (bool sop : {false, true}) {
            QFPDetailedModel model(sop);
            model.Build();
            model.lead.number_of_xmin_xmax_lead = count;
            EXPECT_EQ(model.Build(), 1) << count;
            EXPECT_TRUE(model.root.children.empty());
            EXPECT_TRUE(model.properties.empty());
        }
        QFPDetailedModel y_sides(false);
        y_sides.lead.number_of_ymin_ymax_lead = count;
        EXPECT_EQ(y_sides.Build(), 1) << count;
    }
}

// Fewer leads lie wholly below the die pad than the first pass wraps: only those stay
// wrapped, re-spaced along the end; the others spread evenly over the side.
TEST(QFPDetailedModel, SopSecondPassRespacesTheWrappedLeads) {
    QFPDetailedModel m(true);
    m.die_pad.size.y = 24.0;  // b = 24.4: only lead 0 (upper edge −12.735) lies below −12.2
    const auto routing = m.RouteSopLeads();
    ASSERT_EQ(routing.wrapped, 1);
    EXPECT_NEAR(routing.tips[0].x, -0.6, 1e-12);  // g2 = 3.4 moves only later leads
    EXPECT_DOUBLE_EQ(routing.tips[0].y, -12.2);
    EXPECT_DOUBLE_EQ(routing.tips[21].y, 12.2);
    const double g3 = (24.4 - 20 * 0.4) / 19;
    EXPECT_NEAR(routing.tips[1].y, -12.2 + 0.2, 1e-12);
    EXPECT_NEAR(routing.tips[20].y, (g3 + 0.4) * 19 - 12.2 + 0.2, 1e-12);
    EXPECT_DOUBLE_EQ(routing.tips[5].x, -4.2);
    m.Build();
    testutil::ExpectSoundModel(m);
}

}  // namespace
