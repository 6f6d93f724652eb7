#pragma once

#include <vector>

#include "models/pdevice/power_device_model.h"

namespace pkg::pdevice {

// TO-252: as the TO-263, but its exposed tab is b3 wide and L3 long, and its centre lead is
// always cut: lead type 0 "AA" three leads, 1 "AD" five leads.
class TO252DetailedModel : public PowerDeviceModel {
public:
    TO252DetailedModel();

    void RegisterDimensions() override;

    Cuboid MoldCuboid() const override;
    // plate(0) the exposed tab, plate(1) the plate inside the mold.
    std::vector<Cuboid> PlateCuboids() const;
    std::vector<Cuboid> LeadCuboids() const override;

protected:
    double OutlineLength() const override;
    double ChipStart() const override;
    double MountingHeight() const override;
    void AddPlateGroups(std::vector<Property>& list) override;

private:
    // The mold's far face along s.
    double MoldFarFace() const;
};

}  // namespace pkg::pdevice
