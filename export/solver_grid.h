#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "models/detailed_model.h"
#include "models/model_tree.h"

namespace pkg {

// The part that put a face on a grid line, told apart by the address of its geometry (two
// blocks of equal geometry are two sources). Both pointers are null for the line at 0.0
// added to x and y. Non-owning: valid while the model lives.
struct GridLineSource {
    const Cuboid* cuboid = nullptr;
    const Prism* prism = nullptr;
};

// One grid line in millimetres, with every part face that lies on it or was merged into it.
struct GridLine {
    double position = 0.0;
    std::vector<GridLineSource> sources;
};

// Working set of BuildGridLines: the lines of each axis and the merge threshold of each
// axis in millimetres.
struct GridLineSet {
    std::vector<GridLine> x_lines;
    std::vector<GridLine> y_lines;
    std::vector<GridLine> z_lines;
    double threshold_x = 0.0;
    double threshold_y = 0.0;
    double threshold_z = 0.0;
};

// Dense nx x ny x nz grid of 32-bit indices, -1 for an empty cell. Cell (i, j, k) spans
// x line i to i+1, y line j to j+1, z line k to k+1.
class CellGrid {
public:
    static constexpr int32_t kEmpty = -1;

    std::size_t nx() const { return nx_; }
    std::size_t ny() const { return ny_; }
    std::size_t nz() const { return nz_; }
    std::size_t size() const { return cells_.size(); }

    int32_t at(std::size_t i, std::size_t j, std::size_t k) const { return cells_[Offset(i, j, k)]; }
    int32_t& at(std::size_t i, std::size_t j, std::size_t k) { return cells_[Offset(i, j, k)]; }

    // Resizes to nx x ny x nz and empties every cell; false (grid left empty) when the
    // cell count does not fit in memory addressing.
    bool Resize(std::size_t nx, std::size_t ny, std::size_t nz);

private:
    std::size_t Offset(std::size_t i, std::size_t j, std::size_t k) const {
        return (i * ny_ + j) * nz_ + k;
    }

    std::size_t nx_ = 0;
    std::size_t ny_ = 0;
    std::size_t nz_ = 0;
    std::vector<int32_t> cells_;
};

using NameIndexMap = std::map<std::string, int32_t>;

// The rasterised model: material and part of every cell, and the name numbering of both.
struct CellModel {
    NameIndexMap material_index;
    NameIndexMap part_index;
    CellGrid material_cells;
    CellGrid part_cells;
};

// Thresholds and standard lengths per axis, in millimetres. Callers derive them from the
// smallest part extents times the mesh factors of the settings.
struct GridParameters {
    double threshold_x = 0.0;
    double threshold_y = 0.0;
    double threshold_z = 0.0;
    double standard_length_x = 0.0;
    double standard_length_y = 0.0;
    double standard_length_z = 0.0;
};

struct PartExtents {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

// Smallest block extent along each axis over the whole tree; prisms count only their
// thickness, along z. An axis without any part keeps the largest finite double.
PartExtents SmallestPartExtents(const Group& root);

// Grid parameters from the smallest part extents and the six mesh factors.
GridParameters MakeGridParameters(const PartExtents& smallest, double standard_length_factor_x,
                                  double standard_length_factor_y, double standard_length_factor_z,
                                  double threshold_factor_x, double threshold_factor_y,
                                  double threshold_factor_z);

// Largest solver grid in cells. One solve holds about 100 bytes per cell: four conduction
// coefficients and seven doubles of the stage being solved (right-hand side, diagonal,
// temperature, residual, direction, product, factor pivots), the material index of every
// cell in the solver and two cell grids here. The cap keeps one solve under 4 GiB.
constexpr std::uint64_t kBytesPerSolverCell = 100;
constexpr std::uint64_t kMaxSolverCells = (std::uint64_t(4) << 30) / kBytesPerSolverCell;

// Grids the quarter x <= 0, y <= 0 of the model and rasterises its parts into the cells.
// False when an axis ends up with fewer than two lines (a model without parts) or the
// grid would exceed kMaxSolverCells; the outputs are then unusable. The subdivided line
// counts are checked before any line is made.
bool BuildSolverGrid(const DetailedModel& model, const GridParameters& parameters,
                     std::vector<GridLine>& x_out, std::vector<GridLine>& y_out,
                     std::vector<GridLine>& z_out, CellModel& cells);

// Grid lines from the faces of every part: x and y clipped at 0.0, close lines merged.
void BuildGridLines(GridLineSet& set, const Group& root);

// Splits every gap of at least twice the standard length into equal cells no narrower
// than it; the new lines carry no sources.
void SubdivideGridLines(const std::vector<GridLine>& lines, double standard_length,
                        std::vector<GridLine>& out);

// Number of lines SubdivideGridLines makes from `lines`, without making them.
std::uint64_t SubdividedLineCount(const std::vector<GridLine>& lines, double standard_length);

// Smallest distance between neighbouring lines; 0.0 with fewer than two lines.
double SmallestGridGap(const std::vector<GridLine>& lines);

bool ResizeCellGrid(CellGrid& grid, std::size_t nx, std::size_t ny, std::size_t nz);

// Writes the parts into both cell grids: blocks, then prisms, then sub-groups, so the part
// rasterised last owns a cell where parts overlap.
void RasterizeGroupTree(CellModel& cells, const Group& group, const std::vector<GridLine>& x_lines,
                        const std::vector<GridLine>& y_lines, const std::vector<GridLine>& z_lines);

}  // namespace pkg
