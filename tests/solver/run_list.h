#pragma once

#include <string>

#include "solver/rst_main.h"

namespace solver_test {

// Runs the input file with a list file of its own and returns the list file's text; the
// run's outcome goes to *out when asked for.
std::string ListOf(const std::string& input, resist_model::RunOutput* out = nullptr);

}  // namespace solver_test
