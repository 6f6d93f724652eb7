#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "models/pdevice/power_device_model.h"
#include "tests/models/bga/bga_model_test_util.h"
#include "tests/models/pdevice/pdevice_test_util.h"

namespace {

using namespace pkg::pdevice;
using pkg::Cuboid;
using pkg::NamedCuboid;
using testutil::AllDevices;
using testutil::ChildNames;
using testutil::FindGroup;
using testutil::MaterialNames;

constexpr double kTol = 1e-9;

const std::vector<NamedCuboid>& Blocks(const pkg::DetailedModel& m, const std::wstring& group) {
    return FindGroup(m, group)->cuboids;
}

const Cuboid& Block(const pkg::DetailedModel& m, const std::wstring& group, size_t i = 0) {
    return Blocks(m, group).at(i).box;
}

void ExpectX(const Cuboid& b, double x0, double x1) {
    EXPECT_NEAR(b.x, x0, kTol);
    EXPECT_NEAR(b.x + b.dx, x1, kTol);
}
void ExpectY(const Cuboid& b, double y0, double y1) {
    EXPECT_NEAR(b.y, y0, kTol);
    EXPECT_NEAR(b.y + b.dy, y1, kTol);
}
void ExpectZ(const Cuboid& b, double z0, double z1) {
    EXPECT_NEAR(b.z, z0, kTol);
    EXPECT_NEAR(b.z + b.dz, z1, kTol);
}

size_t BlockCount(const pkg::DetailedModel& m) {
    size_t n = m.root.cuboids.size();
    for (const auto& g : m.root.children) n += g->cuboids.size();
    return n;
}

// Lowest and highest y of all blocks: the outline along the leads.
std::pair<double, double> OutlineY(const pkg::DetailedModel& m) {
    double lo = 1e9, hi = -1e9;
    for (const auto& g : m.root.children) {
        for (const auto& c : g->cuboids) {
            lo = std::min(lo, c.box.y);
            hi = std::max(hi, c.box.y + c.box.dy);
        }
    }
    return {lo, hi};
}

// The three leads' centres in x, from every third block (or every block when straight).
void ExpectLeadCentres(const pkg::DetailedModel& m, size_t stride, std::vector<double> xs) {
    const auto& leads = Blocks(m, L"lead_group");
    ASSERT_EQ(leads.size(), stride * xs.size());
    for (size_t i = 0; i < xs.size(); ++i) {
        const Cuboid& b = leads[i * stride].box;
        EXPECT_NEAR(b.x + b.dx / 2.0, xs[i], kTol) << i;
    }
}

const std::vector<std::wstring> kGroups = {L"mold_group", L"plate_group", L"bonded_part_group",
                                           L"chip_group", L"lead_group"};
const std::vector<std::string> kMaterials = {"mold", "plate", "bonded_part", "chip", "lead"};

TEST(PowerDeviceModel, TO220AndTO247Defaults) {
    TO220DetailedModel a;
    ASSERT_EQ(a.Build(), 0);
    EXPECT_EQ(ChildNames(a), kGroups);
    EXPECT_EQ(MaterialNames(a), kMaterials);
    EXPECT_EQ(BlockCount(a), 8u);
    EXPECT_EQ(Blocks(a, L"plate_group").at(1).part_name, "plate(1)");
    EXPECT_EQ(Blocks(a, L"lead_group").at(2).part_name, "lead(2)");
    EXPECT_NEAR(OutlineY(a).first, -13.45, kTol);
    EXPECT_NEAR(OutlineY(a).second, 13.45, kTol);
    ExpectY(Block(a, L"mold_group"), -0.75, 7.65);
    ExpectZ(Block(a, L"mold_group"), 0.0, 3.6);
    ExpectY(Block(a, L"plate_group", 0), 7.65, 13.45);
    ExpectX(Block(a, L"plate_group", 1), -3.45, 3.45);
    ExpectY(Block(a, L"plate_group", 1), 1.25, 7.65);
    ExpectY(Block(a, L"chip_group"), 2.25, 5.25);
    ExpectZ(Block(a, L"chip_group"), 0.52, 0.82);
    ExpectX(Block(a, L"chip_group"), -1.5, 1.5);
    ExpectZ(Block(a, L"bonded_part_group"), 0.5, 0.52);
    ExpectY(Block(a, L"lead_group", 0), -13.45, 0.25);
    ExpectZ(Block(a, L"lead_group", 2), 2.0, 2.36);
    ExpectLeadCentres(a, 1, {-2.5, 0.0, 2.5});
    const pkg::Property& chip = testutil::Material(a, "chip");
    EXPECT_EQ(chip.kind, pkg::Property::kIsotropic);
    EXPECT_EQ(chip.conductivity, 120.0);
    EXPECT_EQ(testutil::Material(a, "bonded_part").conductivity, 2.0);

    TO247DetailedModel b;
    ASSERT_EQ(b.Build(), 0);
    EXPECT_EQ(ChildNames(b), kGroups);
    EXPECT_EQ(BlockCount(b), 7u);
    EXPECT_EQ(Blocks(b, L"plate_group").at(0).part_name, "plate");
    EXPECT_NEAR(OutlineY(b).first, -16.95, kTol);
    EXPECT_NEAR(OutlineY(b).second, 16.95, kTol);  // the mold's far face
    ExpectY(Block(b, L"plate_group"), 3.35, 16.45);
    ExpectZ(Block(b, L"plate_group"), 0.0, 1.5);
    ExpectY(Block(b, L"chip_group"), 5.35, 10.35);
    ExpectZ(Block(b, L"chip_group"), 1.52, 1.82);
    ExpectZ(Block(b, L"lead_group", 1), 2.2, 2.58);
    ExpectLeadCentres(b, 1, {-5.5, 0.0, 5.5});

    // D2 moves the TO-220 chip with the plate edge, and the TO-247 plate and chip together.
    a.outer_shape_param.D2 = 11.2;
    b.outer_shape_param.D2 = 1.5;
    a.Build();
    b.Build();
    ExpectY(Block(a, L"chip_group"), 3.25, 6.25);
    ExpectY(Block(b, L"plate_group"), 2.35, 15.45);
    ExpectY(Block(b, L"chip_group"), 4.35, 9.35);
}

TEST(PowerDeviceModel, TO263AndTO252Defaults) {
    TO263DetailedModel a;
    ASSERT_EQ(a.Build(), 0);
    EXPECT_EQ(ChildNames(a), kGroups);
    EXPECT_NEAR(OutlineY(a).first, -7.3025, kTol);
    EXPECT_NEAR(OutlineY(a).second, 7.3025, kTol);
    ExpectY(Block(a, L"mold_group"), -2.7535, 5.6265);
    ExpectZ(Block(a, L"mold_group"), 0.0, 4.065);
    ExpectY(Block(a, L"plate_group", 0), 5.6265, 7.3025);
    ExpectX(Block(a, L"plate_group", 0), -4.825, 4.825);
    ExpectY(Block(a, L"plate_group", 1), 0.4425, 5.6265);
    ExpectX(Block(a, L"plate_group", 1), -3.1125, 3.1125);
    ExpectZ(Block(a, L"plate_group", 1), 0.0, 1.143);
    ExpectY(Block(a, L"chip_group"), 1.4425, 3.4425);
    ExpectZ(Block(a, L"chip_group"), 1.163, 1.463);
    // Arm, riser, foot of the left lead.
    ExpectY(Block(a, L"lead_group", 0), -5.5225, -1.7535);
    ExpectZ(Block(a, L"lead_group", 0), 1.684, 2.065);
    ExpectY(Block(a, L"lead_group", 1), -5.9035, -5.5225);
    ExpectZ(Block(a, L"lead_group", 1), 0.381, 2.065);
    ExpectY(Block(a, L"lead_group", 2), -7.3025, -5.5225);
    ExpectZ(Block(a, L"lead_group", 2), 0.0, 0.381);
    ExpectX(Block(a, L"lead_group", 2), -2.794, -2.286);
    ExpectLeadCentres(a, 3, {-2.54, 0.0, 2.54});

    TO252DetailedModel b;
    ASSERT_EQ(b.Build(), 0);
    EXPECT_NEAR(OutlineY(b).first, -4.699, kTol);
    EXPECT_NEAR(OutlineY(b).second, 4.699, kTol);
    ExpectY(Block(b, L"mold_group"), -2.159, 3.81);
    ExpectY(Block(b, L"plate_group", 0), 3.81, 4.699);
    ExpectX(Block(b, L"plate_group", 0), -2.4765, 2.4765);
    ExpectY(Block(b, L"plate_group", 1), -0.508, 3.81);
    ExpectX(Block(b, L"plate_group", 1), -2.159, 2.159);
    ExpectZ(Block(b, L"plate_group", 1), 0.0, 0.457);
    ExpectY(Block(b, L"chip_group"), 0.492, 2.492);
    ExpectZ(Block(b, L"chip_group"), 0.477, 0.777);
    const auto& leads = Blocks(b, L"lead_group");
    ASSERT_EQ(leads.size(), 7u);
    for (size_t i : {0, 3, 4}) {  // the three arms; lead(3) is the cut centre lead
        ExpectY(leads[i].box, -3.302, -1.159);
        ExpectZ(leads[i].box, 0.727, 1.184);
    }
    EXPECT_NEAR(leads[3].box.x + leads[3].box.dx / 2.0, 0.0, kTol);
}

TEST(PowerDeviceModel, LeadTypesGiveTheirBlockCounts) {
    struct Case {
        std::function<std::unique_ptr<PowerDeviceModel>()> make;
        int lead_type;
        size_t blocks;
    };
    auto to263 = [] { return std::make_unique<TO263DetailedModel>(); };
    auto to252 = [] { return std::make_unique<TO252DetailedModel>(); };
    const Case cases[] = {{to263, 0, 14}, {to263, 1, 12}, {to263, 2, 20}, {to263, 3, 26},
                          {to263, 5, 5},  {to263, -1, 5}, {to252, 0, 12}, {to252, 1, 18},
                          {to252, 2, 5},  {to252, -7, 5}};
    for (const Case& c : cases) {
        auto m = c.make();
        m->composition.lead_type = c.lead_type;
        SCOPED_TRACE(std::string(m->TypeName()) + " lead type " + std::to_string(c.lead_type));
        ASSERT_EQ(m->Build(), 0);
        EXPECT_EQ(BlockCount(*m), c.blocks);
        EXPECT_EQ(ChildNames(*m).back(), L"lead_group");
        EXPECT_EQ(MaterialNames(*m).back(), "lead");
    }

    // TO-263 type 1: the outer leads of type 0, the centre one an arm off the board.
    TO263DetailedModel full, cut;
    cut.composition.lead_type = 1;
    full.Build();
    cut.Build();
    const auto& f = Blocks(full, L"lead_group");
    const auto& k = Blocks(cut, L"lead_group");
    ASSERT_EQ(k.size(), 7u);
    EXPECT_EQ(k[3].part_name, "lead(3)");
    EXPECT_NEAR(k[3].box.x, -0.254, kTol);
    EXPECT_NEAR(k[3].box.z, 1.684, kTol);
    for (size_t i : {0, 1, 2}) EXPECT_EQ(k[i].box.y, f[i].box.y);
    for (size_t i : {4, 5, 6}) EXPECT_EQ(k[i].box.x, f[i + 2].box.x);
}

TEST(PowerDeviceModel, SOT89AndSOT223Defaults) {
    SOT89DetailedModel a;
    ASSERT_EQ(a.Build(), 0);
    EXPECT_EQ(ChildNames(a), kGroups);
    EXPECT_EQ(BlockCount(a), 7u);
    EXPECT_NEAR(OutlineY(a).first, -1.875, kTol);
    EXPECT_NEAR(OutlineY(a).second, 1.875, kTol);
    ExpectX(Block(a, L"mold_group"), -2.2, 2.2);
    ExpectY(Block(a, L"mold_group"), -1.075, 1.325);
    ExpectZ(Block(a, L"mold_group"), 0.0, 1.4);
    ExpectY(Block(a, L"plate_group"), -0.575, 1.875);
    ExpectX(Block(a, L"plate_group"), -0.7, 0.7);
    ExpectZ(Block(a, L"plate_group"), 0.0, 0.37);
    ExpectY(Block(a, L"chip_group"), -0.075, 0.925);
    ExpectZ(Block(a, L"chip_group"), 0.39, 0.44);
    ExpectY(Block(a, L"lead_group", 1), -1.875, -0.575);
    ExpectZ(Block(a, L"lead_group", 1), 0.0, 0.37);
    ExpectLeadCentres(a, 1, {-1.5, 0.0, 1.5});

    SOT223DetailedModel b;
    b.composition.lead_type = 3;  // no effect on this device
    ASSERT_EQ(b.Build(), 0);
    EXPECT_EQ(ChildNames(b),
              (std::vector<std::wstring>{L"mold_group", L"plate_group", L"diepad_group",
                                         L"bonded_part_group", L"chip_group", L"lead_group"}));
    EXPECT_EQ(MaterialNames(b),
              (std::vector<std::string>{"mold", "plate", "diepad", "bonded_part", "chip", "lead"}));
    EXPECT_EQ(BlockCount(b), 16u);
    EXPECT_EQ(Blocks(b, L"diepad_group").at(0).part_name, "diepad");
    const pkg::Property& pad = testutil::Material(b, "diepad");
    const pkg::Property& plate = testutil::Material(b, "plate");
    EXPECT_EQ(pad.conductivity, plate.conductivity);
    EXPECT_EQ(pad.density, plate.density);
    EXPECT_EQ(pad.specific_heat, plate.specific_heat);
    EXPECT_NEAR(OutlineY(b).first, -3.35, kTol);
    EXPECT_NEAR(OutlineY(b).second, 3.35, kTol);
    ExpectX(Block(b, L"mold_group"), -3.15, 3.15);
    ExpectY(Block(b, L"mold_group"), -1.6, 1.7);
    ExpectY(Block(b, L"diepad_group"), -0.95, 1.05);
    ExpectX(Block(b, L"diepad_group"), -2.0, 2.0);
    ExpectZ(Block(b, L"diepad_group"), 0.57, 0.8);
    ExpectY(Block(b, L"chip_group"), 0.05, 1.05);
    ExpectZ(Block(b, L"chip_group"), 0.82, 0.87);
    ExpectY(Block(b, L"plate_group", 0), 2.32, 3.35);
    ExpectZ(Block(b, L"plate_group", 0), 0.0, 0.23);
    ExpectY(Block(b, L"plate_group", 1), 2.32, 2.55);
    ExpectZ(Block(b, L"plate_group", 1), 0.23, 0.8);
    ExpectY(Block(b, L"plate_group", 2), 1.05, 2.32);
    ExpectZ(Block(b, L"plate_group", 2), 0.57, 0.8);
    ExpectY(Block(b, L"lead_group", 0), -2.6, -1.4);
    ExpectY(Block(b, L"lead_group", 2), -3.35, -2.6);
    ExpectLeadCentres(b, 3, {-2.3, 0.0, 2.3});

    // The tab arm follows the die pad's far edge; the chip stays.
    b.inner_shape_param.diepad_y = 1.5;
    b.Build();
    ExpectY(Block(b, L"plate_group", 2), 0.8, 2.32);
    ExpectY(Block(b, L"chip_group"), 0.05, 1.05);
}

TEST(PowerDeviceModel, BondedPartOffLowersTheChipOntoTheMount) {
    const double mounts[] = {0.5, 1.5, 1.143, 0.457, 0.37, 0.8};  // A1, A2, c2, c2, c, A - Q
    for (size_t i = 0; i < AllDevices().size(); ++i) {
        SCOPED_TRACE(AllDevices()[i].type);
        auto m = AllDevices()[i].make();
        m->composition.bonded_part = false;
        ASSERT_EQ(m->Build(), 0);
        const auto groups = ChildNames(*m);
        EXPECT_EQ(std::count(groups.begin(), groups.end(), L"bonded_part_group"), 0);
        const auto materials = MaterialNames(*m);
        EXPECT_EQ(std::count(materials.begin(), materials.end(), "bonded_part"), 0);
        EXPECT_NEAR(Block(*m, L"chip_group").z, mounts[i], kTol);
        EXPECT_NEAR(Block(*m, L"chip_group").dz, m->chip.thickness, kTol);
    }
}

bool SameTree(const pkg::DetailedModel& a, const pkg::DetailedModel& b) {
    if (ChildNames(a) != ChildNames(b) || MaterialNames(a) != MaterialNames(b)) return false;
    for (size_t g = 0; g < a.root.children.size(); ++g) {
        const auto& x = a.root.children[g]->cuboids;
        const auto& y = b.root.children[g]->cuboids;
        if (x.size() != y.size()) return false;
        for (size_t i = 0; i < x.size(); ++i) {
            if (x[i].part_name != y[i].part_name || x[i].property_name != y[i].property_name ||
                x[i].box.x != y[i].box.x || x[i].box.y != y[i].box.y || x[i].box.z != y[i].box.z ||
                x[i].box.dx != y[i].box.dx || x[i].box.dy != y[i].box.dy ||
                x[i].box.dz != y[i].box.dz) {
                return false;
            }
        }
    }
    return true;
}

TEST(PowerDeviceModel, RebuildsAreStableAndAirChangesNothing) {
    for (const auto& device : AllDevices()) {
        SCOPED_TRACE(device.type);
        auto m = device.make();
        EXPECT_EQ(m->BuildWithAir(), 0);
        EXPECT_TRUE(m->root.children.empty());
        EXPECT_TRUE(m->properties.empty());
        m->Build();
        auto once = device.make();
        once->Build();
        EXPECT_EQ(m->Build(), 0);
        EXPECT_TRUE(SameTree(*m, *once));
        m->outer_shape_param.A += 1.0;  // not seen until the next build
        EXPECT_EQ(m->BuildWithAir(), 0);
        EXPECT_TRUE(SameTree(*m, *once));
        EXPECT_TRUE(m->root.cuboids.empty());
    }
}

TEST(PowerDeviceModel, BlocksEndingBeforeTheyStartGetZeroExtent) {
    TO220DetailedModel a;
    a.outer_shape_param.D2 = 5.0;  // shorter than D - D1: the inner plate would run backwards
    a.Build();
    const auto& plates = Blocks(a, L"plate_group");
    ASSERT_EQ(plates.size(), 2u);
    EXPECT_EQ(plates[1].part_name, "plate(1)");
    EXPECT_EQ(plates[1].box.dy, 0.0);
    EXPECT_NEAR(plates[1].box.y, 8.45, kTol);  // at its start, L + D - D2 - S/2
    EXPECT_NEAR(plates[1].box.dx, 6.9, kTol);

    SOT223DetailedModel b;
    b.outer_shape_param.L2 = 4.0;  // the tab foot starts before the die pad's far edge
    b.Build();
    EXPECT_EQ(Blocks(b, L"plate_group").at(2).part_name, "plate(2)");
    EXPECT_EQ(Block(b, L"plate_group", 2).dy, 0.0);

    TO263DetailedModel c;
    c.inner_shape_param.inner_lead = -4.0;  // arm end before the foot's end
    c.Build();
    EXPECT_EQ(BlockCount(c), 14u);
    EXPECT_EQ(Block(c, L"lead_group", 0).dy, 0.0);
    EXPECT_GT(Block(c, L"lead_group", 2).dy, 0.0);

    for (const auto& device : AllDevices()) {
        auto m = device.make();
        m->Build();
        for (const auto& g : m->root.children) {
            for (const auto& block : g->cuboids) {
                EXPECT_GE(block.box.dx, 0.0) << device.type << " " << block.part_name;
                EXPECT_GE(block.box.dy, 0.0) << device.type << " " << block.part_name;
                EXPECT_GE(block.box.dz, 0.0) << device.type << " " << block.part_name;
            }
        }
    }
}

TEST(PowerDeviceModel, KeptAsDesigned) {
    // Five devices carry no die pad: its conductivity stays 0.
    for (size_t i = 0; i + 1 < AllDevices().size(); ++i) {
        EXPECT_EQ(AllDevices()[i].make()->property.diepad_thermal_conductivity, 0.0);
    }
    // A row of leads wider than the mold is built like any other.
    TO263DetailedModel m;
    m.composition.lead_type = 3;
    m.outer_shape_param.E = 5.0;
    m.Build();
    EXPECT_NEAR(Block(m, L"lead_group", 0).x, -3 * 2.54 - 0.254, kTol);
}

}  // namespace
