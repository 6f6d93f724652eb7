#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "export/record_writer.h"
#include "export/solver_grid.h"
#include "export/surf_register/node_register.h"
#include "models/model_tree.h"

namespace pkg {

// What the input file needs beyond the grid: the model kind (2 two-resistor, 3
// three-resistor, 4 DELPHI network), the fluid conductivity of the two-resistor gap in
// W/(m K), and the gap length in metres (filled by the writer).
struct SolverInputHeader {
    int32_t model_kind = 0;
    double ramda = 0.0;
    double gapl = 0.0;
};

// Node names occupy a fixed field of this many bytes, blank-padded; longer names are cut.
constexpr std::size_t kNodeNameBytes = 32;

// Writes the solver input file (path as a wide string). False when the path is empty, the
// file cannot be created, the header or the data are not writable, or any write or the
// close fails; the caller deletes the file either way.
bool WriteSolverInput(SolverInputHeader header, const std::wstring& path,
                      const std::string& package_type, const std::vector<GridLine>& x_lines,
                      const std::vector<GridLine>& y_lines, const std::vector<GridLine>& z_lines,
                      const CellGrid& material_cells, const NameIndexMap& material_index,
                      const std::vector<Property>& properties,
                      const std::vector<surf_register::NodeRegister>& nodes);

// The records of the file, in order, through an open writer. False without writing for an
// unknown model kind or a grid that does not match its lines; false as soon as a write
// fails or a grid material has no usable property.
bool WriteSolverInputRecords(SolverInputHeader& header, RecordWriter& writer,
                             const std::string& package_type, const std::vector<GridLine>& x_lines,
                             const std::vector<GridLine>& y_lines,
                             const std::vector<GridLine>& z_lines, const CellGrid& material_cells,
                             const NameIndexMap& material_index,
                             const std::vector<Property>& properties,
                             const std::vector<surf_register::NodeRegister>& nodes);

// Highest lower face (mm) of a mold cell that rests on an empty cell or on the grid floor:
// for a leaded package the stand-off gap under the mold. 0.0 without mold or cells.
double ComputeStandoffHeight(const std::vector<GridLine>& z_lines, const CellGrid& material_cells,
                             const NameIndexMap& material_index);

bool WriteGridLines(RecordWriter& writer, const std::vector<GridLine>& lines);
bool WriteCellGrid(RecordWriter& writer, const CellGrid& material_cells);
bool WriteNodeRegisters(const std::vector<surf_register::NodeRegister>& nodes,
                        RecordWriter& writer);
bool WriteMaterialConductivities(const NameIndexMap& material_index,
                                 const std::vector<Property>& properties, RecordWriter& writer);

// The boundary-condition cases of a DELPHI computation: NCASE, then one record of the
// TOP, BOTTOM, LEAD and SIDE coefficients per case: 58 cases for "PBGA" and "FCBGA",
// 38 for every other type.
bool WriteDelphiBoundaryConditions(const std::string& package_type, RecordWriter& writer);

}  // namespace pkg
