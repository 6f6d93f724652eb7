#pragma once

#include <cstdint>
#include <string>

namespace bench {

// Writes the solver input of the default SOP with the export code, as an export does: the
// model kind of the surface register (two-resistor or DELPHI) and the default mesh factors
// times mesh_scale (0.5 halves every cell). False when any step fails.
bool WriteSopInput(const std::string& path, std::uint32_t model_kind, double mesh_scale);

}  // namespace bench
