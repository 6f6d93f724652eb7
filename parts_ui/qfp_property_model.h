#pragma once

#include <memory>
#include <string>

#include "models/qfp/qfp_detailed_model.h"
#include "parts_ui/property_model.h"

namespace parts_ui {

// The parameter block of a QFP or SOP part, under the package's own field names. A new
// record is all zeros; `die_pad.thickness` has no item and stays 0.
struct QFPParameters {
    pkg::Mold mold;
    pkg::qfp::QFP::Lead lead;
    pkg::qfp::QFP::OuterLead outer_lead;
    pkg::Chip chip;
    pkg::qfp::QFP::DiePad die_pad;
    pkg::BondedPart bonded_part;
    pkg::qfp::QFP::InnerLead inner_lead;
    pkg::qfp::QFP::Wire wire;
    pkg::qfp::QFP::SuspensionLead suspension_lead;
    pkg::qfp::QFP::Composition composition{false, false, false};
};

// The y-side lead count is indexed for both types and shown for "qfp" only.
PropertyModel BuildQFPPropertyTree(const pkg::qfp::QFP& package);
QFPParameters ApplyQFPProperties(PropertyItemIndex index);
// The y-side lead count is checked for `typeName` "qfp" only.
bool ValidateQFPParameters(const QFPParameters& record, const std::string& typeName);
// Copies every field but the die-pad thickness, which no item shows and the package keeps.
// An empty pointer does nothing.
void PushQFPParameters(const QFPParameters& record,
                       const std::shared_ptr<pkg::qfp::QFPDetailedModel>& package);

}  // namespace parts_ui
