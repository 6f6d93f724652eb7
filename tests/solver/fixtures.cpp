#include "tests/solver/fixtures.h"

#include "tests/solver/test_models.h"

namespace solver_test {

Input TwoResistorFixture() {
    Input in;
    in.type = 1;
    in.im = 2;
    in.jm = 1;
    in.km = 2;
    in.quarter = 4;
    in.x = {-2.0e-3, -1.0e-3, 0.0};
    in.y = {-1.0e-3, 0.0};
    in.z = {0.0, 0.5e-3, 1.0e-3};
    in.mat = {2, 1, 1, 1};
    in.nodes = {{"CHIP", Input::Cells(1, 1, 1, 1, 1, 1)},
                {"TOP", Input::Faces(3, 3, 1, 2, 1, 1)},
                {"BOTTOM", Input::Faces(3, 1, 1, 2, 1, 1)},
                {"LEAD", Input::Faces(1, 3, 1, 1, 1, 2)}};
    in.materials = {{0.8, 0.8, 0.8}, {150.0, 150.0, 150.0}};
    in.eitr = 1.0e-4;
    in.gapl = 1.0e-4;
    in.ramda = 0.025;
    return in;
}

Input DelphiFixture() {
    Input in = DelphiModel(0);
    in.eitr = 1.0e-8;
    in.cases = {{200, 50, 1000, 20},  {100, 1, 1000, 100},   {1, 100, 1000, 100},
                {1000, 10, 1000, 10}, {10, 1000, 1000, 1000}, {100, 100, 1000, 500}};
    return in;
}

}  // namespace solver_test
