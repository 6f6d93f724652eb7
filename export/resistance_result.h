#pragma once

#include <string>

namespace pkg {

// One resistance returned by the solver: the two node names it joins and its value in K/W.
struct ResistanceResult {
    std::string node1;
    std::string node2;
    double value = 0.0;
};

// How well a DELPHI network reproduces the boundary cases it was fitted to: the largest and
// the rms difference of its junction temperature from the detailed model's over those
// cases, in per cent of the latter, and the case of the largest (from 1; 0 when there is
// no estimate).
struct NetworkFitError {
    // A network that misses a case it was fitted to by more than this is not the model a
    // DELPHI network should be, and its export says so.
    static constexpr double kBoundPercent = 10.0;

    double worst_percent = 0.0;
    double rms_percent = 0.0;
    int worst_case = 0;

    bool Known() const { return worst_case > 0; }
    bool OverBound() const { return Known() && !(worst_percent <= kBoundPercent); }
};

}  // namespace pkg
