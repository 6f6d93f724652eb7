#pragma once

#include "tests/solver/solver_input.h"

namespace solver_test {

// A column of layers: nx x ny cells across (unequal widths), layers along z with their
// own thickness and material. "CHIP" is the bottom layer, "TOP" and "LEAD" the top plane,
// "BOTTOM" the bottom plane, so heat flows along z only.
struct Layer {
    double thickness;
    Material material;
    int cells;
};
Input ColumnModel(int type, const std::vector<Layer>& layers);

// A small package quarter (x <= 0, y <= 0) of two materials with the chip at the centre
// corner, or the same package mirrored to its full extent.
Input PackageModel(int type, bool full);

// A DELPHI model: a block with "J" inside, "TI" and "TO" on its top, "B" below, "S" on
// a side, and the given number of boundary cases.
Input DelphiModel(int cases);

}  // namespace solver_test
