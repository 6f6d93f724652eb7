#include "export/delphi_bc_cases.h"

#include <gtest/gtest.h>

namespace {

void ExpectCase(const pkg::DelphiBcCase& c, double t, double b, double l, double s) {
    EXPECT_EQ(c.top, t);
    EXPECT_EQ(c.bottom, b);
    EXPECT_EQ(c.lead, l);
    EXPECT_EQ(c.side, s);
}

TEST(DelphiCaseTables, LeadedAndBallGridTables) {
    const auto leaded = pkg::BuildLeadedDelphiBcTable();
    ASSERT_EQ(leaded.size(), 38u);
    ExpectCase(leaded.front(), 100, 100, 1000, 100);
    ExpectCase(leaded[34], 1.0e9, 1.0e9, 1.0e9, 1.0e9);
    ExpectCase(leaded.back(), 500, 500, 500, 500);

    const auto bga = pkg::BuildBgaDelphiBcTable();
    ASSERT_EQ(bga.size(), 58u);
    ExpectCase(bga.front(), 5, 1, 1, 5);
    ExpectCase(bga[24], 25, 1, 1, 5);
    ExpectCase(bga[52], 1.0e9, 1.0e9, 1.0e9, 1.0e9);
    ExpectCase(bga.back(), 1, 1, 10000, 1);

    // Every coefficient is positive: a zero would leave a stage with an adiabatic class.
    for (const auto* table : {&leaded, &bga}) {
        for (const auto& c : *table) {
            EXPECT_GT(c.top, 0);
            EXPECT_GT(c.bottom, 0);
            EXPECT_GT(c.lead, 0);
            EXPECT_GT(c.side, 0);
        }
    }
}

}  // namespace
