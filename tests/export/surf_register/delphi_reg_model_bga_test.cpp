#include "export/surf_register/delphi_reg_model_bga.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <initializer_list>

#include "export/surf_register/create_surface_register.h"
#include "tests/export/test_model.h"
#include "tests/export/surf_register/delphi_test_cells.h"

namespace {

using pkg::bga::BGADetailedModel;
using pkg::surf_register::CreateSurfaceRegister;
using pkg::surf_register::SurfaceRegister;
using pkg::surf_register::SurfaceRegister_DelphiModel_BGA_full;
using pkg::surf_register::SurfaceRegister_DelphiModel_BGA_out;
using pkg::surf_register::SurfaceRegister_DelphiModel_BGA_outcenter;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using zentrik_test::DelphiCells;
using zentrik_test::Entries;
using zentrik_test::Entry;
using zentrik_test::Names;

const pkg::NameIndexMap kMaterials = {{"mold", 0}, {"chip", 1}, {"solder_ball", 2}, {"air", 3}};
const pkg::NameIndexMap kParts = {{"air", 0}, {"chip", 1}};

std::vector<pkg::GridLine> Lines(std::initializer_list<double> positions) {
    std::vector<pkg::GridLine> lines;
    for (double p : positions) lines.push_back(pkg::GridLine{p, {}});
    return lines;
}

std::shared_ptr<BGADetailedModel> Bga(int layout) {
    auto m = std::make_shared<BGADetailedModel>(false);
    m->solder_ball.layout = layout;
    return m;
}

// nx x ny x 2 cells of mold, with the chip in one upper cell (0-based).
DelphiCells Block(std::size_t nx, std::size_t ny, std::size_t chip_i, std::size_t chip_j) {
    DelphiCells c(nx, ny, 2, kMaterials, kParts);
    for (std::size_t i = 0; i < nx; ++i)
        for (std::size_t j = 0; j < ny; ++j) {
            c.Set(i, j, 0, "solder_ball");
            c.Set(i, j, 1, "mold");
        }
    c.Set(chip_i, chip_j, 1, "chip");
    c.SetPart(chip_i, chip_j, 1, "chip");
    return c;
}

std::shared_ptr<SurfaceRegister> Create(const DelphiCells& c,
                                        const std::shared_ptr<pkg::DetailedModel>& model,
                                        std::vector<pkg::GridLine> xs,
                                        std::vector<pkg::GridLine> ys) {
    return CreateSurfaceRegister(4, "PBGA", model, std::move(xs), std::move(ys), Lines({0, 1, 2}),
                                 c.material, c.part, c.materials, c.parts);
}

TEST(DelphiModelBGA, RegionsOfTheThreeLayouts) {
    auto full = Bga(0);
    const auto f = std::dynamic_pointer_cast<SurfaceRegister_DelphiModel_BGA_full>(
        Create(Block(1, 1, 0, 0), full, Lines({-1, 0}), Lines({-1, 0})));
    ASSERT_TRUE(f);
    EXPECT_EQ(f->region.x_low, -6.0);
    EXPECT_EQ(f->region.x_high, 6.0);
    // An odd count centres a column under the chip: 5 covered plus 2 x 4.
    full->solder_ball.number_all.x = 21;
    const auto f21 = std::dynamic_pointer_cast<SurfaceRegister_DelphiModel_BGA_full>(
        Create(Block(1, 1, 0, 0), full, Lines({-1, 0}), Lines({-1, 0})));
    EXPECT_EQ(f21->region.x_low, -6.5);
    EXPECT_EQ(f21->region.y_high, 6.0);

    auto out = Bga(1);
    const auto o = std::dynamic_pointer_cast<SurfaceRegister_DelphiModel_BGA_out>(
        Create(Block(1, 1, 0, 0), out, Lines({-1, 0}), Lines({-1, 0})));
    ASSERT_TRUE(o);
    EXPECT_EQ(o->region.x_low, -7.0);
    EXPECT_EQ(o->region.y_high, 7.0);

    const auto oc = std::dynamic_pointer_cast<SurfaceRegister_DelphiModel_BGA_outcenter>(
        Create(Block(1, 1, 0, 0), Bga(2), Lines({-1, 0}), Lines({-1, 0})));
    ASSERT_TRUE(oc);
    EXPECT_EQ(oc->region.x_low, -3.0);
    EXPECT_EQ(oc->region.y_high, 3.0);
    EXPECT_EQ(oc->second_region.x_low, -7.0);

    // Rings that meet or cross leave no centre: every column is a ball row.
    out->solder_ball.number_out = {10, 12};
    const auto none = Create(Block(2, 2, 0, 0), out, Lines({-1, -0.5, 0}), Lines({-1, -0.5, 0}));
    const auto nodes = none->BuildNodeList();
    EXPECT_EQ(nodes[2].size(), 4u);
    EXPECT_THAT(Entries(nodes[3]), IsEmpty());
}

TEST(DelphiModelBGA, PeripheralNodesByColumnLowCorner) {
    // Region -7..7. x: below, on the low bound, inside, on the high bound. y: a rounding
    // error short of the low bound (a face meant to lie on it), inside.
    const auto reg = Create(Block(4, 2, 2, 1), Bga(1), Lines({-8, -7, -6, 7, 8}),
                            Lines({-7.0 - 1e-12, -6, 0}));
    EXPECT_TRUE(reg->HasRequiredGroups());
    const auto nodes = reg->BuildNodeList();
    ASSERT_THAT(Names(nodes), ElementsAre("TI", "TO", "L", "B", "S", "J"));
    EXPECT_THAT(Entries(nodes[0]), ElementsAre(Entry{3, 2, 3, 3}));
    EXPECT_EQ(nodes[1].size(), 7u);
    EXPECT_THAT(Entries(nodes[2]), ElementsAre(Entry{1, 1, 1, 3}, Entry{1, 2, 1, 3},
                                               Entry{4, 1, 1, 3}, Entry{4, 2, 1, 3}));
    EXPECT_THAT(Entries(nodes[3]), ElementsAre(Entry{2, 1, 1, 3}, Entry{2, 2, 1, 3},
                                               Entry{3, 1, 1, 3}, Entry{3, 2, 1, 3}));
    // The outer x plane over the whole height, then the outer y plane.
    EXPECT_THAT(Entries(nodes[4]),
                ElementsAre(Entry{1, 1, 1, 1}, Entry{1, 1, 2, 1}, Entry{1, 2, 1, 1},
                            Entry{1, 2, 2, 1}, Entry{1, 1, 1, 2}, Entry{1, 1, 2, 2},
                            Entry{2, 1, 1, 2}, Entry{2, 1, 2, 2}, Entry{3, 1, 1, 2},
                            Entry{3, 1, 2, 2}, Entry{4, 1, 1, 2}, Entry{4, 1, 2, 2}));
    EXPECT_THAT(Entries(nodes[5]), ElementsAre(Entry{3, 2, 2, 0}));
}

TEST(DelphiModelBGA, FullAndCentreBlockNodes) {
    const auto full = Create(Block(4, 2, 0, 0), Bga(0), Lines({-8, -7, -6, 7, 8}),
                             Lines({-7, -6, 0}));
    const auto f = full->BuildNodeList();
    ASSERT_THAT(Names(f), ElementsAre("TI", "TO", "LI", "LO", "S", "J"));
    EXPECT_THAT(Entries(f[2]), ElementsAre(Entry{3, 2, 1, 3}));
    EXPECT_EQ(f[3].size(), 7u);

    // Centre block -3..3 inside the ball-free ring -7..7.
    const auto oc = Create(Block(3, 1, 0, 0), Bga(2), Lines({-8, -5, -3, 0}), Lines({-3, 0}));
    const auto n = oc->BuildNodeList();
    ASSERT_THAT(Names(n), ElementsAre("TI", "TO", "LI", "LO", "B", "S", "J"));
    EXPECT_THAT(Entries(n[2]), ElementsAre(Entry{3, 1, 1, 3}));
    EXPECT_THAT(Entries(n[3]), ElementsAre(Entry{1, 1, 1, 3}));
    EXPECT_THAT(Entries(n[4]), ElementsAre(Entry{2, 1, 1, 3}));

    // The via region is required only of a full array whose package has vias.
    auto vias = Bga(0);
    vias->composition.via = true;
    const auto unit = Lines({-1, 0});
    EXPECT_FALSE(Create(Block(1, 1, 0, 0), vias, unit, unit)->HasRequiredGroups());
    DelphiCells with_via = Block(1, 1, 0, 0);
    with_via.materials.emplace("via", 4);
    EXPECT_TRUE(Create(with_via, vias, unit, unit)->HasRequiredGroups());
    vias->solder_ball.layout = 1;
    EXPECT_TRUE(Create(Block(1, 1, 0, 0), vias, unit, unit)->HasRequiredGroups());
    DelphiCells no_air = Block(1, 1, 0, 0);
    no_air.materials.erase("air");
    EXPECT_FALSE(Create(no_air, Bga(2), unit, unit)->HasRequiredGroups());
}

TEST(CreateSurfaceRegister, DelphiRegistrationByTypeAndLayout) {
    DelphiCells c = Block(1, 1, 0, 0);
    auto make = [&c](const std::string& type, std::shared_ptr<pkg::DetailedModel> model) {
        return CreateSurfaceRegister(4, type, std::move(model), {}, {}, {}, c.material, c.part,
                                     c.materials, c.parts);
    };
    using std::dynamic_pointer_cast;
    EXPECT_TRUE(dynamic_pointer_cast<SurfaceRegister_DelphiModel_BGA_full>(make("FCBGA", Bga(0))));
    EXPECT_TRUE(dynamic_pointer_cast<SurfaceRegister_DelphiModel_BGA_out>(make("PBGA", Bga(1))));
    EXPECT_TRUE(
        dynamic_pointer_cast<SurfaceRegister_DelphiModel_BGA_outcenter>(make("FCBGA", Bga(2))));
    EXPECT_FALSE(make("PBGA", Bga(3)));
    EXPECT_FALSE(make("PBGA", Bga(-1)));
    EXPECT_FALSE(make("PBGA", std::make_shared<zentrik_test::HandModel>()));
    EXPECT_FALSE(make("PBGA", nullptr));
    EXPECT_FALSE(make("pbga", Bga(0)));
    EXPECT_FALSE(make("TO-252", Bga(0)));
}

// A peripheral array at a pitch that is no binary fraction: the ball-free centre node must
// hold exactly the columns under the centre's air block, whose face the grid got from the
// model.
TEST(DelphiModelBGA, CentreNodeMeetsTheAirBlockOfTheModel) {
    auto m = Bga(1);
    m->solder_ball.pitch = 0.3;
    m->solder_ball.diameter = 0.15;
    ASSERT_EQ(m->BuildWithAir(), 0);
    const auto params = pkg::MakeGridParameters(pkg::SmallestPartExtents(m->root), 100.0, 100.0,
                                                100.0, 0.1, 0.1, 0.1);
    std::vector<pkg::GridLine> xs, ys, zs;
    pkg::CellModel cells;
    ASSERT_TRUE(pkg::BuildSolverGrid(*m, params, xs, ys, zs, cells));

    const auto reg = CreateSurfaceRegister(4, "PBGA", m, xs, ys, zs, cells.material_cells,
                                           cells.part_cells, cells.material_index,
                                           cells.part_index);
    ASSERT_TRUE(reg && reg->HasRequiredGroups());
    const auto nodes = reg->BuildNodeList();
    const int32_t centre = cells.part_index.at("air_for_region");
    std::vector<Entry> expected_b, expected_l;
    for (std::size_t i = 0; i < cells.part_cells.nx(); ++i)
        for (std::size_t j = 0; j < cells.part_cells.ny(); ++j) {
            const Entry e{int(i + 1), int(j + 1), 1, 3};
            (cells.part_cells.at(i, j, 0) == centre ? expected_b : expected_l).push_back(e);
        }
    ASSERT_FALSE(expected_b.empty());
    EXPECT_EQ(Entries(nodes[3]), expected_b);
    EXPECT_EQ(Entries(nodes[2]), expected_l);
}

}  // namespace
