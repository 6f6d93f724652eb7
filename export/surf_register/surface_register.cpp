#include "export/surf_register/surface_register.h"

#include <algorithm>

namespace pkg::surf_register {

namespace {

// Cell indices in the grid are 0-based; node entries are 1-based.
int32_t Index1(uint64_t zero_based) { return static_cast<int32_t>(zero_based + 1); }

}  // namespace

SurfaceRegister::SurfaceRegister(CellGrid material_cells_in, CellGrid part_cells_in,
                                 NameIndexMap material_index_in, NameIndexMap part_index_in)
    : material_cells(std::move(material_cells_in)),
      part_cells(std::move(part_cells_in)),
      material_index(std::move(material_index_in)),
      part_index(std::move(part_index_in)),
      nx(material_cells.nx()),
      ny(nx == 0 ? 0 : material_cells.ny()),
      nz(nx == 0 || ny == 0 ? 0 : material_cells.nz()) {}

std::vector<NodeRegister> SurfaceRegister::BuildNodeList() const { return {}; }

bool SurfaceRegister::HasRequiredGroups() const { return true; }

std::optional<int32_t> SurfaceRegister::MaterialIndex(const std::string& name) const {
    const auto it = material_index.find(name);
    if (it == material_index.end()) return std::nullopt;
    return it->second;
}

bool SurfaceRegister::HasMaterials(std::initializer_list<const char*> names) const {
    return std::all_of(names.begin(), names.end(),
                       [this](const char* name) { return material_index.count(name) != 0; });
}

bool SurfaceRegister::IsMaterial(uint64_t i, uint64_t j, uint64_t k,
                                 std::optional<int32_t> material) const {
    return material && material_cells.at(i, j, k) == *material;
}

bool SurfaceRegister::IsEmpty(uint64_t i, uint64_t j, uint64_t k) const {
    return material_cells.at(i, j, k) == CellGrid::kEmpty;
}

void SurfaceRegister::AppendVolume(NodeRegister& node, std::optional<int32_t> material) const {
    for (uint64_t i = 0; i < nx; ++i)
        for (uint64_t j = 0; j < ny; ++j)
            for (uint64_t k = 0; k < nz; ++k)
                if (IsMaterial(i, j, k, material)) node.Add(Index1(i), Index1(j), Index1(k), kWholeCell);
}

void SurfaceRegister::AppendTopPlane(NodeRegister& node) const {
    for (uint64_t i = 0; i < nx; ++i)
        for (uint64_t j = 0; j < ny; ++j) node.Add(Index1(i), Index1(j), Index1(nz), kFaceZ);
}

void SurfaceRegister::AppendBottomPlane(NodeRegister& node) const {
    for (uint64_t i = 0; i < nx; ++i)
        for (uint64_t j = 0; j < ny; ++j) node.Add(Index1(i), Index1(j), 1, kFaceZ);
}

void SurfaceRegister::AppendTopOf(NodeRegister& node, std::optional<int32_t> material) const {
    if (nz == 0) return;
    for (uint64_t i = 0; i < nx; ++i)
        for (uint64_t j = 0; j < ny; ++j)
            if (IsMaterial(i, j, nz - 1, material)) node.Add(Index1(i), Index1(j), Index1(nz), kFaceZ);
}

void SurfaceRegister::AppendDownwardFaces(NodeRegister& node,
                                          std::optional<int32_t> material) const {
    for (uint64_t i = 0; i < nx; ++i)
        for (uint64_t j = 0; j < ny; ++j)
            for (uint64_t k = 0; k < nz; ++k)
                if (IsMaterial(i, j, k, material) && (k == 0 || IsEmpty(i, j, k - 1)))
                    node.Add(Index1(i), Index1(j), Index1(k), kFaceZ);
}

void SurfaceRegister::AppendFeet(NodeRegister& node, const std::vector<int32_t>& materials) const {
    if (nz == 0) return;
    for (uint64_t i = 0; i < nx; ++i)
        for (uint64_t j = 0; j < ny; ++j) {
            const int32_t bottom = material_cells.at(i, j, 0);
            if (bottom != CellGrid::kEmpty &&
                std::find(materials.begin(), materials.end(), bottom) != materials.end())
                node.Add(Index1(i), Index1(j), 1, kFaceZ);
        }
}

}  // namespace pkg::surf_register
