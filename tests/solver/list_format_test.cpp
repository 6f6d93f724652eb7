#include "solver/list_format.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

using resist_model::FormatInt;
using resist_model::FormatReal;
using resist_model::LabelEquals;

// A positive value leaves the sign position blank, so its 11 characters sit after one
// leading blank and that sign blank in the 12-column field.
TEST(ListFormatTest, RealsInExponentFormOfTwelveColumns) {
    EXPECT_EQ(FormatReal(9.8765e-05), "  9.8765E-05");
    EXPECT_EQ(FormatReal(0.0), "  0.0000E+00");
    EXPECT_EQ(FormatReal(-1.0e20), " -1.0000E+20");
    EXPECT_EQ(FormatReal(1.0e-4), "  1.0000E-04");
    EXPECT_EQ(FormatReal(123456.0), "  1.2346E+05");
    EXPECT_EQ(FormatReal(9.99996), "  1.0000E+01");  // rounding carries into the exponent
    EXPECT_EQ(FormatReal(1.0e100), "  1.0000+100");
    EXPECT_EQ(FormatReal(-2.5e-123), " -2.5000-123");
    EXPECT_EQ(FormatReal(100.0, 12, 5), " 1.00000E+02");
    EXPECT_EQ(FormatReal(1.0e9, 12, 5), " 1.00000E+09");
    EXPECT_EQ(FormatReal(std::numeric_limits<double>::quiet_NaN()), "         NaN");
    EXPECT_EQ(FormatReal(-std::numeric_limits<double>::infinity()), "   -Infinity");
    for (double v : {1.0, -3.3e-7, 6.02e23}) EXPECT_EQ(FormatReal(v).size(), 12u);
}

TEST(ListFormatTest, IntegersAndLabels) {
    EXPECT_EQ(FormatInt(3, 5), "    3");
    EXPECT_EQ(FormatInt(-12, 8), "     -12");
    EXPECT_EQ(FormatInt(123, 2), "**");
    EXPECT_EQ(LabelEquals("IMDL_TYPE", 15) + FormatInt(1, 5), "IMDL_TYPE     =    1");
    EXPECT_EQ(LabelEquals("   NDATA", 18) + FormatInt(4, 12), "   NDATA         =           4");
}

}  // namespace
