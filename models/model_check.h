#pragma once

#include "models/detailed_model.h"
#include "models/part_rules.h"

namespace pkg {

// A second line behind the validity rules, run on a freshly built model before anything
// is written from it, so that a value no rule thought of still never reaches a file:
// - every block and prism has a finite size greater than 0 (a prism: its thickness and
//   the area of its base);
// - every solid lies above the board plane (z >= 0) and inside the package's outline:
//   across the board of a ball-grid array, across mold and outer leads of a lead-frame
//   package, across the body and along the outline length of a power device, and
//   nowhere above the top of the mold;
// - the chip, its attach or bump layer, the die pad, the wires and the inner and
//   suspension leads lie inside the mold;
// - every material's conductivities, density and specific heat are finite and greater
//   than 0, and each conductivity of a mixed material lies between the conductivities of
//   the materials it is mixed from.
// Returns the first fault found, in the tree's order (solids first, then materials), as a
// violation whose literal names the group and the solid ("chip_group / chip") or the
// material and the first group made of it ("bump (bump_group)"); empty when the model is
// sound. A model that is no package of a known family gets the size, board-plane and
// material checks only.
RuleViolation CheckBuiltModel(const DetailedModel& model);

}  // namespace pkg
