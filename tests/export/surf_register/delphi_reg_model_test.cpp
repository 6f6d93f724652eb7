#include "export/surf_register/delphi_reg_model.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "export/surf_register/create_surface_register.h"
#include "tests/export/surf_register/delphi_test_cells.h"

namespace {

using pkg::surf_register::CreateSurfaceRegister;
using pkg::surf_register::SurfaceRegister;
using pkg::surf_register::SurfaceRegister_DelphiModel;
using pkg::surf_register::SurfaceRegister_DelphiModelSOP;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using zentrik_test::DelphiCells;
using zentrik_test::Entries;
using zentrik_test::Entry;
using zentrik_test::Names;

const pkg::NameIndexMap kMaterials = {{"mold", 0}, {"chip", 1}, {"lead", 2}};
const pkg::NameIndexMap kParts = {{"mold", 0}, {"chip", 1}, {"die_pad", 2}};

std::shared_ptr<SurfaceRegister> Create(const DelphiCells& c, const std::string& type) {
    return CreateSurfaceRegister(4, type, nullptr, {}, {}, {}, c.material, c.part, c.materials,
                                 c.parts);
}

TEST(DelphiModelQFP, DiePadRangeSplitsTopAndBottom) {
    // Two layers of mold; the die pad's two corner cells span x cells 3..7, y cells 4..9.
    DelphiCells c(8, 10, 2, kMaterials, kParts);
    for (std::size_t i = 0; i < 8; ++i)
        for (std::size_t j = 0; j < 10; ++j) {
            c.Set(i, j, 0, "mold");
            c.Set(i, j, 1, "mold");
        }
    c.Set(2, 3, 0, "lead"); c.SetPart(2, 3, 0, "die_pad");
    c.Set(6, 8, 0, "lead"); c.SetPart(6, 8, 0, "die_pad");
    c.Set(3, 6, 1, "chip");         // in the range, not mold-topped
    c.Set(1, 1, 1, "lead");         // outside it, not mold-topped
    c.material.at(0, 5, 0) = -1;    // a cavity under mold, outside the range

    const auto reg = Create(c, "QFP");
    ASSERT_TRUE(reg->HasRequiredGroups());
    const auto nodes = reg->BuildNodeList();
    ASSERT_THAT(Names(nodes), ElementsAre("TI", "TO", "BI", "BO", "S", "L", "J"));
    auto in_range = [](const Entry& e) {
        return 3 <= std::get<0>(e) && std::get<0>(e) <= 7 && 4 <= std::get<1>(e) &&
               std::get<1>(e) <= 9;
    };

    const auto ti = Entries(nodes[0]), to = Entries(nodes[1]);
    EXPECT_EQ(ti.size(), 29u);
    EXPECT_EQ(to.size(), 49u);
    EXPECT_TRUE(std::all_of(ti.begin(), ti.end(), in_range));
    EXPECT_TRUE(std::none_of(to.begin(), to.end(), in_range));
    EXPECT_TRUE(std::is_sorted(ti.begin(), ti.end()) && std::is_sorted(to.begin(), to.end()));
    // Every mold-topped column lands in exactly one of the two.
    const std::set<Entry> ti_set(ti.begin(), ti.end()), to_set(to.begin(), to.end());
    for (int i = 1; i <= 8; ++i)
        for (int j = 1; j <= 10; ++j) {
            const Entry e{i, j, 3, 3};
            const bool mold_top = c.material.at(i - 1, j - 1, 1) == c.materials.at("mold");
            EXPECT_EQ(ti_set.count(e) + to_set.count(e), mold_top ? 1u : 0u) << i << "," << j;
        }
    EXPECT_EQ(ti_set.count(Entry{5, 6, 3, 3}), 1u);
    EXPECT_EQ(to_set.count(Entry{2, 6, 3, 3}), 1u);

    // Mold on the die pad gives no bottom face; the cavity lifts one face to layer 2.
    const auto bi = Entries(nodes[2]), bo = Entries(nodes[3]);
    EXPECT_EQ(bi.size(), 28u);
    EXPECT_TRUE(std::all_of(bi.begin(), bi.end(), in_range));
    EXPECT_EQ(bo.size(), 50u);
    EXPECT_TRUE(std::none_of(bo.begin(), bo.end(), in_range));
    EXPECT_EQ(std::count(bo.begin(), bo.end(), Entry{1, 6, 2, 3}), 1);
    EXPECT_THAT(Entries(nodes[5]), ElementsAre(Entry{3, 4, 1, 3}, Entry{7, 9, 1, 3}));
    EXPECT_THAT(Entries(nodes[6]), ElementsAre(Entry{4, 7, 2, 0}));
}

// One layer, 4 x 3 cells: four lone mold cells, one against the outer x boundary, one in
// the middle, one against the outer y boundary and one against the symmetry plane x = 0.
DelphiCells LoneMoldCells() {
    DelphiCells c(4, 3, 1, kMaterials, kParts);
    c.Set(0, 2, 0, "mold");
    c.Set(1, 1, 0, "mold");
    c.Set(2, 0, 0, "mold");
    c.Set(3, 1, 0, "mold");
    return c;
}

TEST(DelphiModelQFP, SideFacesTowardEmptyCellsAndTheOuterBoundaryOnly) {
    const auto nodes = Create(LoneMoldCells(), "QFP")->BuildNodeList();
    EXPECT_THAT(Entries(nodes[4]),
                ElementsAre(Entry{1, 3, 1, 1}, Entry{2, 3, 1, 1}, Entry{1, 3, 1, 2},  // no +y
                            Entry{2, 2, 1, 1}, Entry{3, 2, 1, 1}, Entry{2, 2, 1, 2},
                            Entry{2, 3, 1, 2},
                            Entry{3, 1, 1, 1}, Entry{4, 1, 1, 1}, Entry{3, 1, 1, 2},
                            Entry{3, 2, 1, 2},
                            Entry{4, 2, 1, 1}, Entry{4, 2, 1, 2}, Entry{4, 3, 1, 2}));  // no +x

    // Mold up to the outer boundary and the symmetry planes: only the outer faces count.
    DelphiCells full(2, 2, 1, kMaterials, kParts);
    for (std::size_t i = 0; i < 2; ++i)
        for (std::size_t j = 0; j < 2; ++j) full.Set(i, j, 0, "mold");
    EXPECT_THAT(Entries(Create(full, "QFP")->BuildNodeList()[4]),
                ElementsAre(Entry{1, 1, 1, 1}, Entry{1, 1, 1, 2}, Entry{1, 2, 1, 1},
                            Entry{2, 1, 1, 2}));
}

TEST(DelphiModelSOP, XSidesAndTheOuterYPlane) {
    const auto reg = Create(LoneMoldCells(), "SOP");
    ASSERT_TRUE(std::dynamic_pointer_cast<SurfaceRegister_DelphiModelSOP>(reg));
    const auto nodes = reg->BuildNodeList();
    ASSERT_THAT(Names(nodes), ElementsAre("TI", "TO", "BI", "BO", "S1", "S2", "L", "J"));
    EXPECT_THAT(Entries(nodes[4]),
                ElementsAre(Entry{1, 3, 1, 1}, Entry{2, 3, 1, 1}, Entry{2, 2, 1, 1},
                            Entry{3, 2, 1, 1}, Entry{3, 1, 1, 1}, Entry{4, 1, 1, 1},
                            Entry{4, 2, 1, 1}));
    EXPECT_THAT(Entries(nodes[5]), ElementsAre(Entry{3, 1, 1, 2}));

    // "S2" takes every mold cell of the first y layer, even one between mold neighbours.
    DelphiCells row(3, 2, 2, kMaterials, kParts);
    for (std::size_t i = 0; i < 3; ++i) row.Set(i, 0, 1, "mold");
    row.Set(1, 1, 1, "mold");
    row.Set(1, 0, 0, "lead");
    EXPECT_THAT(Entries(Create(row, "SOP")->BuildNodeList()[5]),
                ElementsAre(Entry{1, 1, 2, 2}, Entry{2, 1, 2, 2}, Entry{3, 1, 2, 2}));
}

TEST(DelphiModelQFP, RequiredGroupsAndADiePadWithoutCells) {
    DelphiCells c(2, 2, 1, kMaterials, kParts);
    for (std::size_t i = 0; i < 2; ++i)
        for (std::size_t j = 0; j < 2; ++j) c.Set(i, j, 0, "mold");
    for (const char* type : {"QFP", "SOP"}) {
        const auto reg = Create(c, type);
        ASSERT_TRUE(std::dynamic_pointer_cast<SurfaceRegister_DelphiModel>(reg)) << type;
        EXPECT_TRUE(reg->HasRequiredGroups());
        const auto nodes = reg->BuildNodeList();
        EXPECT_THAT(Entries(nodes[0]), IsEmpty());
        EXPECT_THAT(Entries(nodes[2]), IsEmpty());
        EXPECT_EQ(nodes[1].size(), 4u);
        EXPECT_EQ(nodes[3].size(), 4u);
    }
    EXPECT_FALSE(std::dynamic_pointer_cast<SurfaceRegister_DelphiModelSOP>(Create(c, "QFP")));

    DelphiCells no_pad = c;
    no_pad.parts.erase("die_pad");
    EXPECT_FALSE(Create(no_pad, "QFP")->HasRequiredGroups());
    DelphiCells no_lead = c;
    no_lead.materials.erase("lead");
    EXPECT_FALSE(Create(no_lead, "SOP")->HasRequiredGroups());
}

}  // namespace
