#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "models/bga/bga.h"
#include "models/pdevice/power_device.h"
#include "models/qfp/qfp.h"

namespace pkg {

// The longest length any package has, in mm; a longer one is a typing error.
constexpr double kMaxPartLength = 1000.0;

// The thermal conductivities a package's materials span, in W/(m K): below still air
// (0.026) and any foam, above diamond (about 2000). A value outside is a typing error and
// would give resistances no package can have.
constexpr double kMinConductivity = 0.001;
constexpr double kMaxConductivity = 5000.0;

// The first validity rule a part breaks, as string-table ids the caller turns into text:
// `message`, with its %1 filled by the text of `name` (or by `literal` when `name` is 0),
// followed by " <layer + 1>" and the word for layer when `layer` is at least 0. An empty
// violation (`message` 0) means every rule holds.
struct RuleViolation {
    std::uint32_t message = 0;
    std::uint32_t name = 0;
    std::wstring literal;
    int layer = -1;

    explicit operator bool() const { return message != 0; }
};

// The blocks of a lead-frame part the rules read; a package and the property grid's record
// both hold them under these names.
struct QFPRuleInput {
    const Mold& mold;
    const qfp::QFP::Lead& lead;
    const qfp::QFP::OuterLead& outer_lead;
    const Chip& chip;
    const qfp::QFP::DiePad& die_pad;
    const BondedPart& bonded_part;
    const qfp::QFP::InnerLead& inner_lead;
    const qfp::QFP::Wire& wire;
    const qfp::QFP::SuspensionLead& suspension_lead;
    const qfp::QFP::Composition& composition;
    bool four_sided;  // "qfp"; an "sop" has leads at minimum and maximum x only
};

struct BGARuleInput {
    const Mold& mold;
    const Chip& chip;
    const BondedPart& bonded_part;
    const bga::BGA::Bump& bump;
    const bga::BGA::Wire& wire;
    const bga::BGA::Board& board;
    const bga::BGA::Via& via;
    const bga::BGA::SolderBall& solder_ball;
    const bga::BGA::Composition& composition;
    bool fcbga;
};

struct PowerDeviceRuleInput {
    const pdevice::PowerDevice::InnerShape& inner_shape_param;
    const pdevice::PowerDevice::OuterShape& outer_shape_param;
    const Chip& chip;
    const BondedPart& bond;
    const pdevice::PowerDevice::MaterialValues& property;
    const pdevice::PowerDevice::Composition& composition;
    // The outline dimensions the device uses, checked in part-file order.
    const std::vector<pdevice::PowerDevice::OutlineSymbol>& symbols;
    std::string type_name;  // "TO-220" ... "SOT-223"
};

// Every length, thickness, diameter and pitch finite, above 0 and at most kMaxPartLength;
// every conductivity within kMinConductivity..kMaxConductivity, every density and
// specific heat finite and above 0, the heat finite and not negative; the counts the model
// needs above 0 and at most what it builds, layout codes from their lists; the solids
// inside each other side by side and stacked (chip on its pad, plate or substrate and
// inside the mold, leads, balls and vias on their side or substrate without overlapping,
// nothing above the mold's top or below the board), and every mixed material's fraction
// within 0..1. Values a part's composition switches off are not looked at.
RuleViolation CheckQFPRules(const QFPRuleInput& part);
RuleViolation CheckBGARules(const BGARuleInput& part);
RuleViolation CheckPowerDeviceRules(const PowerDeviceRuleInput& part);

// The rules of a loaded package of any family; an unknown family passes.
RuleViolation CheckPackageRules(const SemiconductorPackage& package);

}  // namespace pkg
