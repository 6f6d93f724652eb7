#include "export/surf_register/delphi_reg_model_bga.h"

namespace pkg::surf_register {

namespace {

// A region bound and the grid line of the air-block face that marks it stand for one
// face; a bound computed another way may miss that line by a rounding error, which must
// not move the boundary by a column. Far below any cell width.
constexpr double kRegionTolerance = 1e-9;  // mm

BallRegion CentredRegion(double half_x, double half_y) {
    return BallRegion{-half_x, half_x, -half_y, half_y};
}

BallRegion InnerBallRegion(const bga::BGA* b) {
    if (!b) return {};
    return CentredRegion(bga::BGAInnerRegionExtentX(*b), bga::BGAInnerRegionExtentY(*b));
}

BallRegion PeripheralRegion(const bga::BGA* b) {
    if (!b) return {};
    return CentredRegion(bga::BGAPeripheralRegionExtentX(*b), bga::BGAPeripheralRegionExtentY(*b));
}

BallRegion CentreBlockRegion(const bga::BGA* b) {
    if (!b) return {};
    const double p = b->solder_ball.pitch;
    return CentredRegion(b->solder_ball.number_center.x * p * 0.5,
                         b->solder_ball.number_center.y * p * 0.5);
}

}  // namespace

SurfaceRegister_DelphiModel_BGA_base::SurfaceRegister_DelphiModel_BGA_base(
    CellGrid material_cells_in, CellGrid part_cells_in, NameIndexMap material_index_in,
    NameIndexMap part_index_in, std::shared_ptr<bga::BGADetailedModel> model_in,
    std::vector<GridLine> x_lines_in, std::vector<GridLine> y_lines_in,
    std::vector<GridLine> z_lines_in, RegionOf region_of)
    : SurfaceRegister(std::move(material_cells_in), std::move(part_cells_in),
                      std::move(material_index_in), std::move(part_index_in)),
      chip_range(PartCellRange(part_cells, part_index, "chip")),
      model(std::move(model_in)),
      x_lines(std::move(x_lines_in)),
      y_lines(std::move(y_lines_in)),
      z_lines(std::move(z_lines_in)),
      region(region_of(model.get())) {}

bool SurfaceRegister_DelphiModel_BGA_base::HasRequiredGroups() const {
    return HasMaterials({"chip", "mold", "solder_ball", "air"});
}

void SurfaceRegister_DelphiModel_BGA_base::AppendTops(NodeRegister& inner,
                                                      NodeRegister& outer) const {
    for (uint64_t i = 0; i < nx; ++i)
        for (uint64_t j = 0; j < ny; ++j) {
            NodeRegister& node = chip_range.Contains(i, j) ? inner : outer;
            node.Add(static_cast<int32_t>(i + 1), static_cast<int32_t>(j + 1),
                     static_cast<int32_t>(nz + 1), kFaceZ);
        }
}

void SurfaceRegister_DelphiModel_BGA_base::AppendSides(NodeRegister& node) const {
    node.i.reserve(ny * nz + nx * nz);
    node.j.reserve(ny * nz + nx * nz);
    node.k.reserve(ny * nz + nx * nz);
    node.face.reserve(ny * nz + nx * nz);
    for (uint64_t j = 0; j < ny; ++j)
        for (uint64_t k = 0; k < nz; ++k)
            node.Add(1, static_cast<int32_t>(j + 1), static_cast<int32_t>(k + 1), kFaceX);
    for (uint64_t i = 0; i < nx; ++i)
        for (uint64_t k = 0; k < nz; ++k)
            node.Add(static_cast<int32_t>(i + 1), 1, static_cast<int32_t>(k + 1), kFaceY);
}

bool SurfaceRegister_DelphiModel_BGA_base::InRegion(const std::vector<GridLine>& x_lines,
                                                    const std::vector<GridLine>& y_lines,
                                                    const BallRegion& region, uint64_t i,
                                                    uint64_t j) {
    if (i >= x_lines.size() || j >= y_lines.size()) return false;
    const double x = x_lines[i].position;
    const double y = y_lines[j].position;
    return region.x_low - kRegionTolerance <= x && x < region.x_high - kRegionTolerance &&
           region.y_low - kRegionTolerance <= y && y < region.y_high - kRegionTolerance;
}

SurfaceRegister_DelphiModel_BGA_full::SurfaceRegister_DelphiModel_BGA_full(
    CellGrid material_cells_in, CellGrid part_cells_in, NameIndexMap material_index_in,
    NameIndexMap part_index_in, std::shared_ptr<bga::BGADetailedModel> model_in,
    std::vector<GridLine> x_lines_in, std::vector<GridLine> y_lines_in,
    std::vector<GridLine> z_lines_in)
    : SurfaceRegister_DelphiModel_BGA_base(
          std::move(material_cells_in), std::move(part_cells_in), std::move(material_index_in),
          std::move(part_index_in), std::move(model_in), std::move(x_lines_in),
          std::move(y_lines_in), std::move(z_lines_in), InnerBallRegion) {}

bool SurfaceRegister_DelphiModel_BGA_full::HasRequiredGroups() const {
    if (!SurfaceRegister_DelphiModel_BGA_base::HasRequiredGroups()) return false;
    return !(model && model->composition.via) || HasMaterials({"via"});
}

std::vector<NodeRegister> SurfaceRegister_DelphiModel_BGA_full::BuildNodeList() const {
    std::vector<NodeRegister> nodes;
    nodes.reserve(6);
    for (const char* name : {"TI", "TO", "LI", "LO", "S", "J"}) nodes.emplace_back(name);
    AppendTops(nodes[0], nodes[1]);
    auto in = [this](uint64_t i, uint64_t j) { return InRegion(x_lines, y_lines, region, i, j); };
    AppendBallSide(nodes[2], in);
    AppendBallSide(nodes[3], [&in](uint64_t i, uint64_t j) { return !in(i, j); });
    AppendSides(nodes[4]);
    AppendVolume(nodes[5], MaterialIndex("chip"));
    return nodes;
}

SurfaceRegister_DelphiModel_BGA_out::SurfaceRegister_DelphiModel_BGA_out(
    CellGrid material_cells_in, CellGrid part_cells_in, NameIndexMap material_index_in,
    NameIndexMap part_index_in, std::shared_ptr<bga::BGADetailedModel> model_in,
    std::vector<GridLine> x_lines_in, std::vector<GridLine> y_lines_in,
    std::vector<GridLine> z_lines_in)
    : SurfaceRegister_DelphiModel_BGA_base(
          std::move(material_cells_in), std::move(part_cells_in), std::move(material_index_in),
          std::move(part_index_in), std::move(model_in), std::move(x_lines_in),
          std::move(y_lines_in), std::move(z_lines_in), PeripheralRegion) {}

std::vector<NodeRegister> SurfaceRegister_DelphiModel_BGA_out::BuildNodeList() const {
    std::vector<NodeRegister> nodes;
    nodes.reserve(6);
    for (const char* name : {"TI", "TO", "L", "B", "S", "J"}) nodes.emplace_back(name);
    AppendTops(nodes[0], nodes[1]);
    auto centre = [this](uint64_t i, uint64_t j) {
        return InRegion(x_lines, y_lines, region, i, j);
    };
    AppendBallSide(nodes[2], [&centre](uint64_t i, uint64_t j) { return !centre(i, j); });
    AppendBallSide(nodes[3], centre);
    AppendSides(nodes[4]);
    AppendVolume(nodes[5], MaterialIndex("chip"));
    return nodes;
}

SurfaceRegister_DelphiModel_BGA_outcenter::SurfaceRegister_DelphiModel_BGA_outcenter(
    std::shared_ptr<bga::BGADetailedModel> model_in, std::vector<GridLine> x_lines_in,
    std::vector<GridLine> y_lines_in, std::vector<GridLine> z_lines_in,
    CellGrid material_cells_in, CellGrid part_cells_in, NameIndexMap material_index_in,
    NameIndexMap part_index_in)
    : SurfaceRegister_DelphiModel_BGA_base(
          std::move(material_cells_in), std::move(part_cells_in), std::move(material_index_in),
          std::move(part_index_in), std::move(model_in), std::move(x_lines_in),
          std::move(y_lines_in), std::move(z_lines_in), CentreBlockRegion),
      second_region(PeripheralRegion(model.get())) {}

std::vector<NodeRegister> SurfaceRegister_DelphiModel_BGA_outcenter::BuildNodeList() const {
    std::vector<NodeRegister> nodes;
    nodes.reserve(7);
    for (const char* name : {"TI", "TO", "LI", "LO", "B", "S", "J"}) nodes.emplace_back(name);
    AppendTops(nodes[0], nodes[1]);
    auto block = [this](uint64_t i, uint64_t j) {
        return InRegion(x_lines, y_lines, region, i, j);
    };
    auto inside_rows = [this](uint64_t i, uint64_t j) {
        return InRegion(x_lines, y_lines, second_region, i, j);
    };
    AppendBallSide(nodes[2], block);
    AppendBallSide(nodes[3], [&](uint64_t i, uint64_t j) { return !inside_rows(i, j); });
    AppendBallSide(nodes[4],
                   [&](uint64_t i, uint64_t j) { return inside_rows(i, j) && !block(i, j); });
    AppendSides(nodes[5]);
    AppendVolume(nodes[6], MaterialIndex("chip"));
    return nodes;
}

}  // namespace pkg::surf_register
