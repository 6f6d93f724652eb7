#include "models/bga/bga_detailed_model.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "models/bga/bga_simplified_model.h"
#include "tests/models/bga/bga_model_test_util.h"

namespace {

using pkg::bga::BGADetailedModel;
using testutil::ChildNames;
using testutil::FindGroup;
using testutil::Material;
using testutil::MaterialNames;

constexpr double kTol = 1e-12;
const double kBallSide = 0.44311346272637897;  // sqrt(pi * 0.25^2)

TEST(BGADetailedModel, DefaultPBGATree) {
    BGADetailedModel m(false);
    ASSERT_EQ(m.Build(), 0);
    EXPECT_EQ(ChildNames(m),
              (std::vector<std::wstring>{L"mold_group", L"chip_group", L"wire_left_right_group",
                                         L"wire_top_bottom_group", L"board(board_layer)",
                                         L"board(wiring_layer)", L"board(land_area)",
                                         L"solder_ball"}));
    EXPECT_TRUE(m.root.cuboids.empty());
    EXPECT_EQ(MaterialNames(m),
              (std::vector<std::string>{"mold", "chip", "wire(left_right)", "wire(top_bottom)",
                                        "board(board)", "board(wiring)(0)", "board(wiring)(1)",
                                        "board(wiring)(2)", "board(wiring)(3)", "solder_ball"}));

    // Substrate top 0.5 + 4 * 0.04 + (0.1 + 0.18 + 0.1) = 1.04; the chip sits on it.
    const auto& mold = FindGroup(m, L"mold_group")->cuboids.at(0);
    EXPECT_NEAR(mold.box.z, 1.04, kTol);
    EXPECT_DOUBLE_EQ(mold.box.x, -9.5);
    EXPECT_NEAR(FindGroup(m, L"chip_group")->cuboids.at(0).box.z, 1.04, kTol);

    const auto& wiring = FindGroup(m, L"board(wiring_layer)")->cuboids;
    ASSERT_EQ(wiring.size(), 4u);
    const double wiring_z[] = {0.5, 0.64, 0.86, 1.00};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(wiring[i].part_name, pkg::NumberedName("wiring(%d)", i));
        EXPECT_EQ(wiring[i].property_name, pkg::NumberedName("board(wiring)(%d)", i));
        EXPECT_NEAR(wiring[i].box.z, wiring_z[i], kTol);
        EXPECT_DOUBLE_EQ(wiring[i].box.dx, 21.0);
    }
    const auto& boards = FindGroup(m, L"board(board_layer)")->cuboids;
    ASSERT_EQ(boards.size(), 3u);
    EXPECT_NEAR(boards[0].box.z, 0.54, kTol);
    EXPECT_NEAR(boards[1].box.z, 0.68, kTol);
    EXPECT_NEAR(boards[1].box.dz, 0.18, kTol);
    EXPECT_NEAR(boards[2].box.z, 0.90, kTol);

    const auto& lands = FindGroup(m, L"board(land_area)")->cuboids;
    ASSERT_EQ(lands.size(), 2u);
    EXPECT_EQ(lands[0].part_name, "land(board)");
    EXPECT_EQ(lands[0].property_name, "board(board)");
    EXPECT_DOUBLE_EQ(lands[0].box.dx, 13.0);
    EXPECT_EQ(lands[1].property_name, "board(wiring)(3)");
    EXPECT_NEAR(lands[1].box.z, 1.00, kTol);
    EXPECT_DOUBLE_EQ(lands[1].box.x, -2.0);

    // The fan lies level with the chip top (1.34); the descent stands on the substrate.
    const auto& lr = FindGroup(m, L"wire_left_right_group")->prisms;
    ASSERT_EQ(lr.size(), 4u);
    EXPECT_EQ(lr[3].part_name, "wire_left_right(3)");
    EXPECT_NEAR(lr[0].prism.base_z + lr[0].prism.thickness, 1.34, kTol);
    EXPECT_DOUBLE_EQ(lr[0].prism.corner[1].x, 6.5);
    EXPECT_DOUBLE_EQ(lr[0].prism.corner[2].y, -6.5);
    EXPECT_NEAR(lr[1].prism.base_z, 1.04, kTol);
    EXPECT_NEAR(lr[1].prism.corner[1].x, 6.525, kTol);
    EXPECT_DOUBLE_EQ(lr[2].prism.corner[1].x, -6.5);
    const auto& tb = FindGroup(m, L"wire_top_bottom_group")->prisms;
    EXPECT_DOUBLE_EQ(tb[0].prism.corner[2].x, -6.5);
    EXPECT_DOUBLE_EQ(tb[2].prism.corner[1].y, -6.5);

    const auto& balls = FindGroup(m, L"solder_ball")->cuboids;
    ASSERT_EQ(balls.size(), 400u);
    EXPECT_EQ(balls[399].part_name, "solder_ball(399)");
    EXPECT_NEAR(balls[0].box.dx, kBallSide, kTol);
    EXPECT_NEAR(balls[0].box.x, -9.5 - kBallSide / 2, kTol);
    // y runs in the inner loop.
    EXPECT_NEAR(balls[1].box.y, -8.5 - kBallSide / 2, kTol);
    EXPECT_NEAR(balls[20].box.x, -8.5 - kBallSide / 2, kTol);
    EXPECT_DOUBLE_EQ(balls[0].box.dz, 0.5);
}

TEST(BGADetailedModel, DefaultPBGAMaterials) {
    BGADetailedModel m(false);
    m.Build();
    const pkg::Property& wiring = Material(m, "board(wiring)(2)");
    EXPECT_EQ(wiring.kind, pkg::Property::kAnisotropic);
    EXPECT_NEAR(wiring.conductivity_z, 238.92, 1e-10);
    EXPECT_NEAR(wiring.conductivity_x, 238.92, 1e-10);
    EXPECT_NEAR(wiring.density, 6068.0, 1e-9);
    EXPECT_NEAR(wiring.specific_heat, 473.07317073170736, 1e-9);

    const pkg::Property& lr = Material(m, "wire(left_right)");
    EXPECT_NEAR(lr.conductivity_x, 4.955555555555555, 1e-12);
    EXPECT_NEAR(lr.conductivity_z, 4.955555555555555, 1e-12);
    EXPECT_DOUBLE_EQ(lr.conductivity_y, 0.8);
    EXPECT_NEAR(lr.density, 2092.3611111111113, 1e-9);
    EXPECT_NEAR(lr.specific_heat, 975.6037172253568, 1e-9);
    const pkg::Property& tb = Material(m, "wire(top_bottom)");
    EXPECT_DOUBLE_EQ(tb.conductivity_x, 0.8);
    EXPECT_NEAR(tb.conductivity_y, 4.955555555555555, 1e-12);

    const pkg::Property& mold = Material(m, "mold");
    EXPECT_EQ(mold.kind, pkg::Property::kIsotropic);
    EXPECT_DOUBLE_EQ(mold.conductivity, 0.8);
    EXPECT_DOUBLE_EQ(Material(m, "solder_ball").conductivity, 60.0);
}

TEST(BGADetailedModel, ViaAndBondedPart) {
    BGADetailedModel m(false);
    m.composition.via = true;
    m.composition.bonded_part = true;
    m.Build();
    EXPECT_EQ(ChildNames(m)[1], L"bonded_part_group");
    EXPECT_EQ(ChildNames(m)[8], L"via");
    // The chip sits on the die attach.
    EXPECT_NEAR(FindGroup(m, L"chip_group")->cuboids.at(0).box.z, 1.06, kTol);

    const auto& via = FindGroup(m, L"via")->cuboids.at(0).box;
    EXPECT_NEAR(via.dx, 4.2, kTol);
    EXPECT_DOUBLE_EQ(via.z, 0.5);
    EXPECT_NEAR(via.dz, 0.54, kTol);

    const std::vector<std::string> names = MaterialNames(m);
    EXPECT_EQ(names[1], "bonded_part");
    EXPECT_EQ(names[names.size() - 2], "via");
    const pkg::Property& p = Material(m, "via");
    EXPECT_NEAR(p.conductivity_x, 71.0022222222222, 1e-10);
    EXPECT_NEAR(p.conductivity_z, 11.632529690092165, 1e-10);
    EXPECT_NEAR(p.density, 3264.4862010834445, 1e-9);
    EXPECT_NEAR(p.specific_heat, 709.2133397073186, 1e-9);
}

TEST(BGADetailedModel, FCBGAHasBumpsAndNoWiresOrLands) {
    BGADetailedModel m(true);
    m.Build();
    EXPECT_EQ(ChildNames(m),
              (std::vector<std::wstring>{L"mold_group", L"bump_group", L"chip_group",
                                         L"board(board_layer)", L"board(wiring_layer)",
                                         L"solder_ball"}));
    EXPECT_NEAR(FindGroup(m, L"chip_group")->cuboids.at(0).box.z, 1.04 + 0.05, kTol);
    EXPECT_NEAR(FindGroup(m, L"bump_group")->cuboids.at(0).box.dz, 0.05, kTol);

    const pkg::Property& bump = Material(m, "bump");
    EXPECT_EQ(MaterialNames(m)[1], "bump");
    EXPECT_DOUBLE_EQ(bump.conductivity_x, 0.5);
    EXPECT_DOUBLE_EQ(bump.conductivity_y, 0.5);
    EXPECT_NEAR(bump.conductivity_z, 7.976990515543711, 1e-12);
    EXPECT_NEAR(bump.density, 2734.672491250886, 1e-9);
    EXPECT_NEAR(bump.specific_heat, 736.4230771473776, 1e-9);
}

// The library file prints materials and ball sizes with all 17 digits, so the order in
// which a value is computed shows in the file: squares are taken before they are scaled,
// and a layer's value times its thickness is divided by the stack height afterwards.
TEST(BGADetailedModel, ValuesToTheLastDigit) {
    BGADetailedModel fc(true);
    fc.Build();
    EXPECT_EQ(Material(fc, "bump").conductivity_z, 7.9769905155437106);

    BGADetailedModel via(false);
    via.composition.via = true;
    via.Build();
    EXPECT_EQ(Material(via, "via").conductivity_x, 71.002222222222173);
    EXPECT_EQ(Material(via, "via").conductivity_y, 71.002222222222173);

    BGADetailedModel balls(false);
    balls.solder_ball.diameter = 0.76;
    balls.Build();
    EXPECT_EQ(FindGroup(balls, L"solder_ball")->cuboids.at(0).box.dx, 0.67353246334409611);
}

TEST(BGADetailedModel, BallLayouts) {
    BGADetailedModel m(false);
    m.solder_ball.layout = 1;
    m.Build();
    EXPECT_EQ(FindGroup(m, L"solder_ball")->cuboids.size(), 204u);

    m.solder_ball.layout = 2;
    m.Build();
    const auto& with_centre = FindGroup(m, L"solder_ball")->cuboids;
    ASSERT_EQ(with_centre.size(), 240u);
    // The centre grid follows the ring, centred on the origin.
    EXPECT_NEAR(with_centre[204].box.x, -2.5 - kBallSide / 2, kTol);

    // A ring at least half the grid wide skips nothing.
    m.solder_ball.layout = 1;
    m.solder_ball.number_out = {10, 3};
    m.Build();
    EXPECT_EQ(FindGroup(m, L"solder_ball")->cuboids.size(), 400u);

    m.solder_ball.layout = 3;
    m.Build();
    EXPECT_TRUE(FindGroup(m, L"solder_ball")->cuboids.empty());
    EXPECT_EQ(MaterialNames(m).back(), "solder_ball");
}

TEST(BGADetailedModel, LayerCounts) {
    BGADetailedModel one(false);
    one.board.number_of_layer = 1;
    one.Build();
    EXPECT_TRUE(FindGroup(one, L"board(board_layer)")->cuboids.empty());
    const auto& wiring = FindGroup(one, L"board(wiring_layer)")->cuboids;
    ASSERT_EQ(wiring.size(), 1u);
    EXPECT_DOUBLE_EQ(wiring[0].box.z, 0.5);
    EXPECT_NEAR(FindGroup(one, L"board(land_area)")->cuboids.at(1).box.z, 0.5, kTol);
    EXPECT_EQ(FindGroup(one, L"board(land_area)")->cuboids.at(1).property_name,
              "board(wiring)(0)");

    // Counts outside the tables are held to them: every block and material stays defined.
    BGADetailedModel many(false);
    many.board.number_of_layer = 12;
    many.composition.via = true;
    many.Build();
    EXPECT_EQ(FindGroup(many, L"board(wiring_layer)")->cuboids.size(), 8u);
    EXPECT_EQ(FindGroup(many, L"board(board_layer)")->cuboids.size(), 7u);
    EXPECT_EQ(FindGroup(many, L"board(land_area)")->cuboids.at(1).property_name,
              "board(wiring)(7)");

    for (int n : {0, -3}) {
        BGADetailedModel none(false);
        none.board.number_of_layer = n;
        none.composition.via = true;
        none.Build();
        EXPECT_TRUE(FindGroup(none, L"board(wiring_layer)")->cuboids.empty());
        EXPECT_TRUE(FindGroup(none, L"board(land_area)")->cuboids.empty());
        for (const pkg::Property& p : none.properties) {
            EXPECT_FALSE(std::isnan(p.conductivity_z) || std::isnan(p.density) ||
                         std::isnan(p.specific_heat))
                << p.name;
        }
    }
}

TEST(BGADetailedModel, BuildWithAir) {
    BGADetailedModel m(false);
    m.BuildWithAir();
    m.BuildWithAir();
    std::vector<std::wstring> names = ChildNames(m);
    ASSERT_EQ(names.size(), 9u);
    EXPECT_EQ(names[0], L"air_group");
    BGADetailedModel plain(false);
    plain.Build();
    EXPECT_EQ(std::vector<std::wstring>(names.begin() + 1, names.end()), ChildNames(plain));
    EXPECT_EQ(MaterialNames(m).back(), "air");
    EXPECT_EQ(MaterialNames(m).size(), MaterialNames(plain).size() + 1);
    EXPECT_DOUBLE_EQ(Material(m, "air").conductivity, 0.0256);

    // Full grid: inner region of 2 x 6 columns (chip 5 mm, pitch 1, 20 balls).
    const auto& air = m.root.children[0]->cuboids;
    ASSERT_EQ(air.size(), 2u);
    EXPECT_EQ(air[0].part_name, "air");
    EXPECT_DOUBLE_EQ(air[0].box.dx, 21.0);
    EXPECT_NEAR(air[0].box.dz, 1.54, kTol);
    EXPECT_EQ(air[1].part_name, "air_for_region");
    EXPECT_DOUBLE_EQ(air[1].box.dx, 12.0);
    EXPECT_DOUBLE_EQ(air[1].box.x, -6.0);
    EXPECT_NEAR(air[1].box.dz, 1.54, kTol);

    m.solder_ball.layout = 2;
    m.BuildWithAir();
    const auto& air2 = m.root.children[0]->cuboids;
    ASSERT_EQ(air2.size(), 3u);
    EXPECT_EQ(air2[1].part_name, "air_for_region2");
    EXPECT_DOUBLE_EQ(air2[1].box.dx, 14.0);
    EXPECT_EQ(air2[2].part_name, "air_for_region");
    EXPECT_DOUBLE_EQ(air2[2].box.dy, 6.0);

    // A ring wider than the grid leaves a marker of width 0, not a negative one.
    m.solder_ball.layout = 1;
    m.solder_ball.number_out = {12, 3};
    m.BuildWithAir();
    const auto& air1 = m.root.children[0]->cuboids;
    ASSERT_EQ(air1.size(), 2u);
    EXPECT_EQ(air1[1].box.dx, 0.0);
    EXPECT_DOUBLE_EQ(air1[1].box.dy, 14.0);

    m.solder_ball.layout = 7;
    m.BuildWithAir();
    EXPECT_EQ(m.root.children[0]->cuboids.size(), 1u);
}

TEST(BGAInnerRegionExtent, ColumnsUnderChipOrVias) {
    pkg::bga::BGA b(false);
    EXPECT_DOUBLE_EQ(pkg::bga::BGAInnerRegionExtentX(b), 6.0);
    // A via array wider than the chip widens the region only when vias are present.
    b.via.number = {9, 5};
    EXPECT_DOUBLE_EQ(pkg::bga::BGAInnerRegionExtentX(b), 6.0);
    b.composition.via = true;
    EXPECT_DOUBLE_EQ(pkg::bga::BGAInnerRegionExtentX(b), 7.0);
    EXPECT_DOUBLE_EQ(pkg::bga::BGAInnerRegionExtentY(b), 6.0);
    // An odd count centres a column: 5 under the chip plus 2 * 4.
    b.solder_ball.number_all = {20, 21};
    EXPECT_DOUBLE_EQ(pkg::bga::BGAInnerRegionExtentY(b), 6.5);
}

}  // namespace

namespace {

// Counts a part file may hold but no model is built from: the build fails and leaves the
// tree and the material list empty, and nothing on the way overflows.
TEST(BGADetailedModel, ImplausibleCountsBuildNothing) {
    const int32_t kMin = std::numeric_limits<int32_t>::min();
    auto expect_refused = [](pkg::bga::BGADetailedModel& m) {
        m.Build();  // a first build fills the tree, so the refusal must empty it
        EXPECT_NE(m.Build(), 0);
        EXPECT_TRUE(m.root.children.empty());
        EXPECT_TRUE(m.properties.empty());
        EXPECT_NE(m.BuildWithAir(), 0);
        EXPECT_TRUE(m.root.children.empty());
    };

    BGADetailedModel via(false);
    via.composition.via = true;
    via.via.number = {kMin, kMin};
    // The part file keeps the count; the region helpers compute without overflowing.
    std::stringstream file;
    ASSERT_TRUE(via.WritePartFile(file));
    BGADetailedModel read(false);
    ASSERT_TRUE(read.ReadPartFile(file));
    EXPECT_EQ(read.via.number.x, kMin);
    EXPECT_TRUE(std::isfinite(read.ViaProperty().conductivity_z));
    EXPECT_TRUE(std::isfinite(read.ViaCuboid().dx));
    EXPECT_TRUE(std::isfinite(pkg::bga::BGAInnerRegionExtentX(read)));
    expect_refused(read);

    BGADetailedModel balls(false);
    balls.solder_ball.number_all = {1000000, 1000000};
    expect_refused(balls);
    balls.solder_ball.number_all = {pkg::bga::BGA::kMaxCountPerAxis, 2};
    ASSERT_EQ(balls.Build(), 0);
    EXPECT_EQ(FindGroup(balls, L"solder_ball")->cuboids.size(), 1000u);

    // A ring width of INT_MIN would overflow nx - ring; a centre grid only counts when used.
    balls.solder_ball.layout = 1;
    balls.solder_ball.number_out = {kMin, 0};
    balls.solder_ball.number_center = {kMin, kMin};
    expect_refused(balls);
    balls.solder_ball.number_out = {1, 1};
    EXPECT_EQ(balls.Build(), 0);
    balls.solder_ball.layout = 2;
    expect_refused(balls);

    pkg::bga::BGASimplifiedModel simplified(true);
    simplified.solder_ball.number_all = {-1, 20};
    EXPECT_NE(simplified.Build(), 0);
    EXPECT_TRUE(simplified.root.children.empty());
}

}  // namespace
