#pragma once

#include <vector>

#include "models/pdevice/power_device_model.h"

namespace pkg::pdevice {

// SOT-89: everything lies flat on the board: three straight leads and a plate b1 wide that
// starts where the leads end, carries the chip and runs out of the mold's far face. D is
// the body's width across the device, E its length along the leads, H the outline length.
class SOT89DetailedModel : public PowerDeviceModel {
public:
    SOT89DetailedModel();

    void RegisterDimensions() override;

    Cuboid MoldCuboid() const override;
    Cuboid PlateCuboid() const;
    std::vector<Cuboid> LeadCuboids() const override;

protected:
    double OutlineLength() const override;
    double ChipStart() const override;
    double MountingHeight() const override;
    void AddPlateGroups(std::vector<Property>& list) override;
};

}  // namespace pkg::pdevice
