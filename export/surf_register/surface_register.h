#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "export/solver_grid.h"
#include "export/surf_register/node_register.h"

namespace pkg::surf_register {

// Base of the node registrations: turns the cell model of one computation into the named
// nodes of a compact network. It owns copies of the cell grids and maps and never changes
// them, so BuildNodeList gives the same list on every call.
class SurfaceRegister {
public:
    SurfaceRegister(CellGrid material_cells, CellGrid part_cells, NameIndexMap material_index,
                    NameIndexMap part_index);
    virtual ~SurfaceRegister() = default;

    // The nodes in the registration's own order; the base has none.
    virtual std::vector<NodeRegister> BuildNodeList() const;
    // True when every material the registration needs is in the model.
    virtual bool HasRequiredGroups() const;

    CellGrid material_cells;
    CellGrid part_cells;
    NameIndexMap material_index;
    NameIndexMap part_index;
    uint64_t nx = 0;
    uint64_t ny = 0;
    uint64_t nz = 0;

protected:
    std::optional<int32_t> MaterialIndex(const std::string& name) const;
    // True when every name is a material of the model, tested in order.
    bool HasMaterials(std::initializer_list<const char*> names) const;

    // The selection rules shared by the registrations. Every loop runs i over the cells
    // along x (outermost), then j, then k (innermost); entries are 1-based. A material
    // absent from the model selects nothing.
    bool IsMaterial(uint64_t i, uint64_t j, uint64_t k, std::optional<int32_t> material) const;
    bool IsEmpty(uint64_t i, uint64_t j, uint64_t k) const;
    void AppendVolume(NodeRegister& node, std::optional<int32_t> material) const;
    void AppendTopPlane(NodeRegister& node) const;
    void AppendBottomPlane(NodeRegister& node) const;
    void AppendTopOf(NodeRegister& node, std::optional<int32_t> material) const;
    // Lower faces of the material's cells that rest on an empty cell or on the grid floor.
    void AppendDownwardFaces(NodeRegister& node, std::optional<int32_t> material) const;
    // Floor faces of the columns whose bottom cell holds one of the materials.
    void AppendFeet(NodeRegister& node, const std::vector<int32_t>& materials) const;
};

}  // namespace pkg::surf_register
