#include "export/solver_input.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <memory>

#include "export/solver_grid.h"
#include "export/surf_register/create_surface_register.h"
#include "models/bga/bga_detailed_model.h"
#include "tests/export/record_file.h"

namespace {

using zentrik_test::RecordFile;
using zentrik_test::SolverInput;

// The default PBGA, built with its air block and gridded with the default mesh factors,
// written for the two-resistor model and read back.
TEST(DefaultPbgaSolverInput, TwoResistorFileDescribesTheWholeGrid) {
    auto model = std::make_shared<pkg::bga::BGADetailedModel>(false);
    ASSERT_EQ(model->BuildWithAir(), 0);

    const pkg::GridParameters parameters = pkg::MakeGridParameters(
        pkg::SmallestPartExtents(model->root), 0.5, 0.5, 4.0, 0.1, 0.1, 0.1);
    std::vector<pkg::GridLine> x, y, z;
    pkg::CellModel cells;
    ASSERT_TRUE(pkg::BuildSolverGrid(*model, parameters, x, y, z, cells));
    const std::size_t nx = x.size() - 1, ny = y.size() - 1, nz = z.size() - 1;
    std::cout << "default PBGA grid: nx = " << nx << ", ny = " << ny << ", nz = " << nz << " ("
              << nx * ny * nz << " cells)" << std::endl;
    EXPECT_EQ(x.back().position, 0.0);
    EXPECT_EQ(y.back().position, 0.0);
    // The air block spans the board from the ball bottoms to the mold top.
    EXPECT_EQ(x.front().position, -model->board.size.x / 2);
    EXPECT_EQ(z.front().position, 0.0);

    const auto reg = pkg::surf_register::CreateSurfaceRegister(
        2, "PBGA", model, x, y, z, cells.material_cells, cells.part_cells, cells.material_index,
        cells.part_index);
    ASSERT_TRUE(reg);
    ASSERT_TRUE(reg->HasRequiredGroups());
    const auto nodes = reg->BuildNodeList();

    const std::string path =
        (std::filesystem::path(::testing::TempDir()) / "zentrik_default_pbga_input").string();
    pkg::SolverInputHeader header;
    header.model_kind = 2;
    header.ramda = 0.0256;
    ASSERT_TRUE(pkg::WriteSolverInput(header, std::wstring(path.begin(), path.end()), "PBGA", x,
                                      y, z, cells.material_cells, cells.material_index,
                                      model->properties, nodes));
    const RecordFile f = RecordFile::Read(path);
    std::filesystem::remove(path);
    ASSERT_TRUE(f.framed);
    const SolverInput in = SolverInput::Parse(f);
    ASSERT_TRUE(in.complete);
    EXPECT_EQ(in.sizes, (std::vector<int32_t>{int32_t(nx), int32_t(ny), int32_t(nz), 4}));
    ASSERT_EQ(in.nodes.size(), 3u);
    EXPECT_EQ(in.nodes[0].ndata, nx * ny);
    EXPECT_EQ(in.nodes[1].ndata, nx * ny);
    EXPECT_GT(in.nodes[2].ndata, 0u);
    EXPECT_EQ(in.conductivities.size(), cells.material_index.size());
    EXPECT_EQ(in.conductivities.size(), model->properties.size());
    // The air block encloses everything: no cell of the gridded quarter is empty.
    for (int32_t m : in.mat) ASSERT_GT(m, 0);
    ASSERT_EQ(in.tail.size(), 1u);
    EXPECT_EQ(RecordFile::Doubles(in.tail[0]), (std::vector<double>{1.0, 0.0256}));
}

}  // namespace
