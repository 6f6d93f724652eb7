#include "export/delphi_bc_cases.h"

#include <cstdio>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "export/record_writer.h"
#include "export/solver_input.h"
#include "tests/export/record_file.h"

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

namespace {

using testing::ElementsAre;
using zentrik_test::RecordFile;

// NCASE and the case records as the solver reads them back.
std::vector<std::vector<unsigned char>> WrittenCaseRecords(const std::string& package_type) {
    const std::string path = testing::TempDir() + "delphi_cases_" + package_type + ".bin";
    pkg::RecordWriter writer;
    EXPECT_TRUE(writer.Open(path));
    EXPECT_TRUE(pkg::WriteDelphiBoundaryConditions(package_type, writer));
    EXPECT_TRUE(writer.Close());
    auto records = RecordFile::Read(path).records;
    std::remove(path.c_str());
    return records;
}

TEST(DelphiCaseRecords, TableChosenByExactBallGridTypeName) {
    auto sop = WrittenCaseRecords("SOP");
    ASSERT_EQ(sop.size(), 39u);
    EXPECT_THAT(RecordFile::Ints(sop[0]), ElementsAre(38));
    EXPECT_THAT(RecordFile::Doubles(sop[1]), ElementsAre(100, 100, 1000, 100));

    auto fcbga = WrittenCaseRecords("FCBGA");
    ASSERT_EQ(fcbga.size(), 59u);
    EXPECT_THAT(RecordFile::Ints(fcbga[0]), ElementsAre(58));
    EXPECT_THAT(RecordFile::Doubles(fcbga[1]), ElementsAre(5, 1, 1, 5));
    EXPECT_THAT(RecordFile::Doubles(fcbga[58]), ElementsAre(1, 1, 10000, 1));

    EXPECT_EQ(WrittenCaseRecords("PBGA").size(), 59u);
    EXPECT_EQ(WrittenCaseRecords("pbga").size(), 39u);
    EXPECT_EQ(WrittenCaseRecords("QFP").size(), 39u);
}

}  // namespace
