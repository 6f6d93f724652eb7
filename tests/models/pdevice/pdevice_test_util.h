#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "models/pdevice/power_device_detailed_model.h"
#include "models/pdevice/power_device_model.h"
#include "models/pdevice/sot223_detailed_model.h"

namespace testutil {

// A default-constructed model of each of the six devices, by type string.
struct DeviceFactory {
    std::string type;
    std::function<std::unique_ptr<pkg::pdevice::PowerDeviceModel>()> make;
};

inline const std::vector<DeviceFactory>& AllDevices() {
    using namespace pkg::pdevice;
    static const std::vector<DeviceFactory> devices = {
        {"TO-220", [] { return std::make_unique<TO220DetailedModel>(); }},
        {"TO-247", [] { return std::make_unique<TO247DetailedModel>(); }},
        {"TO-263", [] { return std::make_unique<TO263DetailedModel>(); }},
        {"TO-252", [] { return std::make_unique<TO252DetailedModel>(); }},
        {"SOT-89", [] { return std::make_unique<SOT89DetailedModel>(); }},
        {"SOT-223", [] { return std::make_unique<SOT223DetailedModel>(); }},
    };
    return devices;
}

inline std::vector<std::wstring> SymbolNames(const pkg::pdevice::PowerDevice& d) {
    std::vector<std::wstring> names;
    for (const auto& row : d.OutlineSymbols()) names.push_back(row.symbol);
    return names;
}

}  // namespace testutil
