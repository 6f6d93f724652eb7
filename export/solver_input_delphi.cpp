#include "export/solver_input.h"

#include <array>
#include <vector>

namespace pkg {

namespace {

// TOP, BOTTOM, LEAD and SIDE heat-transfer coefficients of one case, in W/(m^2 K).
using CaseCoefficients = std::array<double, 4>;

// The ball-grid-array table serves "PBGA" and "FCBGA" (compared exactly), the leaded
// table every other type. Neither table is filled yet.
std::vector<CaseCoefficients> DelphiCaseTable(const std::string& /*package_type*/) {
    return {};
}

}  // namespace

bool WriteDelphiBoundaryConditions(const std::string& package_type, RecordWriter& writer) {
    const std::vector<CaseCoefficients> cases = DelphiCaseTable(package_type);
    const auto count = static_cast<int32_t>(cases.size());
    if (!writer.WriteInts(&count, 1)) return false;
    for (const CaseCoefficients& c : cases) {
        if (!writer.WriteDoubles(c.data(), c.size())) return false;
    }
    return true;
}

}  // namespace pkg
