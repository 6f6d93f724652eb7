#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace resist_model {

constexpr int kNameLength = 32;

constexpr int kTwoResistor = 1;
constexpr int kThreeResistor = 2;
constexpr int kDelphi = 3;

// One entry of a region: a whole cell (face 0) or the low-side face of cell (i, j, k)
// normal to x, y or z (face 1, 2, 3). Indices are 1-based; a face entry may lie on the far
// boundary plane, index IM+1, JM+1 or KM+1 along its own axis.
struct RegionEntry {
    int i = 0;
    int j = 0;
    int k = 0;
    int face = 0;
};

// A named node of the model: its cells or faces.
struct Region {
    std::string name;  // blank-padded to kNameLength
    std::vector<RegionEntry> entries;
};

struct Conductivity {
    double kx = 0.0;  // W/(m K)
    double ky = 0.0;
    double kz = 0.0;
};

// Heat-transfer coefficients of one boundary case in W/(m^2 K), by class.
enum BoundaryClass { kTop = 0, kBottom = 1, kLead = 2, kSide = 3 };
using BoundaryCase = std::array<double, 4>;

// A link of the DELPHI network between two nodes, the smaller node number first.
struct NodeLink {
    int first = 0;
    int second = 0;
};

// Everything one run reads from its input, plus what is derived from it before the stages.
// Lengths are in metres. Cells are numbered from 0 with i fastest:
// n = (i-1) + (j-1) IM + (k-1) IM JM.
struct ModelState {
    int imdl_type = 0;
    int iversion = 0;
    int im = 0;
    int jm = 0;
    int km = 0;
    int ione_nth = 0;
    std::vector<double> x, y, z;     // grid lines 0..IM, 0..JM, 0..KM
    std::vector<double> dx, dy, dz;  // cell widths, index 1..IM (slot 0 unused)
    // Material number per cell with an outer layer of empty cells:
    // index (i, j, k) in 0..IM+1, 0..JM+1, 0..KM+1; 0 empty, m >= 1 property m.
    std::vector<std::int32_t> mat;
    std::vector<Region> regions;
    std::vector<Conductivity> properties;  // property m is properties[m - 1]
    int nitr = 0;
    double eitr = 0.0;
    double gapl = 0.0;   // two-resistor only: gap under the package
    double ramda = 0.0;  // two-resistor only: the gap fluid's conductivity
    std::vector<BoundaryCase> cases;  // DELPHI only

    // DELPHI node table: node 0 is "J", nodes 1..NSURF the other regions in file order.
    int nsurf = 0;
    std::vector<std::string> node_names;  // blank-padded
    std::vector<int> node_class;          // BoundaryClass per node, slot 0 unused
    std::vector<NodeLink> links;          // link l (1-based) is links[l - 1]
    std::vector<std::vector<int>> node_links;  // per node its link numbers, increasing

    std::int64_t CellCount() const {
        return static_cast<std::int64_t>(im) * jm * km;
    }
    std::int64_t CellNumber(int i, int j, int k) const {
        return (i - 1) + static_cast<std::int64_t>(j - 1) * im +
               static_cast<std::int64_t>(k - 1) * im * jm;
    }
    std::int32_t Mat(int i, int j, int k) const {
        return mat[(static_cast<std::int64_t>(k) * (jm + 2) + j) * (im + 2) + i];
    }
    std::int32_t& MatAt(int i, int j, int k) {
        return mat[(static_cast<std::int64_t>(k) * (jm + 2) + j) * (im + 2) + i];
    }
    bool IsCell(int i, int j, int k) const {
        return i >= 1 && i <= im && j >= 1 && j <= jm && k >= 1 && k <= km;
    }
    // The first region of that (blank-padded) name, or null.
    const Region* FindRegion(const std::string& padded_name) const;
};

// The name blank-padded (or cut) to kNameLength characters.
std::string PaddedName(const std::string& name);
// The name without its trailing blanks.
std::string TrimmedName(const std::string& padded);

}  // namespace resist_model
