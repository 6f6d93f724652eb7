#include "models/bga/bga_simplified_model.h"

#include <gtest/gtest.h>

#include "tests/models/bga/bga_model_test_util.h"

namespace {

using pkg::bga::BGASimplifiedModel;
using testutil::ChildNames;
using testutil::FindGroup;
using testutil::Material;
using testutil::MaterialNames;

constexpr double kTol = 1e-12;

TEST(BGASimplifiedModel, DefaultPBGATree) {
    BGASimplifiedModel m(false);
    ASSERT_EQ(m.Build(), 0);
    EXPECT_EQ(ChildNames(m),
              (std::vector<std::wstring>{L"mold_group", L"chip_group", L"board_group",
                                         L"wire_left_right_group", L"wire_top_bottom_group",
                                         L"solder_ball"}));
    EXPECT_EQ(MaterialNames(m),
              (std::vector<std::string>{"mold", "chip", "board", "wire(left_right)",
                                        "wire(top_bottom)", "solder_ball"}));

    const auto& board = FindGroup(m, L"board_group")->cuboids.at(0);
    EXPECT_EQ(board.part_name, "board");
    EXPECT_DOUBLE_EQ(board.box.z, 0.5);
    EXPECT_NEAR(board.box.z + board.box.dz, 1.04, kTol);
    EXPECT_DOUBLE_EQ(board.box.dx, 21.0);

    const auto& balls = FindGroup(m, L"solder_ball")->cuboids;
    ASSERT_EQ(balls.size(), 1u);
    EXPECT_EQ(balls[0].part_name, "solder_ball(0)");
    EXPECT_DOUBLE_EQ(balls[0].box.x, -10.0);
    EXPECT_DOUBLE_EQ(balls[0].box.dy, 20.0);
    EXPECT_DOUBLE_EQ(balls[0].box.dz, 0.5);

    // Three insulator layers, three wiring layers and the top layer with its copper spread
    // over land and wiring areas (ratio 0.6 * 168 / 441 in plane).
    const pkg::Property& s = Material(m, "board");
    EXPECT_EQ(s.kind, pkg::Property::kAnisotropic);
    EXPECT_NEAR(s.conductivity_x, 60.060211640211634, 1e-10);
    EXPECT_NEAR(s.conductivity_y, 60.060211640211634, 1e-10);
    EXPECT_NEAR(s.conductivity_z, 0.42609051758302724, 1e-12);
    EXPECT_NEAR(s.density, 2906.359788359788, 1e-9);
    EXPECT_NEAR(s.specific_heat, 772.1929139162064, 1e-9);

    const pkg::Property& ball = Material(m, "solder_ball");
    EXPECT_EQ(ball.kind, pkg::Property::kAnisotropic);
    EXPECT_DOUBLE_EQ(ball.conductivity_x, 0.0256);
    EXPECT_NEAR(ball.conductivity_z, 11.80154590271598, 1e-12);
    EXPECT_NEAR(ball.density, 1746.5166206045647, 1e-9);
    EXPECT_NEAR(ball.specific_heat, 210.44228285406183, 1e-9);
}

TEST(BGASimplifiedModel, SubstrateVariants) {
    // Flip chip: the top layer keeps its own wiring ratio.
    BGASimplifiedModel fc(true);
    fc.Build();
    EXPECT_EQ(ChildNames(fc), (std::vector<std::wstring>{L"mold_group", L"bump_group",
                                                         L"chip_group", L"board_group",
                                                         L"solder_ball"}));
    const pkg::Property& s = Material(fc, "board");
    EXPECT_NEAR(s.conductivity_x, 71.00222222222222, 1e-10);
    EXPECT_NEAR(s.conductivity_z, 0.42609051758302724, 1e-12);
    EXPECT_NEAR(s.density, 3099.7777777777774, 1e-9);
    EXPECT_NEAR(s.specific_heat, 736.371352785146, 1e-9);

    // One layer: that wiring layer alone, spread in plane, its own value through.
    BGASimplifiedModel one(false);
    one.board.number_of_layer = 1;
    one.Build();
    const pkg::Property& s1 = Material(one, "board");
    EXPECT_NEAR(s1.conductivity_x, 91.20285714285714, 1e-10);
    EXPECT_NEAR(s1.conductivity_z, 238.92, 1e-10);
    EXPECT_NEAR(s1.density, 3456.8571428571427, 1e-9);

    BGASimplifiedModel none(false);
    none.board.number_of_layer = 0;
    none.Build();
    const pkg::Property& s0 = Material(none, "board");
    EXPECT_EQ(s0.conductivity_z, 0.0);
    EXPECT_EQ(s0.specific_heat, 0.0);
}

TEST(BGASimplifiedModel, BallRegions) {
    BGASimplifiedModel m(false);
    m.solder_ball.layout = 1;
    m.Build();
    const auto& ring = FindGroup(m, L"solder_ball")->cuboids;
    ASSERT_EQ(ring.size(), 4u);
    EXPECT_EQ(ring[3].part_name, "solder_ball(3)");
    EXPECT_DOUBLE_EQ(ring[0].box.x, 7.0);   // right strip
    EXPECT_DOUBLE_EQ(ring[0].box.dy, 20.0);
    EXPECT_DOUBLE_EQ(ring[1].box.x, -10.0);  // left strip
    EXPECT_DOUBLE_EQ(ring[2].box.x, -7.0);   // top strip between the side strips
    EXPECT_DOUBLE_EQ(ring[2].box.y, 7.0);
    EXPECT_DOUBLE_EQ(ring[2].box.dx, 14.0);
    EXPECT_DOUBLE_EQ(ring[3].box.y, -10.0);

    m.solder_ball.layout = 2;
    m.Build();
    const auto& with_centre = FindGroup(m, L"solder_ball")->cuboids;
    ASSERT_EQ(with_centre.size(), 5u);
    EXPECT_EQ(with_centre[4].part_name, "solder_ball(4)");
    EXPECT_DOUBLE_EQ(with_centre[4].box.x, -3.0);
    EXPECT_DOUBLE_EQ(with_centre[4].box.dx, 6.0);

    // A ring wider than the grid: the strips between the sides get width 0.
    m.solder_ball.layout = 1;
    m.solder_ball.number_out = {11, 3};
    m.Build();
    EXPECT_EQ(FindGroup(m, L"solder_ball")->cuboids[2].box.dx, 0.0);

    m.solder_ball.layout = 5;
    m.Build();
    EXPECT_TRUE(FindGroup(m, L"solder_ball")->cuboids.empty());
}

// The ball fraction squares the radius before scaling by pi; the file shows all 17 digits.
TEST(BGASimplifiedModel, BallMaterialToTheLastDigit) {
    BGASimplifiedModel m(false);
    m.solder_ball.diameter = 0.76;
    m.Build();
    const pkg::Property& ball = Material(m, "solder_ball");
    EXPECT_EQ(ball.conductivity_z, 27.232745413635001);
    EXPECT_EQ(ball.density, 4033.5716578447859);
}

TEST(BGASimplifiedModel, BuildWithAirKeepsTheLayerStack) {
    BGASimplifiedModel m(false);
    m.BuildWithAir();
    const std::vector<std::wstring> names = ChildNames(m);
    ASSERT_EQ(names.size(), 9u);
    EXPECT_EQ(names[0], L"air_group");
    EXPECT_EQ(names[5], L"board(board_layer)");
    EXPECT_EQ(FindGroup(m, L"board(wiring_layer)")->cuboids.size(), 4u);
    // This model's ball block and ball material.
    EXPECT_EQ(FindGroup(m, L"solder_ball")->cuboids.size(), 1u);
    EXPECT_EQ(Material(m, "solder_ball").kind, pkg::Property::kAnisotropic);
    EXPECT_EQ(MaterialNames(m).back(), "air");
    EXPECT_EQ(m.root.children[0]->cuboids.size(), 2u);
}

}  // namespace
