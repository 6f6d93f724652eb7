#include "export/surf_register/delphi_cell_range.h"

#include <algorithm>

namespace pkg::surf_register {

CellRange PartCellRange(const CellGrid& part_cells, const NameIndexMap& part_index,
                        const std::string& name) {
    CellRange range;
    const auto it = part_index.find(name);
    if (it == part_index.end()) return range;
    const int32_t part = it->second;

    bool found = false;
    for (std::size_t i = 0; i < part_cells.nx(); ++i)
        for (std::size_t j = 0; j < part_cells.ny(); ++j)
            for (std::size_t k = 0; k < part_cells.nz(); ++k) {
                if (part_cells.at(i, j, k) != part) continue;
                const auto x = static_cast<int64_t>(i);
                const auto y = static_cast<int64_t>(j);
                if (!found) {
                    range = CellRange{x, x, y, y};
                    found = true;
                } else {
                    range.x_first = std::min(range.x_first, x);
                    range.x_last = std::max(range.x_last, x);
                    range.y_first = std::min(range.y_first, y);
                    range.y_last = std::max(range.y_last, y);
                }
            }
    return range;
}

}  // namespace pkg::surf_register
