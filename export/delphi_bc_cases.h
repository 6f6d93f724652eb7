#pragma once

#include <vector>

namespace pkg {

// Heat-transfer coefficients in W/(m^2 K) of one DELPHI boundary-condition case, for the
// surface classes named by a node's first letter.
struct DelphiBcCase {
    double top = 0.0;
    double bottom = 0.0;
    double lead = 0.0;
    double side = 0.0;
};

// The 38 cases of the leaded packages (every type but "PBGA" and "FCBGA").
std::vector<DelphiBcCase> BuildLeadedDelphiBcTable();
// The 58 cases of the ball-grid arrays.
std::vector<DelphiBcCase> BuildBgaDelphiBcTable();

}  // namespace pkg
