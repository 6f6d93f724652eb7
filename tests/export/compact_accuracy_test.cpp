// The default PBGA two-resistor values as the export computes them: at the production
// stopping tolerance they are the tightly converged values to 1e-5, and both agree with
// an independent banded direct solve of the very same solver input file.
#include "export/compact_computation.h"

#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

#include "export/solver_grid.h"
#include "export/solver_input.h"
#include "export/surf_register/create_surface_register.h"
#include "models/bga/bga_detailed_model.h"
#include "solver/resist_model.h"
#include "tests/export/compact_test_util.h"
#include "tests/solver/oracle.h"

namespace {

using compact_test::CompactFolders;

// Writes the default PBGA's two-resistor input file as ComputePartResistances does.
bool WriteDefaultPbgaInput(const std::string& path) {
    auto model = std::make_shared<pkg::bga::BGADetailedModel>(false);
    if (model->BuildWithAir() != 0) return false;
    const pkg::CompactModelRequest request;
    const pkg::GridParameters parameters = pkg::MakeGridParameters(
        pkg::SmallestPartExtents(model->root), request.standard_length_factor_x,
        request.standard_length_factor_y, request.standard_length_factor_z,
        request.threshold_factor_x, request.threshold_factor_y, request.threshold_factor_z);
    std::vector<pkg::GridLine> x, y, z;
    pkg::CellModel cells;
    if (!pkg::BuildSolverGrid(*model, parameters, x, y, z, cells)) return false;
    const auto reg = pkg::surf_register::CreateSurfaceRegister(
        2, "PBGA", model, x, y, z, cells.material_cells, cells.part_cells, cells.material_index,
        cells.part_index);
    if (!reg || !reg->HasRequiredGroups()) return false;
    pkg::SolverInputHeader header;
    header.model_kind = 2;
    header.ramda = request.fluid_thermal_conductivity;
    return pkg::WriteSolverInput(header, std::wstring(path.begin(), path.end()), "PBGA", x, y, z,
                                 cells.material_cells, cells.material_index, model->properties,
                                 reg->BuildNodeList());
}

std::vector<pkg::ResistanceResult> Solve(const std::string& path) {
    pkg::ResistanceResultSet set;
    EXPECT_TRUE(pkg::ComputeResistances(set, path));
    return set.results;
}

using DefaultPbgaAccuracy = CompactFolders;

TEST_F(DefaultPbgaAccuracy, ProductionToleranceAndDirectSolveAgree) {
    const std::string production = (tmp_ / "pbga_1e-4").string();
    ASSERT_TRUE(WriteDefaultPbgaInput(production));
    const std::string bytes = solver_test::ReadText(production);
    solver_test::Input input;
    ASSERT_TRUE(solver_oracle::ParseInput(bytes, input));
    ASSERT_EQ(solver_test::Serialise(input), bytes);  // the oracle reads the whole file
    ASSERT_EQ(input.eitr, 1.0e-4);
    ASSERT_EQ(input.im * input.jm * input.km, 40 * 40 * 16);

    solver_test::Input tight_input = input;
    tight_input.eitr = 1.0e-12;
    const std::string tight_path = (tmp_ / "pbga_1e-12").string();
    solver_test::WriteFile(tight_path, solver_test::Serialise(tight_input));

    const std::vector<pkg::ResistanceResult> loose = Solve(production);
    const std::vector<pkg::ResistanceResult> tight = Solve(tight_path);
    const solver_oracle::Outcome exact = solver_oracle::Solve(input);
    ASSERT_EQ(loose.size(), 2u);
    ASSERT_EQ(tight.size(), 2u);
    ASSERT_EQ(exact.resistances.size(), 2u);
    for (std::size_t k = 0; k < 2; ++k) {
        const std::string name = loose[k].node1 + "-" + loose[k].node2;
        EXPECT_EQ(name, exact.resistances[k].first);
        const double r = exact.resistances[k].second;
        EXPECT_GT(r, 0.0);
        EXPECT_LE(std::abs(loose[k].value - tight[k].value), 1e-5 * tight[k].value) << name;
        EXPECT_LE(std::abs(loose[k].value - r), 1e-4 * r) << name;
        EXPECT_LE(std::abs(tight[k].value - r), 1e-9 * r) << name;
    }

    // The whole export path computes from the same file: its values are the loose ones.
    auto model = std::make_shared<pkg::bga::BGADetailedModel>(false);
    double values[64] = {};
    ASSERT_TRUE(pkg::ComputePartResistances(pkg::CompactModelRequest(), L"PBGA", 2, model,
                                            values, L""));
    EXPECT_EQ(values[0], loose[0].value);
    EXPECT_EQ(values[1], loose[1].value);
}

}  // namespace
