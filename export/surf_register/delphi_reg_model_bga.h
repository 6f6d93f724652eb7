#pragma once

#include <memory>
#include <vector>

#include "export/solver_grid.h"
#include "export/surf_register/delphi_cell_range.h"
#include "export/surf_register/surface_register.h"
#include "models/bga/bga_detailed_model.h"

namespace pkg::surf_register {

// A rectangle of the package plane in millimetres, holding the columns whose low corner
// (x line i, y line j) lies in [x_low, x_high) x [y_low, y_high).
struct BallRegion {
    double x_low = 0.0;
    double x_high = 0.0;
    double y_low = 0.0;
    double y_high = 0.0;
};

// Base of the DELPHI registrations of a ball grid array gridded inside its air block: the
// whole top split over the chip, the two outer side planes and the chip. The ball side is
// split by regions of the ball layout, which the derived classes choose.
class SurfaceRegister_DelphiModel_BGA_base : public SurfaceRegister {
public:
    ~SurfaceRegister_DelphiModel_BGA_base() override = default;

    bool HasRequiredGroups() const override;

    // The columns of the chip.
    CellRange chip_range;
    std::shared_ptr<bga::BGADetailedModel> model;
    std::vector<GridLine> x_lines;
    std::vector<GridLine> y_lines;
    std::vector<GridLine> z_lines;
    // The region of the ball side that the layout's nodes are split by.
    BallRegion region;

protected:
    // The region of a layout for a package; an empty region when there is no package.
    using RegionOf = BallRegion (*)(const bga::BGA* model);
    // Keeps the model and its grid lines; `region` is region_of(model).
    SurfaceRegister_DelphiModel_BGA_base(CellGrid material_cells, CellGrid part_cells,
                                         NameIndexMap material_index, NameIndexMap part_index,
                                         std::shared_ptr<bga::BGADetailedModel> model,
                                         std::vector<GridLine> x_lines,
                                         std::vector<GridLine> y_lines,
                                         std::vector<GridLine> z_lines, RegionOf region_of);

    // "TI" over the chip's columns and "TO" over the rest of the top plane.
    void AppendTops(NodeRegister& inner, NodeRegister& outer) const;
    // The outer side planes x plane 1 and y plane 1 over the whole height; the planes x = 0
    // and y = 0 are symmetry planes.
    void AppendSides(NodeRegister& node) const;
    // Bottom-plane faces of the columns `select` (i, j) accepts, in grid order.
    template <typename Select>
    void AppendBallSide(NodeRegister& node, Select select) const {
        for (uint64_t i = 0; i < nx; ++i)
            for (uint64_t j = 0; j < ny; ++j)
                if (select(i, j))
                    node.Add(static_cast<int32_t>(i + 1), static_cast<int32_t>(j + 1), 1, kFaceZ);
    }
    // True when the low corner of column (i, j), 0-based, lies in the region, with the
    // grid lines of `lines`. A column without grid lines lies in no region.
    static bool InRegion(const std::vector<GridLine>& x_lines, const std::vector<GridLine>& y_lines,
                         const BallRegion& region, uint64_t i, uint64_t j);
};

// A full ball array: "LI" under the inner ball region, "LO" the rest of the ball side.
class SurfaceRegister_DelphiModel_BGA_full : public SurfaceRegister_DelphiModel_BGA_base {
public:
    SurfaceRegister_DelphiModel_BGA_full(CellGrid material_cells, CellGrid part_cells,
                                         NameIndexMap material_index, NameIndexMap part_index,
                                         std::shared_ptr<bga::BGADetailedModel> model,
                                         std::vector<GridLine> x_lines,
                                         std::vector<GridLine> y_lines,
                                         std::vector<GridLine> z_lines);
    ~SurfaceRegister_DelphiModel_BGA_full() override = default;

    std::vector<NodeRegister> BuildNodeList() const override;
    // The via region, when the package has one, must be in the model too.
    bool HasRequiredGroups() const override;
};

// Peripheral ball rows: "L" under the rows, "B" under the ball-free centre.
class SurfaceRegister_DelphiModel_BGA_out : public SurfaceRegister_DelphiModel_BGA_base {
public:
    SurfaceRegister_DelphiModel_BGA_out(CellGrid material_cells, CellGrid part_cells,
                                        NameIndexMap material_index, NameIndexMap part_index,
                                        std::shared_ptr<bga::BGADetailedModel> model,
                                        std::vector<GridLine> x_lines,
                                        std::vector<GridLine> y_lines,
                                        std::vector<GridLine> z_lines);
    ~SurfaceRegister_DelphiModel_BGA_out() override = default;

    std::vector<NodeRegister> BuildNodeList() const override;
};

// Peripheral ball rows with a centre block: "LI" under the centre block, "LO" under the
// rows, "B" under the ball-free ring between them.
class SurfaceRegister_DelphiModel_BGA_outcenter : public SurfaceRegister_DelphiModel_BGA_base {
public:
    SurfaceRegister_DelphiModel_BGA_outcenter(std::shared_ptr<bga::BGADetailedModel> model,
                                              std::vector<GridLine> x_lines,
                                              std::vector<GridLine> y_lines,
                                              std::vector<GridLine> z_lines,
                                              CellGrid material_cells, CellGrid part_cells,
                                              NameIndexMap material_index,
                                              NameIndexMap part_index);
    ~SurfaceRegister_DelphiModel_BGA_outcenter() override = default;

    std::vector<NodeRegister> BuildNodeList() const override;

    // `region` is the centre block; this the ball-free ring and the centre inside it.
    BallRegion second_region;
};

}  // namespace pkg::surf_register
