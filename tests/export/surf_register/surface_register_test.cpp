#include "export/surf_register/create_surface_register.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "export/surf_register/two_three_reg_model.h"
#include "tests/export/test_model.h"

namespace {

using pkg::surf_register::CreateSurfaceRegister;
using pkg::surf_register::NodeRegister;
using pkg::surf_register::SurfaceRegister;
using pkg::surf_register::SurfaceRegister_TwoRegModel_BGA;
using pkg::surf_register::SurfaceRegister_TwoThreeRegModel;
using ::testing::ElementsAre;

using Entry = std::tuple<int, int, int, int>;

std::vector<Entry> Entries(const NodeRegister& node) {
    EXPECT_EQ(node.j.size(), node.i.size());
    EXPECT_EQ(node.k.size(), node.i.size());
    EXPECT_EQ(node.face.size(), node.i.size());
    std::vector<Entry> e;
    for (std::size_t n = 0; n < node.i.size(); ++n) {
        e.emplace_back(node.i[n], node.j[n], node.k[n], node.face[n]);
    }
    return e;
}

std::vector<std::string> Names(const std::vector<NodeRegister>& nodes) {
    std::vector<std::string> names;
    for (const auto& n : nodes) names.push_back(n.name);
    return names;
}

// A hand-made cell model: materials named by the map, cells set per (i, j, k), 0-based.
struct Cells {
    pkg::CellGrid material;
    pkg::CellGrid part;
    pkg::NameIndexMap materials;
    pkg::NameIndexMap parts;

    Cells(std::size_t nx, std::size_t ny, std::size_t nz, pkg::NameIndexMap names)
        : materials(std::move(names)) {
        material.Resize(nx, ny, nz);
        part.Resize(nx, ny, nz);
    }
    void Set(std::size_t i, std::size_t j, std::size_t k, const std::string& name) {
        material.at(i, j, k) = materials.at(name);
    }
    std::shared_ptr<SurfaceRegister> Create(uint32_t kind, const std::string& type) const {
        return CreateSurfaceRegister(kind, type, std::make_shared<zentrik_test::HandModel>(), {},
                                     {}, {}, material, part, materials, parts);
    }
};

const pkg::NameIndexMap kBgaMaterials = {
    {"mold", 0}, {"chip", 1}, {"solder_ball", 2}, {"air", 3}};

TEST(TwoRegModelBGA, PlanesCoverEveryColumnAndChipIsItsVolume) {
    Cells c(2, 3, 2, kBgaMaterials);
    for (std::size_t i = 0; i < 2; ++i)
        for (std::size_t j = 0; j < 3; ++j) {
            c.Set(i, j, 0, "solder_ball");
            c.Set(i, j, 1, j == 0 ? "air" : "mold");  // air at the top of one row
        }
    c.Set(1, 2, 1, "chip");
    c.material.at(0, 1, 0) = -1;

    const auto reg = c.Create(2, "PBGA");
    ASSERT_TRUE(std::dynamic_pointer_cast<SurfaceRegister_TwoRegModel_BGA>(reg));
    EXPECT_TRUE(reg->HasRequiredGroups());
    const auto nodes = reg->BuildNodeList();
    ASSERT_THAT(Names(nodes), ElementsAre("TOP", "LEAD", "CHIP"));
    EXPECT_THAT(Entries(nodes[0]), ElementsAre(Entry{1, 1, 3, 3}, Entry{1, 2, 3, 3}, Entry{1, 3, 3, 3},
                                               Entry{2, 1, 3, 3}, Entry{2, 2, 3, 3}, Entry{2, 3, 3, 3}));
    EXPECT_THAT(Entries(nodes[1]), ElementsAre(Entry{1, 1, 1, 3}, Entry{1, 2, 1, 3}, Entry{1, 3, 1, 3},
                                               Entry{2, 1, 1, 3}, Entry{2, 2, 1, 3}, Entry{2, 3, 1, 3}));
    EXPECT_THAT(Entries(nodes[2]), ElementsAre(Entry{2, 3, 2, 0}));
    EXPECT_EQ(reg->BuildNodeList()[0].i, nodes[0].i);  // the same list every time

    for (const char* missing : {"chip", "mold", "solder_ball", "air"}) {
        Cells without = c;
        without.materials.erase(missing);
        EXPECT_FALSE(without.Create(2, "FCBGA")->HasRequiredGroups()) << missing;
    }
}

const pkg::NameIndexMap kLeadedMaterials = {
    {"mold", 0}, {"chip", 1}, {"lead", 2}, {"outer_lead(left_right)", 3}, {"die_pad", 4}};

TEST(TwoThreeRegModel, SurfacesFollowMoldAndLeadCells) {
    // One row of columns along x (j = 1), three layers.
    Cells c(6, 1, 3, kLeadedMaterials);
    // Column 1: mold on the floor, topped by mold.
    c.Set(0, 0, 0, "mold"); c.Set(0, 0, 1, "mold"); c.Set(0, 0, 2, "mold");
    // Column 2: a cavity under the mold.
    c.Set(1, 0, 1, "mold"); c.Set(1, 0, 2, "mold");
    // Column 3: mold resting on a lead foot; no mold on top (empty top cell).
    c.Set(2, 0, 0, "lead"); c.Set(2, 0, 1, "mold");
    // Column 4: an outer lead foot with lead above it as the top cell.
    c.Set(3, 0, 0, "outer_lead(left_right)"); c.Set(3, 0, 2, "lead");
    // Column 5: lead only above the floor; mold resting on the die pad.
    c.Set(4, 0, 1, "lead"); c.Set(4, 0, 0, "die_pad"); c.Set(4, 0, 2, "mold");
    // Column 6: the chip, with nothing above or below it.
    c.Set(5, 0, 1, "chip");

    for (uint32_t kind : {2u, 3u}) {
        const auto reg = c.Create(kind, "QFP");
        ASSERT_TRUE(std::dynamic_pointer_cast<SurfaceRegister_TwoThreeRegModel>(reg)) << kind;
        EXPECT_TRUE(reg->HasRequiredGroups());
        const auto nodes = reg->BuildNodeList();
        ASSERT_THAT(Names(nodes), ElementsAre("TOP", "BOTTOM", "LEAD", "CHIP"));
        EXPECT_THAT(Entries(nodes[0]),
                    ElementsAre(Entry{1, 1, 4, 3}, Entry{2, 1, 4, 3}, Entry{5, 1, 4, 3}));
        // Mold on the floor and over the cavity; mold over lead, chip or die pad gives nothing.
        EXPECT_THAT(Entries(nodes[1]), ElementsAre(Entry{1, 1, 1, 3}, Entry{2, 1, 2, 3}));
        EXPECT_THAT(Entries(nodes[2]), ElementsAre(Entry{3, 1, 1, 3}, Entry{4, 1, 1, 3}));
        EXPECT_THAT(Entries(nodes[3]), ElementsAre(Entry{6, 1, 2, 0}));
    }

    // Without "lead" the registration refuses; the outer leads alone are not enough.
    Cells no_lead = c;
    no_lead.materials.erase("lead");
    EXPECT_FALSE(no_lead.Create(3, "SOP")->HasRequiredGroups());
    // A ball grid array asked for three resistors gets the leaded registration and fails it.
    Cells bga(1, 1, 1, kBgaMaterials);
    const auto three = bga.Create(3, "PBGA");
    ASSERT_TRUE(std::dynamic_pointer_cast<SurfaceRegister_TwoThreeRegModel>(three));
    EXPECT_FALSE(three->HasRequiredGroups());
}

TEST(SurfaceRegister, EmptyGridGivesNamedNodesWithoutEntries) {
    Cells c(0, 0, 0, kBgaMaterials);
    for (const auto& type : {std::string("PBGA"), std::string("QFP")}) {
        const auto nodes = c.Create(2, type)->BuildNodeList();
        ASSERT_FALSE(nodes.empty());
        for (const auto& n : nodes) EXPECT_EQ(n.size(), 0u) << n.name;
    }
}

TEST(CreateSurfaceRegister, KindAndTypeChooseTheRegistration) {
    Cells c(1, 1, 1, kBgaMaterials);
    auto is_bga = [](const std::shared_ptr<SurfaceRegister>& r) {
        return bool(std::dynamic_pointer_cast<SurfaceRegister_TwoRegModel_BGA>(r));
    };
    auto is_leaded = [](const std::shared_ptr<SurfaceRegister>& r) {
        return bool(std::dynamic_pointer_cast<SurfaceRegister_TwoThreeRegModel>(r));
    };
    EXPECT_TRUE(is_bga(c.Create(2, "PBGA")));
    EXPECT_TRUE(is_bga(c.Create(2, "FCBGA")));
    // Types compare exactly: the package objects' own lower-case names are not folders.
    EXPECT_TRUE(is_leaded(c.Create(2, "pbga")));
    EXPECT_TRUE(is_leaded(c.Create(2, "PBGA ")));
    EXPECT_TRUE(is_leaded(c.Create(2, "TO-220")));
    EXPECT_TRUE(is_leaded(c.Create(3, "FCBGA")));
    EXPECT_TRUE(is_leaded(c.Create(3, "SOT-89")));
    for (uint32_t kind : {0u, 1u, 5u, 0xFFFFFFFFu}) EXPECT_FALSE(c.Create(kind, "QFP")) << kind;
    EXPECT_FALSE(c.Create(4, "TO-220"));
}

}  // namespace
