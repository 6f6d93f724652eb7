#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "export/solver_grid.h"
#include "export/surf_register/surface_register.h"
#include "models/detailed_model.h"

namespace pkg::surf_register {

// Model kinds of the compact computations.
constexpr uint32_t kTwoResistorModel = 2;
constexpr uint32_t kThreeResistorModel = 3;
constexpr uint32_t kDelphiModel = 4;

// The node registration for a model kind and package type (the part's type folder name,
// compared exactly); empty when none fits. Every argument is kept as the registration's
// own copy.
std::shared_ptr<SurfaceRegister> CreateSurfaceRegister(
    uint32_t model_kind, std::string package_type, std::shared_ptr<DetailedModel> model,
    std::vector<GridLine> x_lines, std::vector<GridLine> y_lines, std::vector<GridLine> z_lines,
    CellGrid material_cells, CellGrid part_cells, NameIndexMap material_index,
    NameIndexMap part_index);

}  // namespace pkg::surf_register
