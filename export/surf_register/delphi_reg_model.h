#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "export/surf_register/delphi_cell_range.h"
#include "export/surf_register/surface_register.h"

namespace pkg::surf_register {

// DELPHI nodes of a quad flat package: top and bottom of the mold split into the part over
// the die pad ("TI", "BI") and the rest ("TO", "BO"), the mold's sides "S", the lead feet
// "L" and the chip "J".
class SurfaceRegister_DelphiModel : public SurfaceRegister {
public:
    SurfaceRegister_DelphiModel(CellGrid material_cells, CellGrid part_cells,
                                NameIndexMap material_index, NameIndexMap part_index);
    ~SurfaceRegister_DelphiModel() override = default;

    std::vector<NodeRegister> BuildNodeList() const override;
    bool HasRequiredGroups() const override;

    // The columns of the die pad. The part cells never change, so it is found once.
    CellRange inner_range;

protected:
    // Mold-topped columns in and outside the inner range.
    void AppendTops(NodeRegister& inner, NodeRegister& outer) const;
    // Downward mold faces in and outside the inner range.
    void AppendBottoms(NodeRegister& inner, NodeRegister& outer) const;
    // Side faces of every mold cell toward an empty cell, in the order -x, +x, then, when
    // `y_faces`, -y, +y. The high x and y sides of the last layer lie on the symmetry
    // planes and take nothing; the low sides of the first layer lie on the outer boundary
    // of the grid, where the face is exposed and always taken.
    void AppendSides(NodeRegister& node, bool y_faces) const;
    // Feet of "lead" and of the outer-lead materials the model has.
    void AppendLeadFeet(NodeRegister& node) const;

    std::optional<int32_t> mold_;
};

// DELPHI nodes of a small outline package: as the quad flat package, with the sides split
// into "S1", the sides facing x, and "S2", the outer y boundary of the mold, where the
// leadless ends of the package lie.
class SurfaceRegister_DelphiModelSOP : public SurfaceRegister_DelphiModel {
public:
    using SurfaceRegister_DelphiModel::SurfaceRegister_DelphiModel;
    ~SurfaceRegister_DelphiModelSOP() override = default;

    std::vector<NodeRegister> BuildNodeList() const override;
};

}  // namespace pkg::surf_register
