#include "export/solver_input.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "models/package_types.h"
#include "platform/wide_string.h"

namespace pkg {

namespace {

constexpr int32_t kInputVersion = 3;
// The grid holds one quarter of the package.
constexpr int32_t kSymmetryQuarter = 4;
constexpr int32_t kIterationLimit = 2000;
constexpr double kIterationTolerance = 1.0e-4;

bool IsBallGridArray(const std::string& type) {
    return IsPackageFamily(type, PackageFamily::kBGA);
}

// Solver model type of a model kind; 0 for a kind the solver does not know.
int32_t SolverModelType(int32_t model_kind) {
    switch (model_kind) {
    case 2: return 1;
    case 3: return 2;
    case 4: return 3;
    default: return 0;
    }
}

bool WriteInt(RecordWriter& writer, int32_t value) { return writer.WriteInts(&value, 1); }

// NITR and EITR share one record.
bool WriteIterationControl(RecordWriter& writer) {
    return writer.WriteIntAndDouble(kIterationLimit, kIterationTolerance);
}

bool GridMatchesLines(const CellGrid& cells, const std::vector<GridLine>& x,
                      const std::vector<GridLine>& y, const std::vector<GridLine>& z) {
    return !x.empty() && !y.empty() && !z.empty() && cells.nx() == x.size() - 1 &&
           cells.ny() == y.size() - 1 && cells.nz() == z.size() - 1;
}

// The three conductivities of a material, or nothing when the model lists no such
// material or one of an unknown kind: zero conductivities would silently cut the heat path.
bool MaterialConductivities(const std::vector<Property>& properties, const std::string& name,
                            std::array<double, 3>& k) {
    const auto it = std::find_if(properties.begin(), properties.end(),
                                 [&name](const Property& p) { return p.name == name; });
    if (it == properties.end()) return false;
    if (it->kind == Property::kIsotropic) {
        k = {it->conductivity, it->conductivity, it->conductivity};
        return true;
    }
    if (it->kind == Property::kAnisotropic) {
        k = {it->conductivity_x, it->conductivity_y, it->conductivity_z};
        return true;
    }
    return false;
}

}  // namespace

bool WriteSolverInput(SolverInputHeader header, const std::wstring& path,
                      const std::string& package_type, const std::vector<GridLine>& x_lines,
                      const std::vector<GridLine>& y_lines, const std::vector<GridLine>& z_lines,
                      const CellGrid& material_cells, const NameIndexMap& material_index,
                      const std::vector<Property>& properties,
                      const std::vector<surf_register::NodeRegister>& nodes) {
    if (path.empty()) return false;
    RecordWriter writer;
    if (!writer.Open(platform::WideToUtf8(path))) return false;
    const bool written = WriteSolverInputRecords(header, writer, package_type, x_lines, y_lines,
                                                 z_lines, material_cells, material_index,
                                                 properties, nodes);
    const bool closed = writer.Close();
    return written && closed;
}

bool WriteSolverInputRecords(SolverInputHeader& header, RecordWriter& writer,
                             const std::string& package_type, const std::vector<GridLine>& x_lines,
                             const std::vector<GridLine>& y_lines,
                             const std::vector<GridLine>& z_lines, const CellGrid& material_cells,
                             const NameIndexMap& material_index,
                             const std::vector<Property>& properties,
                             const std::vector<surf_register::NodeRegister>& nodes) {
    const int32_t model_type = SolverModelType(header.model_kind);
    if (model_type == 0) return false;
    // The header would announce other sizes than the MAT record carries.
    if (!GridMatchesLines(material_cells, x_lines, y_lines, z_lines)) return false;

    // A ball grid array sits on its balls, whose gap the air block already models.
    header.gapl = IsBallGridArray(package_type)
                      ? 1.0
                      : ComputeStandoffHeight(z_lines, material_cells, material_index) * 0.001;

    const int32_t sizes[4] = {static_cast<int32_t>(x_lines.size() - 1),
                              static_cast<int32_t>(y_lines.size() - 1),
                              static_cast<int32_t>(z_lines.size() - 1), kSymmetryQuarter};
    bool ok = WriteInt(writer, model_type) && WriteInt(writer, kInputVersion) &&
              writer.WriteInts(sizes, 4) && WriteGridLines(writer, x_lines) &&
              WriteGridLines(writer, y_lines) && WriteGridLines(writer, z_lines) &&
              WriteCellGrid(writer, material_cells) && WriteNodeRegisters(nodes, writer) &&
              WriteMaterialConductivities(material_index, properties, writer) &&
              WriteIterationControl(writer);
    if (!ok) return false;
    if (header.model_kind == 2) {
        const double gap[2] = {header.gapl, header.ramda};
        ok = writer.WriteDoubles(gap, 2);
    } else if (header.model_kind == 4) {
        ok = WriteDelphiBoundaryConditions(package_type, writer);
    }
    return ok && writer.ok();
}

double ComputeStandoffHeight(const std::vector<GridLine>& z_lines, const CellGrid& material_cells,
                             const NameIndexMap& material_index) {
    const auto mold = material_index.find("mold");
    if (mold == material_index.end()) return 0.0;
    double height = 0.0;
    const std::size_t nz = std::min(material_cells.nz(), z_lines.size());
    for (std::size_t i = 0; i < material_cells.nx(); ++i) {
        for (std::size_t j = 0; j < material_cells.ny(); ++j) {
            for (std::size_t k = 0; k < nz; ++k) {
                if (material_cells.at(i, j, k) != mold->second) continue;
                if (k != 0 && material_cells.at(i, j, k - 1) != CellGrid::kEmpty) continue;
                height = std::max(height, z_lines[k].position);
            }
        }
    }
    return height;
}

bool WriteGridLines(RecordWriter& writer, const std::vector<GridLine>& lines) {
    std::vector<double> metres;
    metres.reserve(lines.size());
    for (const GridLine& line : lines) metres.push_back(line.position * 0.001);
    return writer.WriteDoubles(metres.data(), metres.size());
}

bool WriteCellGrid(RecordWriter& writer, const CellGrid& material_cells) {
    std::vector<int32_t> values;
    values.reserve(material_cells.size());
    // i varies fastest, then j, then k; 0 marks an empty cell.
    for (std::size_t k = 0; k < material_cells.nz(); ++k)
        for (std::size_t j = 0; j < material_cells.ny(); ++j)
            for (std::size_t i = 0; i < material_cells.nx(); ++i)
                values.push_back(material_cells.at(i, j, k) + 1);
    return writer.WriteInts(values.data(), values.size());
}

bool WriteNodeRegisters(const std::vector<surf_register::NodeRegister>& nodes,
                        RecordWriter& writer) {
    if (!WriteInt(writer, static_cast<int32_t>(nodes.size()))) return false;
    for (const surf_register::NodeRegister& node : nodes) {
        const std::size_t count = node.i.size();
        if (node.j.size() != count || node.k.size() != count || node.face.size() != count) {
            return false;
        }
        char name[kNodeNameBytes];
        std::memset(name, ' ', sizeof name);
        std::memcpy(name, node.name.data(), std::min(node.name.size(), sizeof name));
        if (!writer.WriteBytes(name, sizeof name) ||
            !WriteInt(writer, static_cast<int32_t>(count)) ||
            !writer.WriteInts(node.i.data(), count) || !writer.WriteInts(node.j.data(), count) ||
            !writer.WriteInts(node.k.data(), count) ||
            !writer.WriteInts(node.face.data(), count)) {
            return false;
        }
    }
    return true;
}

bool WriteMaterialConductivities(const NameIndexMap& material_index,
                                 const std::vector<Property>& properties, RecordWriter& writer) {
    std::vector<std::pair<int32_t, std::string>> by_index;
    by_index.reserve(material_index.size());
    for (const auto& [name, index] : material_index) by_index.emplace_back(index, name);
    std::sort(by_index.begin(), by_index.end());

    if (!WriteInt(writer, static_cast<int32_t>(by_index.size()))) return false;
    for (const auto& entry : by_index) {
        std::array<double, 3> k{};
        if (!MaterialConductivities(properties, entry.second, k)) return false;
        if (!writer.WriteDoubles(k.data(), k.size())) return false;
    }
    return true;
}

}  // namespace pkg
