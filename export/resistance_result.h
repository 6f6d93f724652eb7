#pragma once

#include <string>

namespace pkg {

// One resistance returned by the solver: the two node names it joins and its value in K/W.
struct ResistanceResult {
    std::string node1;
    std::string node2;
    double value = 0.0;
};

}  // namespace pkg
