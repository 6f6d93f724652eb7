#include "export/solver_input.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/export/record_file.h"

namespace {

using pkg::surf_register::NodeRegister;
using ::testing::ElementsAre;
using zentrik_test::RecordFile;
using zentrik_test::SolverInput;

std::vector<pkg::GridLine> Lines(std::initializer_list<double> positions) {
    std::vector<pkg::GridLine> lines;
    for (double p : positions) lines.push_back(pkg::GridLine{p, {}});
    return lines;
}

std::vector<unsigned char> Bytes(std::initializer_list<int> b) {
    return std::vector<unsigned char>(b.begin(), b.end());
}

class SolverInputFile : public ::testing::Test {
protected:
    // A 2 x 3 x 4 grid (mm). Material of cell (i, j, k) = (i + 2j + 6k) % 3 ("mold", "chip",
    // "lead" as 0, 1, 2), except the bottom layer, which stays empty but for one mold cell.
    SolverInputFile()
        : x(Lines({-2.0, -1.0, 0.0})),
          y(Lines({-3.0, -2.0, -1.0, 0.0})),
          z(Lines({0.0, 0.25, 0.5, 1.0, 2.0})),
          materials{{"chip", 1}, {"lead", 2}, {"mold", 0}} {
        cells.Resize(2, 3, 4);
        for (std::size_t i = 0; i < 2; ++i)
            for (std::size_t j = 0; j < 3; ++j)
                for (std::size_t k = 1; k < 4; ++k) cells.at(i, j, k) = int((i + 2 * j + 6 * k) % 3);
        cells.at(1, 2, 0) = 0;
        properties = {pkg::IsotropicProperty("mold", 0.8, 1, 1),
                      pkg::AnisotropicProperty("lead", 10, 20, 30, 1, 1),
                      pkg::IsotropicProperty("chip", 150, 1, 1)};
        NodeRegister top("TI");
        top.Add(1, 2, 5, pkg::surf_register::kFaceZ);
        top.Add(2, 3, 5, pkg::surf_register::kFaceZ);
        nodes = {top, NodeRegister("J")};
        path = (std::filesystem::path(::testing::TempDir()) /
                ("zentrik_input_" + std::string(::testing::UnitTest::GetInstance()
                                                    ->current_test_info()->name())))
                   .string();
    }
    ~SolverInputFile() override { std::filesystem::remove(path); }

    bool Write(int kind, const std::string& type, const std::string& target) {
        pkg::SolverInputHeader header;
        header.model_kind = kind;
        header.ramda = 0.0256;
        return pkg::WriteSolverInput(header, std::wstring(target.begin(), target.end()), type, x,
                                     y, z, cells, materials, properties, nodes);
    }
    SolverInput WriteAndRead(int kind, const std::string& type) {
        EXPECT_TRUE(Write(kind, type, path));
        const RecordFile f = RecordFile::Read(path);
        EXPECT_TRUE(f.framed);
        return SolverInput::Parse(f);
    }

    std::vector<pkg::GridLine> x, y, z;
    pkg::CellGrid cells;
    pkg::NameIndexMap materials;
    std::vector<pkg::Property> properties;
    std::vector<NodeRegister> nodes;
    std::string path;
};

TEST_F(SolverInputFile, ThreeResistorFileHoldsEveryRecordInOrder) {
    const SolverInput in = WriteAndRead(3, "QFP");
    ASSERT_TRUE(in.complete);
    EXPECT_EQ(in.model_type, 2);
    EXPECT_EQ(in.version, 3);
    EXPECT_THAT(in.sizes, ElementsAre(2, 3, 4, 4));
    EXPECT_THAT(in.x, ElementsAre(-0.002, -0.001, 0.0));
    EXPECT_THAT(in.z, ElementsAre(0.0, 0.00025, 0.0005, 0.001, 0.002));
    EXPECT_EQ(in.y.size(), 4u);

    // Cell (i, j, k) sits at i + nx (j + ny k), holding material index + 1.
    ASSERT_EQ(in.mat.size(), 24u);
    for (int k = 0; k < 4; ++k)
        for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 2; ++i)
                EXPECT_EQ(in.mat[i + 2 * (j + 3 * k)], cells.at(i, j, k) + 1) << i << j << k;
    EXPECT_EQ(in.mat[5], 1);  // the one mold cell of the bottom layer, (1, 2, 0)
    EXPECT_EQ(in.mat[0], 0);

    ASSERT_EQ(in.nodes.size(), 2u);
    EXPECT_EQ(in.nodes[0].name, "TI" + std::string(30, ' '));
    EXPECT_EQ(in.nodes[0].ndata, 2u);
    EXPECT_THAT(in.nodes[0].i, ElementsAre(1, 2));
    EXPECT_THAT(in.nodes[0].j, ElementsAre(2, 3));
    EXPECT_THAT(in.nodes[0].k, ElementsAre(5, 5));
    EXPECT_THAT(in.nodes[0].face, ElementsAre(3, 3));
    EXPECT_EQ(in.nodes[1].name, "J" + std::string(31, ' '));
    EXPECT_EQ(in.nodes[1].ndata, 0u);

    // Conductivities in material-index order, not name order.
    ASSERT_EQ(in.conductivities.size(), 3u);
    EXPECT_THAT(in.conductivities[0], ElementsAre(0.8, 0.8, 0.8));
    EXPECT_THAT(in.conductivities[1], ElementsAre(150, 150, 150));
    EXPECT_THAT(in.conductivities[2], ElementsAre(10, 20, 30));

    EXPECT_EQ(in.control, Bytes({0x00, 0x00, 0x07, 0xD0, 0x3F, 0x1A, 0x36, 0xE2, 0xEB, 0x1C,
                                 0x43, 0x2D}));
    EXPECT_TRUE(in.tail.empty());
}

TEST_F(SolverInputFile, FramingIsByteExact) {
    ASSERT_TRUE(Write(4, "QFP", path));
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};
    ASSERT_GE(bytes.size(), 12u);
    EXPECT_EQ(std::vector<unsigned char>(bytes.begin(), bytes.begin() + 12),
              Bytes({0, 0, 0, 4, 0, 0, 0, 3, 0, 0, 0, 4}));

    const RecordFile f = RecordFile::Read(path);
    ASSERT_TRUE(f.framed);
    // An empty node: name, NDATA 0 and four empty records, each just two zero lengths.
    const std::size_t j_name = 3 + 3 + 1 + 1 + 6;
    ASSERT_GT(f.records.size(), j_name + 5);
    EXPECT_EQ(RecordFile::Text(f.records[j_name]), "J" + std::string(31, ' '));
    for (std::size_t n = 2; n <= 5; ++n) EXPECT_TRUE(f.records[j_name + n].empty());
    // The control record is framed by 12 before and after it.
    const std::string control = std::string("\0\0\0\x0C\0\0\x07\xD0", 8);
    EXPECT_NE(std::string(bytes.begin(), bytes.end()).find(control + "\x3F\x1A\x36\xE2\xEB\x1C\x43\x2D" +
                                                           std::string("\0\0\0\x0C", 4)),
              std::string::npos);
}

TEST_F(SolverInputFile, KindDecidesTheTailRecords) {
    // Two-resistor, leaded: the gap is the highest mold underside resting on empty space,
    // here the mold cell at k = 1 over an empty bottom cell (0.25 mm).
    SolverInput in = WriteAndRead(2, "QFP");
    ASSERT_TRUE(in.complete);
    EXPECT_EQ(in.model_type, 1);
    ASSERT_EQ(in.tail.size(), 1u);
    EXPECT_THAT(RecordFile::Doubles(in.tail[0]), ElementsAre(0.25 * 0.001, 0.0256));

    in = WriteAndRead(2, "FCBGA");
    ASSERT_EQ(in.tail.size(), 1u);
    EXPECT_THAT(RecordFile::Doubles(in.tail[0]), ElementsAre(1.0, 0.0256));
    in = WriteAndRead(2, "pbga");  // not a ball-grid-array folder name
    EXPECT_THAT(RecordFile::Doubles(in.tail[0]), ElementsAre(0.25 * 0.001, 0.0256));

    // DELPHI: model type 3 and the case table, which starts with its count.
    in = WriteAndRead(4, "SOP");
    ASSERT_TRUE(in.complete);
    EXPECT_EQ(in.model_type, 3);
    ASSERT_FALSE(in.tail.empty());
    EXPECT_EQ(RecordFile::Ints(in.tail[0]).at(0), int32_t(in.tail.size() - 1));
}

TEST_F(SolverInputFile, StandoffHeightNeedsMoldAndLeavesTheMapAlone) {
    EXPECT_EQ(pkg::ComputeStandoffHeight(z, cells, materials), 0.25);
    pkg::NameIndexMap no_mold = {{"chip", 1}, {"lead", 2}};
    EXPECT_EQ(pkg::ComputeStandoffHeight(z, cells, no_mold), 0.0);
    EXPECT_EQ(no_mold.size(), 2u);
    EXPECT_EQ(pkg::ComputeStandoffHeight(z, pkg::CellGrid{}, materials), 0.0);
}

TEST_F(SolverInputFile, RefusesWhatItCannotWriteFaithfully) {
    // An unknown kind writes nothing at all.
    EXPECT_FALSE(Write(5, "QFP", path));
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
    EXPECT_FALSE(Write(1, "QFP", path));

    EXPECT_FALSE(Write(3, "QFP", ""));
    EXPECT_FALSE(Write(3, "QFP", "/nonexistent-dir/input"));
    // A full device takes the bytes into its buffer and fails on the flush.
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_FALSE(Write(3, "QFP", "/dev/full"));
    }

    // A grid material without a property would be written as a perfect insulator.
    properties.pop_back();
    EXPECT_FALSE(Write(3, "QFP", path));
    properties.push_back(pkg::IsotropicProperty("chip", 150, 1, 1));
    properties.back().kind = 7;
    EXPECT_FALSE(Write(3, "QFP", path));
    properties.back().kind = pkg::Property::kIsotropic;
    EXPECT_TRUE(Write(3, "QFP", path));

    // Lines that do not match the grid, or a node whose lists differ in length.
    z.pop_back();
    EXPECT_FALSE(Write(3, "QFP", path));
    z.push_back(pkg::GridLine{2.0, {}});
    nodes[0].face.pop_back();
    EXPECT_FALSE(Write(3, "QFP", path));
}

TEST_F(SolverInputFile, LongNodeNamesAreCutToTheirField) {
    nodes[0].name = std::string(40, 'T') + "tail";
    const SolverInput in = WriteAndRead(3, "QFP");
    ASSERT_TRUE(in.complete);
    EXPECT_EQ(in.nodes[0].name, std::string(32, 'T'));
}

}  // namespace
