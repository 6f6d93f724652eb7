#include "export/solver_input.h"

#include "export/delphi_bc_cases.h"
#include "models/package_types.h"

namespace pkg {

bool WriteDelphiBoundaryConditions(const std::string& package_type, RecordWriter& writer) {
    // The ball-grid-array table serves the ball grid arrays (compared exactly), the leaded
    // table every other type.
    const bool bga = IsPackageFamily(package_type, PackageFamily::kBGA);
    const std::vector<DelphiBcCase> cases = bga ? BuildBgaDelphiBcTable() : BuildLeadedDelphiBcTable();
    const auto count = static_cast<int32_t>(cases.size());
    if (!writer.WriteInts(&count, 1)) return false;
    for (const DelphiBcCase& c : cases) {
        // File order: TOP, BOTTOM, LEAD, SIDE.
        const double record[4] = {c.top, c.bottom, c.lead, c.side};
        if (!writer.WriteDoubles(record, 4)) return false;
    }
    return true;
}

}  // namespace pkg
