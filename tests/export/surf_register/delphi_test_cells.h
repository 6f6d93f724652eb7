#pragma once

#include <string>
#include <tuple>
#include <vector>

#include "export/solver_grid.h"
#include "export/surf_register/node_register.h"

namespace zentrik_test {

using Entry = std::tuple<int, int, int, int>;  // i, j, k, face code

inline std::vector<Entry> Entries(const pkg::surf_register::NodeRegister& node) {
    std::vector<Entry> e;
    for (std::size_t n = 0; n < node.i.size(); ++n)
        e.emplace_back(node.i.at(n), node.j.at(n), node.k.at(n), node.face.at(n));
    return e;
}

inline std::vector<std::string> Names(const std::vector<pkg::surf_register::NodeRegister>& nodes) {
    std::vector<std::string> names;
    for (const auto& n : nodes) names.push_back(n.name);
    return names;
}

// A hand-made cell model; Set takes 0-based cell indices and names from the two maps.
struct DelphiCells {
    pkg::CellGrid material;
    pkg::CellGrid part;
    pkg::NameIndexMap materials;
    pkg::NameIndexMap parts;

    DelphiCells(std::size_t nx, std::size_t ny, std::size_t nz, pkg::NameIndexMap material_names,
                pkg::NameIndexMap part_names)
        : materials(std::move(material_names)), parts(std::move(part_names)) {
        material.Resize(nx, ny, nz);
        part.Resize(nx, ny, nz);
    }
    void Set(std::size_t i, std::size_t j, std::size_t k, const std::string& m) {
        material.at(i, j, k) = materials.at(m);
    }
    void SetPart(std::size_t i, std::size_t j, std::size_t k, const std::string& p) {
        part.at(i, j, k) = parts.at(p);
    }
};

}  // namespace zentrik_test
