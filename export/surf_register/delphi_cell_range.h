#pragma once

#include <cstdint>
#include <string>

#include "export/solver_grid.h"

namespace pkg::surf_register {

// The smallest block of columns holding every cell of one part: first and last x cell and
// first and last y cell, 0-based and inclusive. A part without cells gives an empty range,
// which holds no column.
struct CellRange {
    int64_t x_first = 0;
    int64_t x_last = -1;
    int64_t y_first = 0;
    int64_t y_last = -1;

    bool Contains(uint64_t i, uint64_t j) const {
        const auto x = static_cast<int64_t>(i);
        const auto y = static_cast<int64_t>(j);
        return x_first <= x && x <= x_last && y_first <= y && y <= y_last;
    }
};

// The range of the cells of part `name`; empty when the part is not in the model or owns
// no cell.
CellRange PartCellRange(const CellGrid& part_cells, const NameIndexMap& part_index,
                        const std::string& name);

}  // namespace pkg::surf_register
