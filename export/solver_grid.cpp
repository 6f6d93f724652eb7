#include "export/solver_grid.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "export/run_failure.h"
#include "resources/string_ids.h"

namespace pkg {

namespace {

void VisitSmallestExtents(const Group& group, PartExtents& smallest) {
    for (const NamedCuboid& c : group.cuboids) {
        if (smallest.x > c.box.dx) smallest.x = c.box.dx;
        if (smallest.y > c.box.dy) smallest.y = c.box.dy;
        if (smallest.z > c.box.dz) smallest.z = c.box.dz;
    }
    for (const NamedPrism& p : group.prisms) {
        if (smallest.z > p.prism.thickness) smallest.z = p.prism.thickness;
    }
    for (const GroupPtr& child : group.children) {
        if (child) VisitSmallestExtents(*child, smallest);
    }
}

// Positions are compared exactly: faces that differ by any amount make separate lines
// until the threshold merges them.
void AddGridLine(std::vector<GridLine>& lines, double position, const GridLineSource& source) {
    for (GridLine& line : lines) {
        if (line.position == position) {
            line.sources.push_back(source);
            return;
        }
    }
    lines.push_back(GridLine{position, {source}});
}

void CollectPartBounds(GridLineSet& set, const Group& group) {
    for (const NamedCuboid& c : group.cuboids) {
        const GridLineSource source{&c.box, nullptr};
        AddGridLine(set.x_lines, c.box.x, source);
        AddGridLine(set.x_lines, c.box.x + c.box.dx, source);
        AddGridLine(set.y_lines, c.box.y, source);
        AddGridLine(set.y_lines, c.box.y + c.box.dy, source);
        AddGridLine(set.z_lines, c.box.z, source);
        AddGridLine(set.z_lines, c.box.z + c.box.dz, source);
    }
    for (const NamedPrism& p : group.prisms) {
        const GridLineSource source{nullptr, &p.prism};
        for (const Point3& corner : p.prism.corner) {
            AddGridLine(set.x_lines, corner.x, source);
            AddGridLine(set.y_lines, corner.y, source);
        }
        AddGridLine(set.z_lines, p.prism.base_z, source);
        AddGridLine(set.z_lines, p.prism.base_z + p.prism.thickness, source);
    }
    for (const GroupPtr& child : group.children) {
        if (child) CollectPartBounds(set, *child);
    }
}

// Only the quarter x <= 0, y <= 0 is gridded. Faces beyond 0.0 are kept on the line at
// 0.0 (always present and last after sorting), so a part crossing the symmetry plane still
// finds its far face there.
void DropPositiveGridLines(std::vector<GridLine>& lines) {
    std::vector<GridLine> kept;
    kept.reserve(lines.size());
    for (GridLine& line : lines) {
        if (line.position <= 0.0 || kept.empty()) {
            kept.push_back(std::move(line));
        } else {
            GridLine& last = kept.back();
            last.sources.insert(last.sources.end(), line.sources.begin(), line.sources.end());
        }
    }
    lines = std::move(kept);
}

// A dropped line's faces count as lying on the kept line before it; the first and the
// last line always survive.
void MergeCloseGridLines(double threshold, std::vector<GridLine>& lines) {
    if (lines.size() < 2) return;
    std::vector<GridLine> kept;
    kept.reserve(lines.size());
    kept.push_back(std::move(lines.front()));
    for (std::size_t n = 1; n + 1 < lines.size(); ++n) {
        GridLine& last = kept.back();
        if (lines[n].position - last.position < threshold) {
            last.sources.insert(last.sources.end(), lines[n].sources.begin(),
                                lines[n].sources.end());
        } else {
            kept.push_back(std::move(lines[n]));
        }
    }
    kept.push_back(std::move(lines.back()));
    lines = std::move(kept);
}

void SortByPosition(std::vector<GridLine>& lines) {
    std::stable_sort(lines.begin(), lines.end(),
                     [](const GridLine& a, const GridLine& b) { return a.position < b.position; });
}

void MergeAxis(double threshold, std::vector<GridLine>& lines) {
    if (threshold > 0.0 && threshold > SmallestGridGap(lines)) {
        MergeCloseGridLines(threshold, lines);
    }
}

void IndexName(NameIndexMap& map, const std::string& name) {
    if (map.find(name) == map.end()) {
        const auto index = static_cast<int32_t>(map.size());
        map.emplace(name, index);
    }
}

void IndexMaterialNames(NameIndexMap& map, const Group& group) {
    for (const NamedCuboid& c : group.cuboids) IndexName(map, c.property_name);
    for (const NamedPrism& p : group.prisms) IndexName(map, p.property_name);
    for (const GroupPtr& child : group.children) {
        if (child) IndexMaterialNames(map, *child);
    }
}

void IndexPartNames(NameIndexMap& map, const Group& group) {
    for (const NamedCuboid& c : group.cuboids) IndexName(map, c.part_name);
    for (const NamedPrism& p : group.prisms) IndexName(map, p.part_name);
    for (const GroupPtr& child : group.children) {
        if (child) IndexPartNames(map, *child);
    }
}

// Half-open range of cell indices [first, last) along one axis.
struct CellRange {
    std::size_t first = 0;
    std::size_t last = 0;
    bool empty() const { return first >= last; }
};

bool HoldsCuboid(const GridLine& line, const Cuboid* box) {
    return std::any_of(line.sources.begin(), line.sources.end(),
                       [box](const GridLineSource& s) { return s.cuboid == box; });
}

bool HoldsPrism(const GridLine& line, const Prism* prism) {
    return std::any_of(line.sources.begin(), line.sources.end(),
                       [prism](const GridLineSource& s) { return s.prism == prism; });
}

// The cells between the first line holding the part and the next (cuboid) or last (prism)
// line holding it. When only one line holds it (both faces merged or clipped onto one
// line, as for a part wholly in x > 0 or y > 0) the part claims no cell along the axis.
// The end is a line index, so the range never leaves the nlines - 1 cells of the axis.
template <typename Holds>
CellRange AxisRange(const std::vector<GridLine>& lines, Holds holds, bool to_last_holder) {
    CellRange range;
    std::size_t first = lines.size();
    for (std::size_t n = 0; n < lines.size(); ++n) {
        if (holds(lines[n])) {
            first = n;
            break;
        }
    }
    if (first == lines.size()) return range;
    std::size_t end = first;
    for (std::size_t n = first + 1; n < lines.size(); ++n) {
        if (holds(lines[n])) {
            end = n;
            if (!to_last_holder) break;
        }
    }
    range.first = first;
    range.last = end;
    return range;
}

CellRange CuboidAxisRange(const std::vector<GridLine>& lines, const Cuboid* box) {
    return AxisRange(lines, [box](const GridLine& l) { return HoldsCuboid(l, box); }, false);
}

CellRange PrismAxisRange(const std::vector<GridLine>& lines, const Prism* prism) {
    return AxisRange(lines, [prism](const GridLine& l) { return HoldsPrism(l, prism); }, true);
}

// The indices of a name listed by IndexMaterialNames / IndexPartNames over the same tree.
int32_t IndexOf(const NameIndexMap& map, const std::string& name) {
    const auto it = map.find(name);
    return it == map.end() ? CellGrid::kEmpty : it->second;
}

void FillCells(CellModel& cells, const CellRange& x, const CellRange& y, const CellRange& z,
               int32_t material, int32_t part) {
    for (std::size_t i = x.first; i < x.last; ++i) {
        for (std::size_t j = y.first; j < y.last; ++j) {
            for (std::size_t k = z.first; k < z.last; ++k) {
                cells.material_cells.at(i, j, k) = material;
                cells.part_cells.at(i, j, k) = part;
            }
        }
    }
}

// Ranges are built from line indices; a cell grid sized from other lines would not match.
CellRange ClampToGrid(CellRange range, std::size_t cells) {
    range.last = std::min(range.last, cells);
    return range;
}

void RasterizeCuboid(CellModel& cells, const NamedCuboid& part, const std::vector<GridLine>& x,
                     const std::vector<GridLine>& y, const std::vector<GridLine>& z) {
    const CellRange rx = ClampToGrid(CuboidAxisRange(x, &part.box), cells.material_cells.nx());
    const CellRange ry = ClampToGrid(CuboidAxisRange(y, &part.box), cells.material_cells.ny());
    const CellRange rz = ClampToGrid(CuboidAxisRange(z, &part.box), cells.material_cells.nz());
    if (rx.empty() || ry.empty() || rz.empty()) return;
    FillCells(cells, rx, ry, rz, IndexOf(cells.material_index, part.property_name),
              IndexOf(cells.part_index, part.part_name));
}

// Point-in-quadrilateral by crossings, edges 4->1, 1->2, 2->3, 3->4. A centre on an edge
// (the two vectors to its ends point in opposite directions) counts as inside, so a prism
// edge lying on a grid line does not leave a row of cells out.
bool CentreInsideBase(const Prism& prism, double cx, double cy) {
    bool inside = false;
    for (int n = 0; n < 4; ++n) {
        const Point3& p = prism.corner[(n + 3) % 4];
        const Point3& c = prism.corner[n];
        const bool p_upper = p.y >= cy;
        const bool c_upper = c.y >= cy;
        if (p_upper == c_upper) continue;
        const double ax = c.x - cx, ay = c.y - cy;
        const double bx = p.x - cx, by = p.y - cy;
        const double la = std::sqrt(ax * ax + ay * ay);
        const double lb = std::sqrt(bx * bx + by * by);
        if (ax * bx + ay * by + la * lb <= 1e-5 * la * lb) return true;
        if (c_upper == ((p.x - c.x) * (c.y - cy) >= (p.y - c.y) * (c.x - cx))) inside = !inside;
    }
    return inside;
}

// Prisms claim cells by cell centre in x and y and by their own lines in z.
void RasterizePrism(CellModel& cells, const NamedPrism& part, const std::vector<GridLine>& x,
                    const std::vector<GridLine>& y, const std::vector<GridLine>& z) {
    const CellRange rx = ClampToGrid(PrismAxisRange(x, &part.prism), cells.material_cells.nx());
    const CellRange ry = ClampToGrid(PrismAxisRange(y, &part.prism), cells.material_cells.ny());
    const CellRange rz = ClampToGrid(PrismAxisRange(z, &part.prism), cells.material_cells.nz());
    if (rx.empty() || ry.empty() || rz.empty()) return;
    const int32_t material = IndexOf(cells.material_index, part.property_name);
    const int32_t part_index = IndexOf(cells.part_index, part.part_name);
    for (std::size_t i = rx.first; i < rx.last; ++i) {
        const double cx = (x[i].position + x[i + 1].position) / 2.0;
        for (std::size_t j = ry.first; j < ry.last; ++j) {
            const double cy = (y[j].position + y[j + 1].position) / 2.0;
            if (!CentreInsideBase(part.prism, cx, cy)) continue;
            for (std::size_t k = rz.first; k < rz.last; ++k) {
                cells.material_cells.at(i, j, k) = material;
                cells.part_cells.at(i, j, k) = part_index;
            }
        }
    }
}

// Cells a gap is split into; 0 or 1 leaves it whole. A quotient outside the 32-bit range,
// infinite or NaN means no subdivision.
int32_t GapCells(double gap, double standard_length) {
    const double quotient = gap / standard_length;
    if (std::isfinite(quotient) && quotient > -2147483648.0 && quotient < 2147483648.0) {
        return static_cast<int32_t>(quotient);
    }
    return 0;
}

}  // namespace

bool CellGrid::Resize(std::size_t nx, std::size_t ny, std::size_t nz) {
    nx_ = ny_ = nz_ = 0;
    cells_.clear();
    const std::size_t limit = cells_.max_size();
    if (nx != 0 && ny > limit / nx) return false;
    if (nx * ny != 0 && nz > limit / (nx * ny)) return false;
    cells_.assign(nx * ny * nz, kEmpty);
    nx_ = nx;
    ny_ = ny;
    nz_ = nz;
    return true;
}

PartExtents SmallestPartExtents(const Group& root) {
    const double largest = std::numeric_limits<double>::max();
    PartExtents smallest{largest, largest, largest};
    VisitSmallestExtents(root, smallest);
    return smallest;
}

GridParameters MakeGridParameters(const PartExtents& smallest, double standard_length_factor_x,
                                  double standard_length_factor_y, double standard_length_factor_z,
                                  double threshold_factor_x, double threshold_factor_y,
                                  double threshold_factor_z) {
    GridParameters p;
    p.threshold_x = smallest.x * threshold_factor_x;
    p.threshold_y = smallest.y * threshold_factor_y;
    p.threshold_z = smallest.z * threshold_factor_z;
    p.standard_length_x = smallest.x * standard_length_factor_x;
    p.standard_length_y = smallest.y * standard_length_factor_y;
    p.standard_length_z = smallest.z * standard_length_factor_z;
    return p;
}

void BuildGridLines(GridLineSet& set, const Group& root) {
    set.x_lines.clear();
    set.y_lines.clear();
    set.z_lines.clear();
    CollectPartBounds(set, root);
    AddGridLine(set.x_lines, 0.0, GridLineSource{});
    AddGridLine(set.y_lines, 0.0, GridLineSource{});
    SortByPosition(set.x_lines);
    SortByPosition(set.y_lines);
    SortByPosition(set.z_lines);
    DropPositiveGridLines(set.x_lines);
    DropPositiveGridLines(set.y_lines);
    MergeAxis(set.threshold_x, set.x_lines);
    MergeAxis(set.threshold_y, set.y_lines);
    MergeAxis(set.threshold_z, set.z_lines);
}

void SubdivideGridLines(const std::vector<GridLine>& lines, double standard_length,
                        std::vector<GridLine>& out) {
    out.clear();
    if (lines.empty()) return;
    out.push_back(lines.front());
    for (std::size_t n = 1; n < lines.size(); ++n) {
        const double start = lines[n - 1].position;
        const double gap = lines[n].position - start;
        const int32_t m = GapCells(gap, standard_length);
        if (m > 1) {
            const double step = gap / m;
            for (int32_t s = 1; s < m; ++s) out.push_back(GridLine{start + s * step, {}});
        }
        out.push_back(lines[n]);
    }
}

std::uint64_t SubdividedLineCount(const std::vector<GridLine>& lines, double standard_length) {
    std::uint64_t count = lines.size();
    for (std::size_t n = 1; n < lines.size(); ++n) {
        const int32_t m = GapCells(lines[n].position - lines[n - 1].position, standard_length);
        if (m > 1) count += static_cast<std::uint64_t>(m) - 1;
    }
    return count;
}

double SmallestGridGap(const std::vector<GridLine>& lines) {
    if (lines.size() < 2) return 0.0;
    double smallest = std::numeric_limits<double>::infinity();
    for (std::size_t n = 1; n < lines.size(); ++n) {
        smallest = std::min(smallest, lines[n].position - lines[n - 1].position);
    }
    return smallest;
}

bool ResizeCellGrid(CellGrid& grid, std::size_t nx, std::size_t ny, std::size_t nz) {
    return grid.Resize(nx, ny, nz);
}

void RasterizeGroupTree(CellModel& cells, const Group& group, const std::vector<GridLine>& x_lines,
                        const std::vector<GridLine>& y_lines, const std::vector<GridLine>& z_lines) {
    for (const NamedCuboid& c : group.cuboids) RasterizeCuboid(cells, c, x_lines, y_lines, z_lines);
    for (const NamedPrism& p : group.prisms) RasterizePrism(cells, p, x_lines, y_lines, z_lines);
    for (const GroupPtr& child : group.children) {
        if (child) RasterizeGroupTree(cells, *child, x_lines, y_lines, z_lines);
    }
}

bool BuildSolverGrid(const DetailedModel& model, const GridParameters& parameters,
                     std::vector<GridLine>& x_out, std::vector<GridLine>& y_out,
                     std::vector<GridLine>& z_out, CellModel& cells) {
    GridLineSet set;
    set.threshold_x = parameters.threshold_x;
    set.threshold_y = parameters.threshold_y;
    set.threshold_z = parameters.threshold_z;
    BuildGridLines(set, model.root);

    x_out.clear();
    y_out.clear();
    z_out.clear();
    cells.material_index.clear();
    cells.part_index.clear();
    cells.material_cells.Resize(0, 0, 0);
    cells.part_cells.Resize(0, 0, 0);
    // Each factor is at most 2^31 times the line count, so no product below overflows.
    const std::uint64_t lx = SubdividedLineCount(set.x_lines, parameters.standard_length_x);
    const std::uint64_t ly = SubdividedLineCount(set.y_lines, parameters.standard_length_y);
    const std::uint64_t lz = SubdividedLineCount(set.z_lines, parameters.standard_length_z);
    if (lx >= 2 && ly >= 2 && lz >= 2 &&
        (lx - 1 > kMaxSolverCells || ly - 1 > kMaxSolverCells / (lx - 1) ||
         lz - 1 > kMaxSolverCells / ((lx - 1) * (ly - 1)))) {
        // In floating point: the product itself may not fit 64 bits.
        const double count = static_cast<double>(lx - 1) * static_cast<double>(ly - 1) *
                             static_cast<double>(lz - 1);
        char text[400];
        const auto end = std::to_chars(text, text + sizeof text, count, std::chars_format::fixed, 0);
        ReportRunFailure(resources::IDS_RUN_GRID_TOO_LARGE, std::wstring(text, end.ptr));
        return false;
    }

    SubdivideGridLines(set.x_lines, parameters.standard_length_x, x_out);
    SubdivideGridLines(set.y_lines, parameters.standard_length_y, y_out);
    SubdivideGridLines(set.z_lines, parameters.standard_length_z, z_out);
    // Without two lines on every axis there is no cell to own, and nx = lines - 1 would
    // wrap around.
    if (x_out.size() < 2 || y_out.size() < 2 || z_out.size() < 2) return false;
    const std::size_t nx = x_out.size() - 1, ny = y_out.size() - 1, nz = z_out.size() - 1;
    if (!ResizeCellGrid(cells.material_cells, nx, ny, nz)) return false;
    if (!ResizeCellGrid(cells.part_cells, nx, ny, nz)) return false;

    IndexMaterialNames(cells.material_index, model.root);
    IndexPartNames(cells.part_index, model.root);
    RasterizeGroupTree(cells, model.root, x_out, y_out, z_out);
    return true;
}

}  // namespace pkg
