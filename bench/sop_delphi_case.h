#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "export/surf_register/node_register.h"
#include "models/detailed_model.h"

namespace bench {

// Writes the solver input of a built model as a compact export does: the package type's
// surface register for the model kind (two-resistor or DELPHI) and the default mesh factors
// times mesh_scale (0.5 halves every cell). The node list written goes to `nodes` when
// given. False when any step fails.
bool WriteModelInput(const std::string& path, const std::shared_ptr<pkg::DetailedModel>& model,
                     const std::string& package_type, std::uint32_t model_kind, double mesh_scale,
                     std::vector<pkg::surf_register::NodeRegister>* nodes = nullptr);

// The same for the default SOP.
bool WriteSopInput(const std::string& path, std::uint32_t model_kind, double mesh_scale);

}  // namespace bench
