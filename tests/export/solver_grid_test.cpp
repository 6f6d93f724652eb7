#include "export/solver_grid.h"

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <cmath>
#include <limits>
#include <vector>

#include "tests/export/test_model.h"

namespace {

using ::testing::DoubleEq;
using ::testing::ElementsAre;
using zentrik_test::Box;
using zentrik_test::HandModel;
using zentrik_test::Quad;

std::vector<double> Positions(const std::vector<pkg::GridLine>& lines) {
    std::vector<double> p;
    for (const auto& l : lines) p.push_back(l.position);
    return p;
}

std::vector<pkg::GridLine> Lines(std::initializer_list<double> positions) {
    std::vector<pkg::GridLine> lines;
    for (double p : positions) lines.push_back(pkg::GridLine{p, {}});
    return lines;
}

// No merging and no subdivision: every face is a line of its own.
pkg::GridParameters Plain() { return pkg::GridParameters{}; }

struct Grid {
    std::vector<pkg::GridLine> x, y, z;
    pkg::CellModel cells;
    bool built = false;
};

Grid BuildGrid(const pkg::DetailedModel& model, const pkg::GridParameters& parameters) {
    Grid g;
    g.built = pkg::BuildSolverGrid(model, parameters, g.x, g.y, g.z, g.cells);
    return g;
}

TEST(GridLines, QuarterIsClippedAtZeroAndZIsNot) {
    HandModel m;
    auto& g = m.AddGroup(L"g");
    g.AddCuboid("body", "mold", Box(-2, -3, 0, 4, 6, 1));
    g.AddCuboid("right", "mold", Box(1, -1, 1, 2, 1, 0.5));  // wholly at x > 0
    const Grid grid = BuildGrid(m, Plain());
    ASSERT_TRUE(grid.built);
    EXPECT_THAT(Positions(grid.x), ElementsAre(-2, 0));
    EXPECT_THAT(Positions(grid.y), ElementsAre(-3, -1, 0));
    EXPECT_THAT(Positions(grid.z), ElementsAre(0, 1, 1.5));

    const pkg::CellGrid& mat = grid.cells.material_cells;
    ASSERT_EQ(mat.nx(), 1u);
    ASSERT_EQ(mat.ny(), 2u);
    ASSERT_EQ(mat.nz(), 2u);
    // The body crossing x = 0 claims the cells up to the symmetry plane; the block beyond
    // it claims nothing, so the upper layer stays empty.
    EXPECT_EQ(mat.at(0, 0, 0), 0);
    EXPECT_EQ(mat.at(0, 1, 0), 0);
    EXPECT_EQ(mat.at(0, 0, 1), -1);
    EXPECT_EQ(mat.at(0, 1, 1), -1);
}

TEST(GridLines, EqualityIsExactAndMergingKeepsFirstAndLast) {
    HandModel m;
    auto& g = m.AddGroup(L"g");
    g.AddCuboid("a", "mold", Box(-4, -4, 1.0, 4, 4, 1.0));
    g.AddCuboid("b", "mold", Box(-4, -4, 1.0000001, 4, 4, 1.0));
    g.AddCuboid("c", "mold", Box(-4, -4, 1.0, 4, 4, 1.0));  // equal geometry, own source
    pkg::GridLineSet set;
    pkg::BuildGridLines(set, m.root);
    EXPECT_THAT(Positions(set.z_lines), ElementsAre(1.0, 1.0000001, 2.0, DoubleEq(2.0000001)));
    ASSERT_EQ(set.z_lines[0].sources.size(), 2u);
    EXPECT_EQ(set.z_lines[0].sources[0].cuboid, &g.cuboids[0].box);
    EXPECT_EQ(set.z_lines[0].sources[1].cuboid, &g.cuboids[2].box);

    // Lines 0, 0.05, 0.2 at threshold 0.1: the face at 0.05 counts as lying on 0.
    HandModel close;
    auto& c = close.AddGroup(L"g");
    c.AddCuboid("low", "mold", Box(-1, -1, 0.0, 1, 1, 0.2));
    c.AddCuboid("thin", "chip", Box(-1, -1, 0.05, 1, 1, 0.15));
    pkg::GridParameters p;
    p.threshold_z = 0.1;
    const Grid grid = BuildGrid(close, p);
    ASSERT_TRUE(grid.built);
    EXPECT_THAT(Positions(grid.z), ElementsAre(0.0, 0.2));
    EXPECT_EQ(grid.cells.material_cells.at(0, 0, 0), 1);  // "thin" now spans the cell

    // The last line survives even closer than the threshold to the line before it.
    pkg::GridLineSet tail;
    tail.threshold_z = 0.1;
    HandModel last;
    auto& l = last.AddGroup(L"g");
    l.AddCuboid("a", "mold", Box(-1, -1, 0.0, 1, 1, 0.2));
    l.AddCuboid("b", "mold", Box(-1, -1, 0.2, 1, 1, 0.05));
    pkg::BuildGridLines(tail, last.root);
    EXPECT_THAT(Positions(tail.z_lines), ElementsAre(0.0, 0.2, 0.25));
}

TEST(GridLines, SubdivisionNeverMakesCellsNarrowerThanTheStandardLength) {
    std::vector<pkg::GridLine> out;
    pkg::SubdivideGridLines(Lines({0.0, 2.5, 4.4, 4.8}), 1.0, out);
    EXPECT_THAT(Positions(out), ElementsAre(0.0, 1.25, 2.5, 4.4, 4.8));

    pkg::SubdivideGridLines(Lines({0.0, 3.0}), 1.0, out);
    EXPECT_THAT(Positions(out), ElementsAre(0.0, 1.0, 2.0, 3.0));
    EXPECT_TRUE(out[1].sources.empty());

    // A zero, negative or NaN standard length leaves the gaps alone.
    for (double s : {0.0, -1.0, std::nan("")}) {
        pkg::SubdivideGridLines(Lines({0.0, 3.0}), s, out);
        EXPECT_EQ(out.size(), 2u) << s;
    }
    pkg::SubdivideGridLines(Lines({1.0}), 0.1, out);
    EXPECT_EQ(out.size(), 1u);
    EXPECT_EQ(pkg::SmallestGridGap(Lines({1.0})), 0.0);
}

TEST(Rasterize, LaterPartsWinAndIndicesFollowFirstAppearance) {
    HandModel m;
    auto& g = m.AddGroup(L"g");
    g.AddCuboid("mold", "mold", Box(-3, -1, 0, 3, 1, 1));
    g.AddCuboid("chip", "chip", Box(-2, -1, 0, 2, 1, 1));  // later in the list: wins
    // A prism comes after the group's blocks even though it was added before none of them.
    g.AddPrism("wire(0)", "wire", Quad({-1, -1}, {0, -1}, {0, 0}, {-1, 0}, 0, 1));
    auto sub = pkg::MakeGroup(L"sub");
    sub->AddCuboid("pad", "mold", Box(-3, -1, 0, 1, 1, 1));  // overrides its parent's chip
    g.AddChild(sub);

    const Grid grid = BuildGrid(m, Plain());
    ASSERT_TRUE(grid.built);
    EXPECT_THAT(Positions(grid.x), ElementsAre(-3, -2, -1, 0));
    // Material numbering follows the walk, not the alphabet.
    EXPECT_EQ(grid.cells.material_index.at("mold"), 0);
    EXPECT_EQ(grid.cells.material_index.at("chip"), 1);
    EXPECT_EQ(grid.cells.material_index.at("wire"), 2);
    EXPECT_EQ(grid.cells.material_index.size(), 3u);
    EXPECT_EQ(grid.cells.part_index.at("pad"), 3);

    const pkg::CellGrid& mat = grid.cells.material_cells;
    const pkg::CellGrid& part = grid.cells.part_cells;
    EXPECT_EQ(mat.at(0, 0, 0), 0);   // pad (mold) over mold
    EXPECT_EQ(part.at(0, 0, 0), 3);
    EXPECT_EQ(mat.at(1, 0, 0), 1);   // chip over mold
    EXPECT_EQ(part.at(1, 0, 0), 1);
    EXPECT_EQ(mat.at(2, 0, 0), 2);   // prism over chip
    EXPECT_EQ(part.at(2, 0, 0), 2);
}

// Grid lines at -2, -1.5, -0.5, 0 on x and y (cell centres -1.75, -1, -0.25), all holding
// the prism, which spans the one z cell.
std::vector<std::vector<int>> RasterizeOnFixedGrid(const pkg::Prism& prism) {
    pkg::NamedPrism named{"p", "m", prism};
    auto group = pkg::MakeGroup(L"g");
    group->prisms.push_back(named);
    const pkg::Prism* source = &group->prisms.back().prism;
    auto lines = [&](std::initializer_list<double> ps) {
        std::vector<pkg::GridLine> l;
        for (double p : ps) l.push_back(pkg::GridLine{p, {pkg::GridLineSource{nullptr, source}}});
        return l;
    };
    const auto x = lines({-2, -1.5, -0.5, 0});
    const auto y = x;
    const auto z = lines({0, 1});
    pkg::CellModel cells;
    cells.material_index["m"] = 0;
    cells.part_index["p"] = 0;
    cells.material_cells.Resize(3, 3, 1);
    cells.part_cells.Resize(3, 3, 1);
    pkg::RasterizeGroupTree(cells, *group, x, y, z);
    std::vector<std::vector<int>> inside(3, std::vector<int>(3));
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) inside[j][i] = cells.material_cells.at(i, j, 0) + 1;
    return inside;
}

TEST(Rasterize, PrismsClaimCellsByCentre) {
    // Square of corners (-1,-1), (1,-1), (1,1), (-1,1). The centre (-1, -0.25) lies on its
    // edge x = -1 and counts; (-1.75, -0.25) lies outside. The row of centres on y = -1 is
    // out: both ends of the lower edge lie on the upper side of that line, so no edge
    // crosses it.
    const auto square = RasterizeOnFixedGrid(Quad({-1, -1}, {1, -1}, {1, 1}, {-1, 1}, 0, 1));
    // Rows are y cells (-1.75, -1, -0.25), columns x cells.
    EXPECT_THAT(square, ElementsAre(ElementsAre(0, 0, 0), ElementsAre(0, 0, 0),
                                    ElementsAre(0, 1, 1)));

    // A diamond around (-1, -1) of radius 1, in both windings: a plus of five cells.
    const auto expected = ElementsAre(ElementsAre(0, 1, 0), ElementsAre(1, 1, 1),
                                      ElementsAre(0, 1, 0));
    EXPECT_THAT(RasterizeOnFixedGrid(Quad({-2, -1}, {-1, -2}, {0, -1}, {-1, 0}, 0, 1)), expected);
    EXPECT_THAT(RasterizeOnFixedGrid(Quad({-1, 0}, {0, -1}, {-1, -2}, {-2, -1}, 0, 1)), expected);
}

TEST(Rasterize, DegeneratePartsClaimNoCellAndNothingLeavesTheGrid) {
    HandModel m;
    auto& g = m.AddGroup(L"g");
    g.AddCuboid("body", "mold", Box(-2, -2, 0, 2, 2, 1));
    g.AddCuboid("flat", "chip", Box(-2, -2, 0.5, 2, 2, 0));             // zero extent in z
    g.AddPrism("sheet", "wire", Quad({-2, -2}, {0, -2}, {0, 0}, {-2, 0}, 1, 0));  // top face
    const Grid grid = BuildGrid(m, Plain());
    ASSERT_TRUE(grid.built);
    EXPECT_THAT(Positions(grid.z), ElementsAre(0, 0.5, 1));
    for (std::size_t k = 0; k < 2; ++k) EXPECT_EQ(grid.cells.material_cells.at(0, 0, k), 0);

    // A threshold factor above 1 merges both faces of the thinnest part onto one line.
    HandModel thin;
    auto& t = thin.AddGroup(L"g");
    t.AddCuboid("body", "mold", Box(-2, -2, 0, 2, 2, 2));
    t.AddCuboid("film", "chip", Box(-2, -2, 1, 2, 2, 0.1));
    t.AddPrism("film2", "wire", Quad({-2, -2}, {0, -2}, {0, 0}, {-2, 0}, 1, 0.1));
    const pkg::PartExtents smallest = pkg::SmallestPartExtents(thin.root);
    EXPECT_DOUBLE_EQ(smallest.z, 0.1);
    const Grid merged = BuildGrid(thin, pkg::MakeGridParameters(smallest, 0, 0, 0, 1.5, 1.5, 1.5));
    ASSERT_TRUE(merged.built);
    EXPECT_THAT(Positions(merged.z), ElementsAre(0, 1, 2));
    EXPECT_EQ(merged.cells.material_cells.at(0, 0, 0), 0);
    EXPECT_EQ(merged.cells.material_cells.at(0, 0, 1), 0);

    // Lines longer than the grid they are rasterised into: writes stay inside it.
    pkg::CellModel small;
    small.material_index["mold"] = 0;
    small.part_index["body"] = 0;
    small.material_cells.Resize(1, 1, 1);
    small.part_cells.Resize(1, 1, 1);
    pkg::GridLineSet set;
    pkg::BuildGridLines(set, m.root);
    pkg::RasterizeGroupTree(small, m.root, set.x_lines, set.y_lines, set.z_lines);
    EXPECT_EQ(small.material_cells.at(0, 0, 0), 0);
}

TEST(BuildSolverGrid, FailsWithoutTwoLinesOnEveryAxis) {
    HandModel empty;
    Grid grid = BuildGrid(empty, Plain());
    EXPECT_FALSE(grid.built);
    EXPECT_EQ(grid.cells.material_cells.size(), 0u);

    HandModel beyond;  // only faces at x > 0: nothing but the line at 0.0 remains on x
    beyond.AddGroup(L"g").AddCuboid("b", "mold", Box(1, -1, 0, 1, 1, 1));
    grid = BuildGrid(beyond, Plain());
    EXPECT_FALSE(grid.built);
    EXPECT_THAT(Positions(grid.x), ElementsAre(0));
}

TEST(SmallestPartExtents, PrismsCountOnlyTheirThickness) {
    HandModel m;
    EXPECT_EQ(pkg::SmallestPartExtents(m.root).x, std::numeric_limits<double>::max());
    auto& g = m.AddGroup(L"g");
    g.AddCuboid("a", "mold", Box(-5, -5, 0, 3, 4, 2));
    g.AddPrism("p", "wire", Quad({-9, -9}, {0, -9}, {0, -8.9}, {-9, -8.9}, 0, 0.5));
    auto sub = pkg::MakeGroup(L"sub");
    sub->AddCuboid("b", "mold", Box(-1, -1, 0, 2, 6, 1));
    g.AddChild(sub);
    const pkg::PartExtents e = pkg::SmallestPartExtents(m.root);
    EXPECT_EQ(e.x, 2);
    EXPECT_EQ(e.y, 4);
    EXPECT_EQ(e.z, 0.5);
}

}  // namespace

namespace {

// A thin part beside a wide one makes the standard length tiny: the subdivision would ask
// for billions of lines. The grid fails before making them.
TEST(BuildSolverGrid, RefusesGridsAboveTheCellCap) {
    HandModel m;
    auto& g = m.AddGroup(L"g");
    g.AddCuboid("wide", "mold", Box(-1000, -1000, 0, 1000, 1000, 1));
    g.AddCuboid("thin", "mold", Box(-1e-6, -1e-6, 0, 1e-6, 1e-6, 1));
    pkg::GridParameters p = Plain();
    p.standard_length_x = p.standard_length_y = 1e-6;
    Grid grid = BuildGrid(m, p);
    EXPECT_FALSE(grid.built);
    EXPECT_TRUE(grid.x.empty());
    EXPECT_EQ(grid.cells.material_cells.size(), 0u);

    // The subdivision of z alone passes the cap.
    p = Plain();
    p.standard_length_z = 1.0 / static_cast<double>(pkg::kMaxSolverCells + 1);
    EXPECT_FALSE(BuildGrid(m, p).built);

    EXPECT_EQ(pkg::SubdividedLineCount(Lines({0.0, 2.5, 4.4, 4.8}), 1.0), 5u);
    EXPECT_EQ(pkg::SubdividedLineCount(Lines({0.0, 1e9}), 1e-9), 2u);  // quotient past 2^31
}

}  // namespace
