#include "tests/solver/run_list.h"

#include "tests/solver/solver_input.h"

namespace solver_test {

std::string ListOf(const std::string& input, resist_model::RunOutput* out) {
    TempPath list("list");
    resist_model::RunOutput run = resist_model::rst_main(input, list.str());
    if (out) *out = run;
    return ReadText(list.str());
}

}  // namespace solver_test
