// Rewrites the solver fixtures in the folder given: each .in from its model, each .l by
// running the library on it. Never run by the tests; after a deliberate change a person
// runs it on tests/data/solver and reads the diff before committing.
#include <cstdio>
#include <string>

#include "solver/rst_main.h"
#include "tests/solver/fixtures.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    const std::pair<const char*, solver_test::Input> fixtures[] = {
        {"two_resistor", solver_test::TwoResistorFixture()},
        {"delphi", solver_test::DelphiFixture()}};
    for (const auto& [stem, input] : fixtures) {
        const std::string in = folder + stem + ".in";
        solver_test::WriteFile(in, solver_test::Serialise(input));
        const resist_model::RunOutput run = resist_model::rst_main(in, folder + stem + ".l");
        std::printf("%s: status %d\n", stem, run.status);
        if (run.status != 0) return 1;
    }
    return 0;
}
