#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "solver/model_state.h"

namespace resist_model {

// The symmetric 7-point conduction matrix in 4-diagonal form: the diagonal and the
// couplings of cell n with n+1 (x), n+IM (y) and n+IM*JM (z). The lower couplings are the
// same values seen from the other cell. A missing coupling (grid edge, empty neighbour)
// is 0, which also covers the wrap-around of the offsets at line and plane ends.
struct FourDiagonal {
    std::int64_t ncell = 0;
    std::int64_t im = 0;    // offset of the y coupling
    std::int64_t imjm = 0;  // offset of the z coupling
    std::vector<double> diag, cx, cy, cz;
};

// Conduction between neighbouring cells, identical for every stage. An empty cell gets an
// identity row. Each diagonal is summed over the directions -x, +x, -y, +y, -z, +z in this
// order, so adding a stage's boundary terms afterwards reproduces the usual sum.
FourDiagonal AssembleConduction(const ModelState& state);

enum ConditionKind { kHeatSource = 1, kFixedTemperature = 2, kSurfaceResistance = 3 };

// One boundary condition of a stage, applied to the first region of that name.
struct BoundaryCondition {
    std::string name;  // blank-padded
    int kind = kHeatSource;
    double value = 0.0;               // heat in W, or the ambient / fixed temperature
    double surface_resistance = 0.0;  // m^2 K/W, surface resistance only; infinite: adiabatic
};

// The conditions of stage g (1-based; the case number of a DELPHI run).
std::vector<BoundaryCondition> StageConditions(const ModelState& state, int g);

// A stage's system: the conduction diagonal plus the boundary terms, and the right-hand
// side. The couplings stay those of the shared conduction matrix.
struct StageSystem {
    std::vector<double> diag;
    std::vector<double> b;
};

StageSystem ApplyConditions(const ModelState& state, const FourDiagonal& conduction,
                            const std::vector<BoundaryCondition>& conditions);

// A face entry between cell (i, j, k) and its low-side neighbour along the face's axis,
// resolved to the one solid cell beside an empty one.
struct BoundaryFace {
    int i = 0, j = 0, k = 0;  // the solid cell
    int axis = 0;             // 0 x, 1 y, 2 z
    double area = 0.0;
    double half_width = 0.0;
    double conductivity = 0.0;
};

// False for a whole-cell entry and for a face between two solid or two empty cells.
bool ResolveBoundaryFace(const ModelState& state, const RegionEntry& entry, BoundaryFace& face);

}  // namespace resist_model
