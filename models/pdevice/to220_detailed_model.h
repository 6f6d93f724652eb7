#pragma once

#include <vector>

#include "models/pdevice/power_device_model.h"

namespace pkg::pdevice {

// TO-220: a mold body on a plate that runs out of its far face as the mounting tab, and
// three straight leads at height A2. Outline length D + L; the plate is A1 thick.
class TO220DetailedModel : public PowerDeviceModel {
public:
    TO220DetailedModel();

    void RegisterDimensions() override;

    Cuboid MoldCuboid() const override;
    // plate(0) outside the mold, E wide; plate(1) inside it, E1 wide.
    std::vector<Cuboid> PlateCuboids() const;
    std::vector<Cuboid> LeadCuboids() const override;

protected:
    double OutlineLength() const override;
    double ChipStart() const override;
    double MountingHeight() const override;
    void AddPlateGroups(std::vector<Property>& list) override;
};

}  // namespace pkg::pdevice
