#include "models/detailed_model.h"

#include <gtest/gtest.h>

namespace {

class TwoBlockModel : public pkg::DetailedModel {
public:
    int Build() override {
        ClearTree();
        std::vector<pkg::Property> list;
        auto mold = pkg::MakeGroup(L"mold_group");
        for (int i = 0; i < 2; ++i) {
            mold->AddCuboid(pkg::NumberedName("board(%d)", i), "mold",
                            pkg::Cuboid{double(i), 0, 0, 1, 1, 1});
        }
        AddProperty(list, pkg::IsotropicProperty("mold", 0.8, 1850, 1100));
        root.AddChild(mold);
        properties = list;
        return 0;
    }
    int BuildWithAir() override { return 0; }
};

TEST(AddProperty, FirstOfANameWinsAndCaseMatters) {
    std::vector<pkg::Property> list;
    EXPECT_TRUE(pkg::DetailedModel::AddProperty(list, pkg::IsotropicProperty("mold", 0.8, 1, 1)));
    EXPECT_FALSE(pkg::DetailedModel::AddProperty(list, pkg::IsotropicProperty("mold", 9.0, 2, 2)));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].conductivity, 0.8);
    EXPECT_EQ(list[0].density, 1.0);

    EXPECT_TRUE(pkg::DetailedModel::AddProperty(list, pkg::IsotropicProperty("Mold", 1.0, 1, 1)));
    // A name that is a prefix of another, or holds an embedded NUL, is still its own name.
    EXPECT_TRUE(pkg::DetailedModel::AddProperty(list, pkg::IsotropicProperty("mol", 1.0, 1, 1)));
    EXPECT_TRUE(pkg::DetailedModel::AddProperty(
        list, pkg::IsotropicProperty(std::string("mold\0x", 6), 1.0, 1, 1)));
    EXPECT_EQ(list.size(), 4u);
}

TEST(DetailedModel, NewModelIsEmptyAndRebuildsIdentically) {
    TwoBlockModel m;
    EXPECT_TRUE(m.Name().empty());
    EXPECT_TRUE(m.root.children.empty());
    EXPECT_TRUE(m.properties.empty());

    m.SetName(L"部品");
    m.Build();
    m.Build();
    EXPECT_EQ(m.Name(), L"部品");
    ASSERT_EQ(m.root.children.size(), 1u);
    ASSERT_EQ(m.root.children[0]->cuboids.size(), 2u);
    EXPECT_EQ(m.root.children[0]->cuboids[0].part_name, "board(0)");
    EXPECT_EQ(m.root.children[0]->cuboids[1].part_name, "board(1)");
    EXPECT_EQ(m.properties.size(), 1u);
}

TEST(DetailedModel, GroupsOutliveARebuildWhileHeld) {
    TwoBlockModel m;
    m.Build();
    pkg::GroupPtr held = m.root.children[0];
    m.Build();
    EXPECT_NE(held, m.root.children[0]);
    EXPECT_EQ(held->cuboids.size(), 2u);
}

TEST(NumberedName, FormatsPatternsOfAnyLength) {
    EXPECT_EQ(pkg::NumberedName("outer_lead(%d)", 12), "outer_lead(12)");
    const std::string longPattern = std::string(300, 'a') + "(%d)";
    EXPECT_EQ(pkg::NumberedName(longPattern.c_str(), 7), std::string(300, 'a') + "(7)");
}

}  // namespace
