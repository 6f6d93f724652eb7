#include "export/surf_register/delphi_reg_model.h"

namespace pkg::surf_register {

namespace {

// Cell indices in the grid are 0-based; node entries are 1-based.
int32_t Index1(uint64_t zero_based) { return static_cast<int32_t>(zero_based + 1); }

}  // namespace

SurfaceRegister_DelphiModel::SurfaceRegister_DelphiModel(CellGrid material_cells_in,
                                                         CellGrid part_cells_in,
                                                         NameIndexMap material_index_in,
                                                         NameIndexMap part_index_in)
    : SurfaceRegister(std::move(material_cells_in), std::move(part_cells_in),
                      std::move(material_index_in), std::move(part_index_in)),
      inner_range(PartCellRange(part_cells, part_index, "die_pad")),
      mold_(MaterialIndex("mold")) {}

bool SurfaceRegister_DelphiModel::HasRequiredGroups() const {
    return HasMaterials({"chip", "mold", "lead"}) && part_index.count("die_pad") != 0;
}

void SurfaceRegister_DelphiModel::AppendTops(NodeRegister& inner, NodeRegister& outer) const {
    if (nz == 0) return;
    for (uint64_t i = 0; i < nx; ++i)
        for (uint64_t j = 0; j < ny; ++j)
            if (IsMaterial(i, j, nz - 1, mold_)) {
                NodeRegister& node = inner_range.Contains(i, j) ? inner : outer;
                node.Add(Index1(i), Index1(j), Index1(nz), kFaceZ);
            }
}

void SurfaceRegister_DelphiModel::AppendBottoms(NodeRegister& inner, NodeRegister& outer) const {
    for (uint64_t i = 0; i < nx; ++i)
        for (uint64_t j = 0; j < ny; ++j) {
            NodeRegister& node = inner_range.Contains(i, j) ? inner : outer;
            for (uint64_t k = 0; k < nz; ++k)
                if (IsMaterial(i, j, k, mold_) && (k == 0 || IsEmpty(i, j, k - 1)))
                    node.Add(Index1(i), Index1(j), Index1(k), kFaceZ);
        }
}

void SurfaceRegister_DelphiModel::AppendSides(NodeRegister& node, bool y_faces) const {
    for (uint64_t i = 0; i < nx; ++i)
        for (uint64_t j = 0; j < ny; ++j)
            for (uint64_t k = 0; k < nz; ++k) {
                if (!IsMaterial(i, j, k, mold_)) continue;
                const int32_t ci = Index1(i), cj = Index1(j), ck = Index1(k);
                if (i == 0 || IsEmpty(i - 1, j, k)) node.Add(ci, cj, ck, kFaceX);
                if (i + 1 < nx && IsEmpty(i + 1, j, k)) node.Add(ci + 1, cj, ck, kFaceX);
                if (!y_faces) continue;
                if (j == 0 || IsEmpty(i, j - 1, k)) node.Add(ci, cj, ck, kFaceY);
                if (j + 1 < ny && IsEmpty(i, j + 1, k)) node.Add(ci, cj + 1, ck, kFaceY);
            }
}

void SurfaceRegister_DelphiModel::AppendLeadFeet(NodeRegister& node) const {
    std::vector<int32_t> leads;
    for (const char* name : {"lead", "outer_lead(left_right)", "outer_lead(top_bottom)"}) {
        if (const auto index = MaterialIndex(name)) leads.push_back(*index);
    }
    AppendFeet(node, leads);
}

std::vector<NodeRegister> SurfaceRegister_DelphiModel::BuildNodeList() const {
    std::vector<NodeRegister> nodes;
    nodes.reserve(7);
    for (const char* name : {"TI", "TO", "BI", "BO", "S", "L", "J"}) nodes.emplace_back(name);
    AppendTops(nodes[0], nodes[1]);
    AppendBottoms(nodes[2], nodes[3]);
    AppendSides(nodes[4], true);
    AppendLeadFeet(nodes[5]);
    AppendVolume(nodes[6], MaterialIndex("chip"));
    return nodes;
}

std::vector<NodeRegister> SurfaceRegister_DelphiModelSOP::BuildNodeList() const {
    std::vector<NodeRegister> nodes;
    nodes.reserve(8);
    for (const char* name : {"TI", "TO", "BI", "BO", "S1", "S2", "L", "J"})
        nodes.emplace_back(name);
    AppendTops(nodes[0], nodes[1]);
    AppendBottoms(nodes[2], nodes[3]);
    AppendSides(nodes[4], false);
    // The mold's face in the outer y plane, whatever lies beside it.
    if (ny != 0) {
        for (uint64_t i = 0; i < nx; ++i)
            for (uint64_t k = 0; k < nz; ++k)
                if (IsMaterial(i, 0, k, mold_)) nodes[5].Add(Index1(i), 1, Index1(k), kFaceY);
    }
    AppendLeadFeet(nodes[6]);
    AppendVolume(nodes[7], MaterialIndex("chip"));
    return nodes;
}

}  // namespace pkg::surf_register
