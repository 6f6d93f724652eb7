#include "models/qfp/qfp_simplified_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/models/bga/bga_model_test_util.h"
#include "tests/models/qfp/qfp_model_test_util.h"

namespace {

using pkg::qfp::QFPDetailedModel;
using pkg::qfp::QFPSimplifiedModel;
using testutil::FindGroup;
using testutil::Material;
using testutil::MaterialNames;

TEST(QFPSimplifiedModel, DefaultQfp) {
    QFPSimplifiedModel m(false);
    ASSERT_EQ(m.Build(), 0);
    EXPECT_EQ(MaterialNames(m),
              (std::vector<std::string>{
                  "mold", "lead", "bonded_part", "chip", "outer_lead(left_right)",
                  "outer_lead(top_bottom)", "inner_lead(top_bottom)", "inner_lead(left_right)",
                  "wire(left_right)", "wire(top_bottom)", "suspension_lead"}));
    // One gull wing per side as wide as the row: R = 11 · 0.5 + 0.22.
    const auto& outer = FindGroup(m, L"outer_lead_group")->cuboids;
    ASSERT_EQ(outer.size(), 12u);
    EXPECT_EQ(outer[5].part_name, "outer_lead(5)");
    EXPECT_DOUBLE_EQ(outer[0].box.y, -2.86);
    EXPECT_DOUBLE_EQ(outer[0].box.dy, 5.72);
    EXPECT_DOUBLE_EQ(outer[0].box.x, -4.5);
    EXPECT_DOUBLE_EQ(outer[3].box.x, 3.9);
    EXPECT_DOUBLE_EQ(outer[6].box.y, -4.5);
    EXPECT_EQ(outer[6].property_name, "outer_lead(top_bottom)");

    // The fans: −y, +y, then −x and +x, from the row to the tips ±2.108225.
    const auto& inner = FindGroup(m, L"inner_lead_group")->prisms;
    ASSERT_EQ(inner.size(), 4u);
    EXPECT_EQ(inner[0].property_name, "inner_lead(top_bottom)");
    EXPECT_DOUBLE_EQ(inner[0].prism.corner[0].y, -3.5);
    EXPECT_DOUBLE_EQ(inner[1].prism.corner[2].y, 3.5);
    EXPECT_EQ(inner[2].property_name, "inner_lead(left_right)");
    EXPECT_NEAR(inner[2].prism.corner[1].y, -2.108225, 1e-6);
    EXPECT_DOUBLE_EQ(inner[3].prism.corner[0].x, 3.5);

    // Leads in air at φ = 12 · 0.22 / 5.72; leads in mold over the fan trapezoid.
    const double phi = 12 * 0.22 / 5.72;
    const pkg::Property& air_leads = Material(m, "outer_lead(left_right)");
    EXPECT_NEAR(air_leads.conductivity_x, phi * 300 + (1 - phi) * 0.0256, 1e-9);
    EXPECT_DOUBLE_EQ(air_leads.conductivity_y, 0.0256);
    EXPECT_DOUBLE_EQ(Material(m, "outer_lead(top_bottom)").conductivity_x, 0.0256);
    const double f = 12 * 0.22 * 1.1 / ((2 * 2.10822485 + 5.72) * 1.1 / 2);
    const pkg::Property& mold_leads = Material(m, "inner_lead(left_right)");
    EXPECT_NEAR(mold_leads.conductivity_x, f * 300 + (1 - f) * 0.8, 1e-5);
    EXPECT_DOUBLE_EQ(mold_leads.conductivity_y, 0.8);
    EXPECT_NEAR(mold_leads.density, (1 - f) * 1850 + f * 8880, 1e-4);

    // Straight half-width strips along the die pad's edges; their density is one diagonal
    // strip's mass over two full-width strips' area, 8880 / √2 at 45°.
    const auto& s = FindGroup(m, L"suspension_group")->prisms;
    ASSERT_EQ(s.size(), 8u);
    EXPECT_DOUBLE_EQ(s[0].prism.corner[0].x, -3.5);
    EXPECT_DOUBLE_EQ(s[0].prism.corner[0].y, -2.2);
    EXPECT_NEAR(s[0].prism.corner[1].y, -2.09, 1e-12);
    EXPECT_DOUBLE_EQ(s[1].prism.corner[0].y, -3.5);
    EXPECT_DOUBLE_EQ(s[2].prism.corner[0].x, 3.5);  // mirror in x
    EXPECT_DOUBLE_EQ(s[4].prism.corner[0].y, 2.2);  // mirror in y
    EXPECT_NEAR(Material(m, "suspension_lead").density, 8880 / std::sqrt(2.0), 1e-9);

    // The wires are the detailed model's.
    QFPDetailedModel detailed(false);
    detailed.Build();
    const auto& wires = FindGroup(m, L"wire_left_right_group")->prisms;
    const auto& detailed_wires = FindGroup(detailed, L"wire_left_right_group")->prisms;
    ASSERT_EQ(wires.size(), detailed_wires.size());
    for (size_t i = 0; i < wires.size(); ++i) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(wires[i].prism.corner[c].x, detailed_wires[i].prism.corner[c].x);
            EXPECT_EQ(wires[i].prism.corner[c].y, detailed_wires[i].prism.corner[c].y);
        }
    }
    EXPECT_EQ(Material(m, "wire(top_bottom)").conductivity_y,
              Material(detailed, "wire(top_bottom)").conductivity_y);
    testutil::ExpectSoundModel(m);
}

TEST(QFPSimplifiedModel, DefaultSop) {
    QFPSimplifiedModel m(true);
    ASSERT_EQ(m.Build(), 0);
    EXPECT_EQ(MaterialNames(m), (std::vector<std::string>{
                                    "mold", "lead", "bonded_part", "chip", "outer_lead(left_right)",
                                    "inner_lead(left_right)", "inner_lead(left_right2)",
                                    "wire(left_right)", "wire(left_right2)", "suspension_lead"}));
    EXPECT_EQ(FindGroup(m, L"outer_lead_group")->cuboids.size(), 6u);
    const auto& inner = FindGroup(m, L"inner_lead_group")->prisms;
    ASSERT_EQ(inner.size(), 10u);
    // Straight region up to b/2 + d; the end pieces reach the row end at −R_n/2.
    EXPECT_NEAR(inner[0].prism.corner[0].y, 8.225, 1e-12);
    EXPECT_DOUBLE_EQ(inner[0].prism.corner[2].x, -6.65);
    EXPECT_EQ(inner[1].property_name, "inner_lead(left_right)");
    EXPECT_NEAR(inner[1].prism.corner[2].x, -0.4, 1e-12);
    EXPECT_NEAR(inner[1].prism.corner[2].y, -13.535, 1e-12);
    EXPECT_EQ(inner[2].property_name, "inner_lead(left_right2)");
    EXPECT_NEAR(inner[3].prism.corner[0].y, 8.225, 1e-12);  // the +y end
    EXPECT_NEAR(inner[5].prism.corner[0].x, 4.2, 1e-12);    // the +x side
    const double phi = 22 * 0.4 / 27.07;
    EXPECT_NEAR(Material(m, "inner_lead(left_right2)").conductivity_y, phi * 300 + (1 - phi) * 0.8,
                1e-9);
    EXPECT_DOUBLE_EQ(Material(m, "inner_lead(left_right2)").conductivity_x, 0.8);
    EXPECT_DOUBLE_EQ(Material(m, "suspension_lead").density, 8880.0);
    EXPECT_EQ(FindGroup(m, L"suspension_group")->prisms.size(), 2u);
    EXPECT_THROW(m.OuterLeadPropertyTopBottom(), std::logic_error);
    EXPECT_THROW(m.OuterLeadCuboidsTopBottom(), std::logic_error);
    testutil::ExpectSoundModel(m);
}

TEST(QFPSimplifiedModel, OneLeadAndDegenerateInputs) {
    QFPSimplifiedModel one(false);
    one.lead.number_of_xmin_xmax_lead = 1;
    one.Build();
    const pkg::Property& single = Material(one, "outer_lead(left_right)");
    EXPECT_EQ(single.conductivity_x, 300.0);  // φ = 1: the lead itself along the lead
    EXPECT_EQ(single.density, 8880.0);
    EXPECT_DOUBLE_EQ(FindGroup(one, L"outer_lead_group")->cuboids[0].box.dy, 0.22);

    QFPSimplifiedModel no_y(false);
    no_y.lead.number_of_ymin_ymax_lead = 0;
    no_y.Build();
    EXPECT_EQ(FindGroup(no_y, L"outer_lead_group")->cuboids.size(), 6u);
    EXPECT_EQ(FindGroup(no_y, L"inner_lead_group")->prisms.size(), 2u);
    EXPECT_DOUBLE_EQ(Material(no_y, "outer_lead(top_bottom)").conductivity_y, 0.0256);
    EXPECT_DOUBLE_EQ(Material(no_y, "inner_lead(top_bottom)").conductivity_y, 0.8);
    testutil::ExpectSoundModel(no_y);

    QFPSimplifiedModel wide(false);
    wide.die_pad.size = {7.0, 7.0};
    wide.Build();
    EXPECT_DOUBLE_EQ(Material(wide, "suspension_lead").density, 8880.0);
    testutil::ExpectSoundModel(wide);

    QFPSimplifiedModel wrapped(true);
    wrapped.lead.number_of_xmin_xmax_lead = 4;
    wrapped.die_pad.size.y = 0.3;
    wrapped.Build();
    EXPECT_EQ(FindGroup(wrapped, L"inner_lead_group")->prisms.size(), 8u);
    testutil::ExpectSoundModel(wrapped);
}

}  // namespace
