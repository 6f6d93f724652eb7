#include "export/reg_link_manager/registance_link_manager.h"

#include <gtest/gtest.h>

#include "models/bga/bga_detailed_model.h"

namespace {

using namespace pkg::reg_link_manager;

std::shared_ptr<pkg::DetailedModel> BgaModel(int layout) {
    auto m = std::make_shared<pkg::bga::BGADetailedModel>(false);
    m->solder_ball.layout = layout;
    return m;
}

TEST(LinkTables, CountsAndPairOrderPerFamily) {
    struct Expect {
        std::string type;
        int layout;
        int count;
        std::wstring first1, first2, last1, last2;
    };
    const Expect table[] = {
        {"QFP", 0, 21, L"J", L"TI", L"L", L"S"},
        {"SOP", 0, 28, L"J", L"TI", L"S1", L"S2"},
        {"PBGA", 0, 15, L"J", L"TI", L"LO", L"S"},
        {"FCBGA", 1, 15, L"J", L"TI", L"L", L"S"},
        {"PBGA", 2, 21, L"J", L"TI", L"LO", L"S"},
    };
    for (const Expect& e : table) {
        SCOPED_TRACE(e.type + " layout " + std::to_string(e.layout));
        auto links = CreateRegistanceLinkManager(e.type, BgaModel(e.layout));
        ASSERT_TRUE(links);
        ASSERT_EQ(links->count, e.count);
        EXPECT_EQ(links->nodes[0], e.first1);
        EXPECT_EQ(links->nodes[1], e.first2);
        EXPECT_EQ(links->nodes[2 * e.count - 2], e.last1);
        EXPECT_EQ(links->nodes[2 * e.count - 1], e.last2);
        EXPECT_TRUE(links->nodes[2 * e.count].empty());
    }
    // Spot checks inside the tables: the pair order follows the node order.
    auto sop = CreateRegistanceLinkManager("SOP", nullptr);
    EXPECT_EQ(sop->nodes[2 * 7], L"TI");
    EXPECT_EQ(sop->nodes[2 * 7 + 1], L"TO");
    auto outCenter = CreateRegistanceLinkManager("FCBGA", BgaModel(2).get());
    EXPECT_EQ(outCenter->nodes[2 * 15], L"B");
    EXPECT_EQ(outCenter->nodes[2 * 15 + 1], L"LI");
}

TEST(LinkTables, NoTableForOtherTypesLayoutsOrModels) {
    for (const char* type : {"qfp", "QFP ", "TO-220", "", "pbga"}) {
        EXPECT_FALSE(CreateRegistanceLinkManager(type, BgaModel(0))) << type;
    }
    EXPECT_FALSE(CreateRegistanceLinkManager("PBGA", BgaModel(3)));
    EXPECT_FALSE(CreateRegistanceLinkManager("FCBGA", BgaModel(-1)));
    EXPECT_FALSE(CreateRegistanceLinkManager("PBGA", std::shared_ptr<pkg::DetailedModel>()));
}

TEST(LinkTables, ValuesAreCollectedByPairInEitherOrder) {
    auto links = CreateRegistanceLinkManager("QFP", nullptr);
    const std::vector<pkg::ResistanceResult> results = {
        {"TI", "J", 4.5},   // reversed pair of link 0
        {"J", "TI", 99.0},  // a later duplicate never wins
        {"S", "L", 7.25},   // link 20, reversed
        {"J", "Ti", 1.0},   // case matters
    };
    double values[64];
    for (double& v : values) v = -1.0;
    links->CollectLinkValues(results, values);
    EXPECT_EQ(values[0], 4.5);
    EXPECT_EQ(values[20], 7.25);
    for (int l = 1; l < 20; ++l) EXPECT_EQ(values[l], 0.0) << l;
    EXPECT_EQ(values[21], -1.0);  // past the table: untouched

    links->CollectLinkValues({}, values);
    for (int l = 0; l < 21; ++l) EXPECT_EQ(values[l], 0.0);
}

}  // namespace
