#pragma once

#include <vector>

#include "models/pdevice/power_device_model.h"

namespace pkg::pdevice {

// TO-247: a mold body D long with a single plate wholly inside it, ending D2 before its
// far face, and three straight leads. Unlike the TO-220, A1 is the leads' height and A2
// the plate's thickness.
class TO247DetailedModel : public PowerDeviceModel {
public:
    TO247DetailedModel();

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
