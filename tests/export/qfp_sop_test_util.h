#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "export/compact_computation.h"
#include "export/solver_grid.h"
#include "tests/export/compact_test_util.h"

namespace qfp_sop_test {

namespace fs = std::filesystem;
using compact_test::ExtractOnly;

// The faces listed in the face set named `name`.
inline int FacesInSet(const std::string& xml, const std::string& name) {
    const std::size_t at = xml.find("<name>" + name + "</name>");
    if (at == std::string::npos) return -1;
    const std::size_t end = xml.find("</faceset>", at);
    int faces = 0;
    for (std::size_t p = xml.find("<face>", at); p < end; p = xml.find("<face>", p + 1)) ++faces;
    return faces;
}

// Grids the model as the compact computation does with the default mesh factors and
// prints the cell counts.
inline void PrintGrid(const char* label, pkg::DetailedModel& model) {
    model.Build();
    const pkg::CompactModelRequest r;
    const pkg::GridParameters parameters =
        pkg::MakeGridParameters(pkg::SmallestPartExtents(model.root), r.standard_length_factor_x,
                                r.standard_length_factor_y, r.standard_length_factor_z,
                                r.threshold_factor_x, r.threshold_factor_y, r.threshold_factor_z);
    std::vector<pkg::GridLine> x, y, z;
    pkg::CellModel cells;
    ASSERT_TRUE(pkg::BuildSolverGrid(model, parameters, x, y, z, cells));
    std::printf("%s grid: nx %zu, ny %zu, nz %zu (%zu cells)\n", label, cells.material_cells.nx(),
                cells.material_cells.ny(), cells.material_cells.nz(), cells.material_cells.size());
}

}  // namespace qfp_sop_test
