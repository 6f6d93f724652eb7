#pragma once

#include <vector>

#include "models/pdevice/power_device_model.h"

namespace pkg::pdevice {

// TO-263: a surface-mount body whose plate lies on the board and leaves the mold's far
// face as a tab as wide as the mold (L1 long), with formed leads by lead type: 0 "AA"
// three full leads, 1 "AB" the centre lead cut, 2 "BA" five leads, 3 "CC" seven leads.
class TO263DetailedModel : public PowerDeviceModel {
public:
    TO263DetailedModel();

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
