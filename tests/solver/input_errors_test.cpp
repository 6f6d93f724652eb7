// Inputs the reader and the driver refuse, and stages that give no valid solution: each
// returns its status with no results handed over, and nothing reads past what it was given.
#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "solver/read_input.h"
#include "solver/resist_model.h"
#include "solver/rst_main.h"
#include "tests/solver/solver_input.h"
#include "tests/solver/test_models.h"

namespace {

using namespace solver_test;

// Record positions in the files of GoodInput(): see SerialiseRecords.
constexpr int kDims = 2, kX = 3, kMat = 6, kNregn = 7;
constexpr int kChipName = 8, kChipNdata = 9, kChipI = 10, kChipJ = 11, kChipK = 12,
              kChipFace = 13;
constexpr int kTopI = 16, kTopJ = 17, kTopK = 18, kTopFace = 19;
constexpr int kNprop = 32, kFirstMaterial = 33, kGap = 36;

Input GoodInput() {
    Input in = ColumnModel(1, {{0.2e-3, {390.0, 390.0, 390.0}, 1}, {0.3e-3, {0.8, 0.8, 0.8}, 2}});
    in.gapl = 50e-6;
    in.ramda = 0.0256;
    return in;
}

struct Outcome {
    int status;
    std::string list;
};

// Runs the public call; a failed call must leave count 0 and both pointers null.
Outcome RunBytes(const std::string& bytes, bool with_list = false) {
    TempPath input("input");
    TempPath list("list");
    WriteFile(input.str(), bytes);
    resist_model::nlst = 0;
    if (with_list) {
        std::strcpy(resist_model::lstfile, list.c_str());
        resist_model::nlst = static_cast<int>(std::strlen(list.c_str()));
    }
    int count = 77;
    char dummy_name[32];
    double dummy_value;
    char* names = dummy_name;
    double* values = &dummy_value;
    int status = resist_model::computeResistModel(input.c_str(), &count, &names, &values);
    if (status != 0) {
        EXPECT_EQ(count, 0);
        EXPECT_EQ(names, nullptr);
        EXPECT_EQ(values, nullptr);
    } else {
        resist_model::freeResults(&names, &values);
    }
    resist_model::nlst = 0;
    return {status, with_list ? ReadText(list.str()) : std::string()};
}

int StatusWith(int record, const std::string& replacement) {
    std::vector<std::string> records = SerialiseRecords(GoodInput());
    records[record] = replacement;
    return RunBytes(Join(records)).status;
}

TEST(FramingTest, EveryTruncationOfAGoodFileIsRefused) {
    const std::string bytes = Serialise(GoodInput());
    ASSERT_EQ(RunBytes(bytes).status, 0);
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        ASSERT_EQ(RunBytes(bytes.substr(0, length)).status, resist_model::kStatusBadInput)
            << "cut at " << length;
    }
}

TEST(FramingTest, CountsThatDisagreeAreRefused) {
    const Input in = GoodInput();
    RecordBytes r;
    // Trailing count differs from the leading one.
    std::string x = DoublesRecord(in.x);
    x[x.size() - 1] ^= 0x01;
    EXPECT_EQ(StatusWith(kX, x), resist_model::kStatusBadInput);
    // A consistent record of the wrong size: one grid line too many.
    std::vector<double> longer = in.x;
    longer.push_back(2e-3);
    EXPECT_EQ(StatusWith(kX, DoublesRecord(longer)), resist_model::kStatusBadInput);
    // A count far beyond the file.
    r.Raw(0x7FFFFFF0u, "", 0x7FFFFFF0u);
    EXPECT_EQ(StatusWith(kMat, r.bytes), resist_model::kStatusBadInput);
}

TEST(FramingTest, MissingUnreadableAndUnnamedInputs) {
    TempPath missing("missing");
    int count = 5;
    char* names = nullptr;
    double* values = nullptr;
    EXPECT_EQ(resist_model::computeResistModel(missing.c_str(), &count, &names, &values),
              resist_model::kStatusBadInput);
    EXPECT_FALSE(std::filesystem::exists(missing.str()));
    EXPECT_EQ(count, 0);
    EXPECT_EQ(resist_model::computeResistModel(std::filesystem::temp_directory_path().c_str(),
                                               &count, &names, &values),
              resist_model::kStatusBadInput);
    EXPECT_EQ(resist_model::computeResistModel("", &count, &names, &values),
              resist_model::kStatusEmptyInputName);
    EXPECT_EQ(resist_model::computeResistModel(nullptr, &count, &names, &values),
              resist_model::kStatusEmptyInputName);
    std::string long_path(300, 'a');
    EXPECT_EQ(resist_model::computeResistModel(long_path.c_str(), &count, &names, &values),
              resist_model::kStatusBadInput);
}

TEST(FramingTest, ListNamesOutsideTheirBufferAreRefused) {
    const std::string bytes = Serialise(GoodInput());
    TempPath input("input");
    WriteFile(input.str(), bytes);
    int count = 0;
    char* names = nullptr;
    double* values = nullptr;
    std::memset(resist_model::lstfile, 0, sizeof resist_model::lstfile);
    std::strcpy(resist_model::lstfile, "/tmp/x.l");
    char before[256];
    std::memcpy(before, resist_model::lstfile, 256);
    for (int length : {9, 100, 256, 1000, INT_MAX}) {
        resist_model::nlst = length;
        EXPECT_EQ(resist_model::computeResistModel(input.c_str(), &count, &names, &values),
                  resist_model::kStatusBadInput)
            << length;
        EXPECT_EQ(std::memcmp(before, resist_model::lstfile, 256), 0);
    }
    resist_model::nlst = 0;
}

TEST(ValueTest, GridSizesAndCountsOutOfRange) {
    using resist_model::kStatusBadInput;
    EXPECT_EQ(StatusWith(kDims, IntsRecord({0, 3, 3, 1})), kStatusBadInput);
    EXPECT_EQ(StatusWith(kDims, IntsRecord({2, -3, 3, 1})), kStatusBadInput);
    EXPECT_EQ(StatusWith(kDims, IntsRecord({2, 3, 3, 0})), kStatusBadInput);
    EXPECT_EQ(StatusWith(kDims, IntsRecord({1 << 20, 1 << 20, 1 << 20, 1})), kStatusBadInput);
    EXPECT_EQ(StatusWith(kDims, IntsRecord({INT_MAX, 1, 1, 1})), kStatusBadInput);
    EXPECT_EQ(StatusWith(kNregn, IntsRecord({-1})), kStatusBadInput);
    EXPECT_EQ(StatusWith(kNprop, IntsRecord({-2})), kStatusBadInput);

    std::vector<std::string> records = SerialiseRecords(GoodInput());
    records[kChipNdata] = IntsRecord({-1});
    for (int r : {kChipI, kChipJ, kChipK, kChipFace}) records[r] = IntsRecord({});
    EXPECT_EQ(RunBytes(Join(records)).status, kStatusBadInput);
}

TEST(ValueTest, MaterialsAndCoordinatesOutOfRange) {
    using resist_model::kStatusBadInput;
    const Input in = GoodInput();
    std::vector<std::int32_t> mat(in.mat.begin(), in.mat.end());
    mat[4] = 3;  // two materials only
    EXPECT_EQ(StatusWith(kMat, IntsRecord(mat)), kStatusBadInput);
    mat[4] = -1;
    EXPECT_EQ(StatusWith(kMat, IntsRecord(mat)), kStatusBadInput);

    EXPECT_EQ(StatusWith(kX, DoublesRecord({0.0, 0.5e-3, 0.5e-3})), kStatusBadInput);
    EXPECT_EQ(StatusWith(kX, DoublesRecord({0.0, 0.7e-3, 0.5e-3})), kStatusBadInput);
    EXPECT_EQ(StatusWith(kX, DoublesRecord({0.0, std::nan(""), 1e-3})), kStatusBadInput);

    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(StatusWith(kFirstMaterial, DoublesRecord({1.0, nan, 1.0})), kStatusBadInput);
    EXPECT_EQ(StatusWith(kFirstMaterial, DoublesRecord({1.0, 1.0, -1.0})), kStatusBadInput);
    EXPECT_EQ(StatusWith(kGap, DoublesRecord({-1e-6, 0.0256})), kStatusBadInput);
    EXPECT_EQ(StatusWith(kGap, DoublesRecord({1e-6, nan})), kStatusBadInput);
    EXPECT_EQ(StatusWith(kGap, DoublesRecord({1e-6, -0.0256})), kStatusBadInput);
}

TEST(ValueTest, EntriesOutsideTheGridAndUnknownFaces) {
    using resist_model::kStatusBadInput;
    const Input in = GoodInput();  // 2 x 3 x 3 cells; TOP is 6 faces on plane 4
    auto top_with = [&](int record, std::vector<std::int32_t> values) {
        std::vector<std::string> records = SerialiseRecords(in);
        records[record] = IntsRecord(values);
        return RunBytes(Join(records)).status;
    };
    EXPECT_EQ(top_with(kTopK, {4, 4, 4, 4, 4, 5}), kStatusBadInput);       // beyond KM+1
    EXPECT_EQ(top_with(kTopJ, {1, 1, 2, 2, 3, 4}), kStatusBadInput);       // beyond JM
    EXPECT_EQ(top_with(kTopI, {1, 0, 1, 2, 1, 2}), kStatusBadInput);       // below 1
    EXPECT_EQ(top_with(kTopFace, {3, 3, 3, 3, 3, 4}), kStatusBadInput);    // no such face
    EXPECT_EQ(top_with(kTopFace, {3, 3, 3, 3, 3, -1}), kStatusBadInput);
    EXPECT_EQ(top_with(kTopFace, {3, 3, 3, 3, 3, 0}), kStatusBadInput);    // a cell at KM+1
    // A heat source listed as faces of the far plane has no cells to heat.
    Input far = in;
    far.nodes[0].entries = Input::Faces(3, in.km + 1, 1, in.im, 1, in.jm);
    EXPECT_EQ(RunBytes(Serialise(far)).status, kStatusBadInput);
    // The name record must be exactly 32 bytes.
    RecordBytes r;
    r.Bytes("CHIP");
    EXPECT_EQ(StatusWith(kChipName, r.bytes), kStatusBadInput);
}

TEST(ModelTypeTest, UnknownTypeStopsTheEchoAfterItsLine) {
    std::vector<std::string> records = SerialiseRecords(GoodInput());
    records[0] = IntsRecord({7});
    Outcome out = RunBytes(Join(records), true);
    EXPECT_EQ(out.status, resist_model::kStatusBadModelType);
    EXPECT_EQ(out.list,
              "=== Resistance Model by Software OSTREL ===\n"
              "          ( Version:2015/03/25 )\n"
              "*** INPUT GEOMETRY AND OTHER INFO. ***\n"
              "IMDL_TYPE     =    7\n");
}

TEST(DelphiNodesTest, TheNodeTableMustCarryANetwork) {
    using resist_model::kStatusBadInput;
    auto status = [](const Input& in) { return RunBytes(Serialise(in)).status; };
    Input in = DelphiModel(6);
    EXPECT_EQ(status(in), resist_model::kStatusOk);

    Input no_j = in;
    no_j.nodes[1].name = "JX";
    EXPECT_EQ(status(no_j), kStatusBadInput);
    Input two_j = in;
    two_j.nodes[0].name = "J";
    EXPECT_EQ(status(two_j), kStatusBadInput);
    Input only_j = in;
    only_j.nodes = {in.nodes[1]};
    EXPECT_EQ(status(only_j), kStatusBadInput);
    Input unknown_first = in;
    unknown_first.nodes[0].name = "XI";
    EXPECT_EQ(status(unknown_first), kStatusBadInput);
    // A later node with an unknown letter takes the class of the node before it.
    Input unknown_later = in;
    unknown_later.nodes[2].name = "XO";
    EXPECT_EQ(status(unknown_later), resist_model::kStatusOk);

    // 14 surface nodes have 105 links, more than the 100 result slots.
    Input many = in;
    for (int n = 0; many.nodes.size() < 15; ++n) {
        many.nodes.push_back({"T" + std::to_string(n), in.nodes[0].entries});
    }
    EXPECT_EQ(status(many), kStatusBadInput);
    many.nodes.pop_back();
    EXPECT_NE(status(many), kStatusBadInput);
    // A link's name and its NUL must fit the 32 bytes of its result slot.
    Input long_names = in;
    long_names.nodes[0].name = std::string(15, 'T');
    long_names.nodes[2].name = std::string(15, 'T') + "O";
    EXPECT_EQ(status(long_names), kStatusBadInput);
    long_names.nodes[2].name.pop_back();
    long_names.nodes[2].name.back() = 'O';
    EXPECT_EQ(status(long_names), resist_model::kStatusOk);

    Input negative_h = in;
    negative_h.cases[1][2] = -10.0;
    EXPECT_EQ(status(negative_h), kStatusBadInput);
}

// An iteration limit far beyond what any grid needs is refused before any stage runs; the
// limit itself is accepted.
TEST(ValueTest, IterationLimitIsBounded) {
    Input in = GoodInput();
    in.nitr = resist_model::kMaxIterations + 1;
    EXPECT_EQ(RunBytes(Serialise(in)).status, resist_model::kStatusBadInput);
    in.nitr = resist_model::kMaxIterations;
    EXPECT_NE(RunBytes(Serialise(in)).status, resist_model::kStatusBadInput);
}

// A stage that did not converge is status 6; one that heats no solid cell, or a run
// without the nodes its stages need, status 5.
TEST(NoSolutionTest, StagesWithoutAValidSolutionAreRefused) {
    Input slow = GoodInput();
    slow.nitr = 1;
    Outcome out = RunBytes(Serialise(slow), true);
    EXPECT_EQ(out.status, resist_model::kStatusNotConverged);
    EXPECT_NE(out.list.find("      [COULD NOT CONVERGE]\n"), std::string::npos);

    Input no_chip = GoodInput();
    no_chip.nodes[0].name = "DIE";
    out = RunBytes(Serialise(no_chip), true);
    EXPECT_EQ(out.status, resist_model::kStatusNoSolution);
    EXPECT_NE(out.list.find("      [CONVERGED. HOWEVER R.H.S. WAS ZERO.]\n"), std::string::npos);

    Input no_nodes = GoodInput();
    no_nodes.nodes.clear();
    EXPECT_EQ(RunBytes(Serialise(no_nodes)).status, resist_model::kStatusNoSolution);

    // Heat only on empty cells reaches no solid cell.
    Input empty_chip = GoodInput();
    for (int j = 1; j <= empty_chip.jm; ++j)
        for (int i = 1; i <= empty_chip.im; ++i) empty_chip.Mat(i, j, 1) = 0;
    EXPECT_EQ(RunBytes(Serialise(empty_chip)).status, resist_model::kStatusNoSolution);
}

TEST(NoSolutionTest, MaximaThatWereNeverSetAreStatusFive) {
    Input no_lead = PackageModel(2, false);
    no_lead.nodes.pop_back();
    EXPECT_EQ(RunBytes(Serialise(no_lead)).status, resist_model::kStatusNoSolution);

    // A TOP made only of faces between two solid cells has no counting face.
    Input inner_top = PackageModel(2, false);
    inner_top.nodes[1].entries = Input::Faces(3, 3, 1, 4, 1, 4);
    EXPECT_EQ(RunBytes(Serialise(inner_top)).status, resist_model::kStatusNoSolution);
}

TEST(BoundaryTest, ZeroCoefficientFacesCarryNoHeat) {
    Input in = DelphiModel(6);  // case 6: TOP and SIDE coefficients 0
    TempPath path("delphi");
    WriteFile(path.str(), Serialise(in));
    resist_model::RunOutput out = resist_model::rst_main(path.str(), "");
    ASSERT_EQ(out.status, resist_model::kStatusOk);
    ASSERT_EQ(out.stages.size(), 6u);
    const resist_model::StageValues& v = out.stages[5];
    // Node order: J, then TI, TO, B, S as in the file (J removed).
    EXPECT_EQ(v.heat_flow[1], 0.0);
    EXPECT_EQ(v.heat_flow[2], 0.0);
    EXPECT_EQ(v.heat_flow[4], 0.0);
    EXPECT_TRUE(std::isfinite(v.mean_temperature[1]));
    EXPECT_GT(v.mean_temperature[1], 0.0);
    // Whole-package heat flows: all of the 1 W leaves through the bottom.
    EXPECT_NEAR(v.heat_flow[3], 1.0, 1e-6);
    double total = 0.0;
    for (int n = 1; n <= 4; ++n) total += out.stages[0].heat_flow[n];
    EXPECT_NEAR(total, 1.0, 1e-6);
}

}  // namespace
