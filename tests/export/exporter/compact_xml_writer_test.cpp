#include "export/exporter/compact_xml_writer.h"

#include <clocale>
#include <cstdio>
#include <fstream>
#include <limits>
#include <locale>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "export/reg_link_manager/registance_link_manager.h"
#include "models/bga/bga_detailed_model.h"
#include "models/qfp/qfp.h"
#include "tests/export/exporter/compact_xml_documents.h"

namespace {

using namespace pkg::exporter;
using pkg::reg_link_manager::CreateRegistanceLinkManager;

// The golden files were checked by hand against the document layout. They are rewritten
// only by scripts/update-goldens, whose diff a person reads.
void ExpectGoldenDocuments() {
    for (const auto& [name, actual] : testutil::CompactXmlDocuments()) {
        const std::string path = std::string(ZENTRIK_TEST_DATA) + "/compact_xml/" + name;
        std::ifstream in(path, std::ios::binary);
        ASSERT_TRUE(in) << path;
        std::stringstream expected;
        expected << in.rdbuf();
        EXPECT_EQ(actual, expected.str()) << name;
    }
}

// Sets a locale whose decimal separator is ',' for the process and the C++ streams, and
// restores both.
class CommaLocale {
public:
    CommaLocale() : old_global_(std::locale()) {
        if (const char* c = std::setlocale(LC_ALL, nullptr)) old_c_ = c;
        ok_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
        if (ok_) std::locale::global(std::locale("de_DE.UTF-8"));
    }
    ~CommaLocale() {
        std::locale::global(old_global_);
        std::setlocale(LC_ALL, old_c_.c_str());
    }
    bool ok() const { return ok_; }

private:
    std::locale old_global_;
    std::string old_c_ = "C";
    bool ok_ = false;
};

TEST(CompactXml, GoldenDocuments) { ExpectGoldenDocuments(); }

// Values and sizes keep '.' whatever LC_NUMERIC says.
TEST(CompactXml, GoldenDocumentsUnderACommaLocale) {
    const CommaLocale comma;
    ASSERT_TRUE(comma.ok()) << "scripts/setup provides de_DE.UTF-8";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%g", 12.5);
    ASSERT_STREQ(probe, "12,5");  // the locale really is in force
    ExpectGoldenDocuments();
}

TEST(CompactXml, MissingResistancesAreStillWritten) {
    pkg::qfp::QFP qfp(false);
    double none[64] = {};
    WideTree qfpThree;
    WriteThreeResistorModelXml(qfp, none, L"q3", qfpThree);
    EXPECT_EQ(qfpThree.get<std::wstring>(L"library.component.<xmlattr>.type"), L"qfp");
    EXPECT_EQ(qfpThree.get<std::wstring>(L"library.component.lead"),
              L"5.72, 5.72, 0.125, 1, 0.6, 0.7");
    EXPECT_EQ(qfpThree.get_child(L"library.component.network").count(L"link"), 3u);

    // A lead count of INT_MIN from a part file gives a (meaningless) span, not an overflow.
    qfp.lead.number_of_xmin_xmax_lead = std::numeric_limits<int32_t>::min();
    WideTree huge;
    WriteThreeResistorModelXml(qfp, none, L"q4", huge);
    EXPECT_EQ(huge.get<std::wstring>(L"library.component.lead").substr(0, 14), L"5.72, -1.07374");
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

// The QFP document with zero links left out is a golden file.
TEST(CompactXml, SopDelphiNamesTheSidesS1AndS2) {
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

// The outer-ring document is a golden file; the centre layout adds the conduction nodes.
TEST(CompactXml, BgaDelphiCentreLayoutNodeOrder) {
    pkg::bga::BGADetailedModel bga(false);
    bga.solder_ball.layout = 2;
    double values[64] = {};
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
