#pragma once

#include <memory>
#include <string>
#include <vector>

#include "models/pdevice/power_device.h"
#include "parts_ui/property_model.h"

namespace parts_ui {

// The values of a power-device part that the property model can show, under the package's
// own field names. A new record is all zeros, the lead type and the bonded-part flag
// included.
struct PowerDeviceParameters {
    pkg::pdevice::PowerDevice::InnerShape inner_shape_param;
    pkg::pdevice::PowerDevice::OuterShape outer_shape_param;
    pkg::Chip chip;
    pkg::BondedPart bond;
    pkg::pdevice::PowerDevice::Composition composition{false, 0};
    pkg::pdevice::PowerDevice::MaterialValues property;
};

// The lead-type texts of a type ("AA", "AB", ... for "TO-263"); empty for a type without
// variations.
std::vector<std::wstring> PowerDeviceVariations(const std::string& typeName);

PropertyModel BuildPowerDevicePropertyTree(const pkg::pdevice::PowerDevice& package);
// Reads the items back for type `typeName` ("TO-220", ...). A variation text outside the
// type's list (a stored lead type shown as its number) applies as that number.
PowerDeviceParameters ApplyPowerDeviceProperties(PropertyItemIndex index,
                                                 const std::string& typeName);
bool ValidatePowerDeviceParameters(const PowerDeviceParameters& record, PropertyItemIndex index,
                                   const std::string& typeName);
// Copies the values the package's type shows: its outline symbols, the lead type of a type
// with variations, the die pad of a "SOT-223"; every other value stays as it was. An empty
// pointer does nothing.
void PushPowerDeviceParameters(const PowerDeviceParameters& record,
                               const std::shared_ptr<pkg::pdevice::PowerDevice>& package);

}  // namespace parts_ui
