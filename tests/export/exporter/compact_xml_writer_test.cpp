#include "export/exporter/compact_xml_writer.h"

#include <fstream>
#include <sstream>

#include <boost/property_tree/xml_parser.hpp>
#include <gtest/gtest.h>

#include "export/reg_link_manager/registance_link_manager.h"
#include "models/bga/bga_detailed_model.h"
#include "models/qfp/qfp.h"
#include "platform/wide_string.h"

namespace {

using namespace pkg::exporter;
using pkg::reg_link_manager::CreateRegistanceLinkManager;

std::string Xml(const WideTree& tree) {
    std::wostringstream text;
    boost::property_tree::write_xml(
        text, tree,
        boost::property_tree::xml_writer_make_settings<std::wstring>(L' ', 2, L"utf-8"));
    return platform::WideToUtf8(text.str());
}

// Golden files were checked by hand against the document layout; set
// ZENTRIK_UPDATE_GOLDEN=1 to rewrite them after a deliberate change.
void ExpectGolden(const std::string& name, const std::string& actual) {
    const std::string path = std::string(ZENTRIK_TEST_DATA) + "/compact_xml/" + name;
    if (std::getenv("ZENTRIK_UPDATE_GOLDEN")) std::ofstream(path, std::ios::binary) << actual;
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    std::stringstream expected;
    expected << in.rdbuf();
    EXPECT_EQ(actual, expected.str()) << name;
}

TEST(CompactXml, TwoAndThreeResistorDocuments) {
    double values[64] = {12.5, 30, 1.0 / 3.0};
    pkg::qfp::QFP qfp(false);
    pkg::Group root;
    auto mold = pkg::MakeGroup(L"mold_group");
    mold->AddCuboid("mold", "mold", pkg::Cuboid{-3.5, -3.5, 0.1, 7, 7, 1.4});
    pkg::Prism lead;
    lead.corner[0] = {-4.5, -1, 0};
    lead.corner[1] = {-3.5, -1, 0};
    lead.corner[2] = {-3.5, 1, 0};
    lead.corner[3] = {-4.5, 1, 0};
    lead.base_z = 0.0;
    lead.thickness = 0.125;
    mold->AddPrism("outer_lead(0)", "lead", lead);
    root.AddChild(mold);
    WideTree two;
    WriteTwoResistorModelXml(qfp, root, values, L"q1", two);
    ExpectGolden("two_qfp.xml", Xml(two));

    pkg::qfp::QFP sop(true);
    sop.chip.rate_of_heating = 0.1;
    WideTree three;
    WriteThreeResistorModelXml(sop, values, L"部品", three);
    ExpectGolden("three_sop.xml", Xml(three));

    // Missing resistances are still written in the two- and three-resistor documents.
    double none[64] = {};
    WideTree qfpThree;
    WriteThreeResistorModelXml(qfp, none, L"q3", qfpThree);
    EXPECT_EQ(qfpThree.get<std::wstring>(L"library.component.<xmlattr>.type"), L"qfp");
    EXPECT_EQ(qfpThree.get<std::wstring>(L"library.component.lead"),
              L"5.72, 5.72, 0.125, 1, 0.6, 0.7");
    EXPECT_EQ(qfpThree.get_child(L"library.component.network").count(L"link"), 3u);
}

TEST(CompactXml, BgaTwoResistorSizeIncludesEveryBlock) {
    pkg::bga::BGADetailedModel bga(false);
    ASSERT_EQ(bga.BuildWithAir(), 0);
    double values[64] = {1, 2};
    WideTree two;
    WriteBgaTwoResistorModelXml(bga, values, L"b2", two);
    const BoundingBox box = ModelBoundingBox(bga.root);
    EXPECT_LE(box.min.x, -10.5);  // at least the board, and the air around it
    EXPECT_EQ(box.min.z, 0.0);
    EXPECT_GT(box.max.z, bga.SubstrateTopHeight() + bga.mold.thickness - 1e-12);
    EXPECT_EQ(two.get<std::wstring>(L"library.component.<xmlattr>.type"), L"two");
}

TEST(CompactXml, QfpDelphiLeavesOutZeroLinksAndNamesTheSideS1) {
    pkg::qfp::QFP qfp(false);
    auto links = CreateRegistanceLinkManager("QFP", nullptr);
    double values[64] = {};
    values[0] = 1.5;      // J-TI
    values[5] = 0.0001;   // J-S: small but present
    values[20] = 1.0 / 3; // L-S
    WideTree tree;
    WriteDelphiModelXml(qfp, values, *links, L"d1", tree);
    ExpectGolden("delphi_qfp.xml", Xml(tree));

    pkg::qfp::QFP sop(true);
    auto sopLinks = CreateRegistanceLinkManager("SOP", nullptr);
    double all[64];
    for (int l = 0; l < 64; ++l) all[l] = l + 1;
    WideTree sopTree;
    WriteDelphiModelXml(sop, all, *sopLinks, L"d2", sopTree);
    const WideTree& net = sopTree.get_child(L"library.component.network");
    EXPECT_EQ(sopTree.get<std::wstring>(L"library.component.<xmlattr>.type"), L"sop_delphi");
    EXPECT_EQ(net.count(L"node"), 8u);
    EXPECT_EQ(net.count(L"link"), 28u);
    const WideTree& last = std::prev(net.end())->second;
    EXPECT_EQ(last.get<std::wstring>(L"<xmlattr>.node1"), L"S1");
    EXPECT_EQ(last.get<std::wstring>(L"<xmlattr>.node2"), L"S2");
}

TEST(CompactXml, BgaDelphiNodeOrderAndRenamedLinks) {
    pkg::bga::BGADetailedModel bga(false);
    bga.solder_ball.layout = 1;
    auto links = CreateRegistanceLinkManager("PBGA", &bga);
    double values[64] = {};
    for (int l = 0; l < links->count; ++l) values[l] = l + 0.5;
    values[3] = 0.0;  // J-L absent
    WideTree tree;
    WriteBgaDelphiModelXml(bga, values, *links, L"b1", tree);
    ExpectGolden("delphi_bga_out.xml", Xml(tree));

    // Full grid: the inner region and the board; centre layout: the conduction nodes.
    bga.solder_ball.layout = 2;
    auto centre = CreateRegistanceLinkManager("PBGA", &bga);
    WideTree centreTree;
    WriteBgaDelphiModelXml(bga, values, *centre, L"b3", centreTree);
    std::vector<std::wstring> names;
    for (const auto& n : centreTree.get_child(L"library.component.network")) {
        if (n.first == L"node") names.push_back(n.second.get<std::wstring>(L"<xmlattr>.name"));
    }
    EXPECT_EQ(names, (std::vector<std::wstring>{L"TI", L"TO", L"S", L"LO", L"BI", L"LI", L"J"}));
}

TEST(CompactXml, BgaDelphiWidthsPerLayout) {
    pkg::bga::BGA bga(false);
    using W = std::array<double, 6>;
    EXPECT_EQ(BgaDelphiWidths(bga), (W{5, 5, 12, 12, 12, 12}));  // inner region -6..6
    bga.solder_ball.layout = 1;
    EXPECT_EQ(BgaDelphiWidths(bga), (W{5, 5, 14, 14, 0, 0}));
    bga.solder_ball.layout = 2;
    EXPECT_EQ(BgaDelphiWidths(bga), (W{5, 5, 14, 14, 6, 6}));
    bga.solder_ball.layout = 3;
    EXPECT_EQ(BgaDelphiWidths(bga), (W{5, 5, 0, 0, 0, 0}));

    // More outer rows than the array holds: no negative width.
    bga.solder_ball.layout = 1;
    bga.solder_ball.number_out = {12, 12};
    EXPECT_EQ(BgaDelphiWidths(bga), (W{5, 5, 0, 0, 0, 0}));

    EXPECT_EQ(MapBgaDelphiNodeName(1, L"B"), L"BI");
    EXPECT_EQ(MapBgaDelphiNodeName(1, L"L"), L"LO");
    EXPECT_EQ(MapBgaDelphiNodeName(2, L"B"), L"BI");
    EXPECT_EQ(MapBgaDelphiNodeName(2, L"L"), L"L");
    EXPECT_EQ(MapBgaDelphiNodeName(0, L"B"), L"B");
    EXPECT_EQ(MapBgaDelphiNodeName(1, L"BI"), L"BI");
}

}  // namespace
