#pragma once

#include <string>
#include <vector>

#include "models/pdevice/power_device_model.h"

namespace pkg::pdevice {

// SOT-223: the lead frame is raised to A - Q: a die pad centred on the body carries the
// chip, and a tab b2 wide is formed from the die pad's far edge down to the board at the
// far end; three formed leads on the near side. D is the body's width across the device,
// E1 its length along the leads, E the outline length.
class SOT223DetailedModel : public PowerDeviceModel {
public:
    SOT223DetailedModel();

    void RegisterDimensions() override;

    Cuboid MoldCuboid() const override;
    // plate(0) the tab's foot, plate(1) its riser, plate(2) its arm.
    std::vector<Cuboid> PlateCuboids() const;
    Cuboid DiePadCuboid() const;
    std::vector<Cuboid> LeadCuboids() const override;
    Property DiePadProperty() const;

protected:
    double OutlineLength() const override;
    double ChipStart() const override;
    double MountingHeight() const override;
    void AddPlateGroups(std::vector<Property>& list) override;

    const std::string diepad_name_ = "diepad";
};

}  // namespace pkg::pdevice
