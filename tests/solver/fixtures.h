#pragma once

#include "tests/solver/solver_input.h"

namespace solver_test {

// The models of the committed input fixtures tests/data/solver/two_resistor.in and
// delphi.in. oracle_test checks that each file is exactly what its model serialises to;
// solver_fixtures rewrites the files (and their list files) for a person to diff.

// A 2 x 1 x 2 quarter: a conductive chip cell in one corner of a poorly conducting block,
// TOP and BOTTOM on the z planes, LEAD on the centre plane x = 0.
Input TwoResistorFixture();

// The DELPHI block of DelphiModel with six cases that make the fit drop links in both
// objectives.
Input DelphiFixture();

}  // namespace solver_test
