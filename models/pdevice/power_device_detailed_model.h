#pragma once

#include <vector>

#include "models/pdevice/power_device_model.h"

namespace pkg::pdevice {

// The packages that share the declaration below; each is only a name. What a package
// looks like is said in its source, models/pdevice/<package>_detailed_model.cpp.
struct TO220;
struct TO247;
struct TO263;
struct TO252;
struct SOT89;

// The detailed model of one of the power devices that differ only in their outline: the
// package's source defines the members below for its own Package (all of them, or for
// TO-263 and TO-252 the constructor and the symbols), nothing more.
template <class Package>
class PowerDeviceDetailedModel : public PowerDeviceModel {
public:
    PowerDeviceDetailedModel();

    void RegisterDimensions() override;

    Cuboid MoldCuboid() const override;
    // The plate's blocks; a package with a single plate names it "plate", not "plate(0)".
    std::vector<Cuboid> PlateCuboids() const;
    std::vector<Cuboid> LeadCuboids() const override;

protected:
    double OutlineLength() const override;
    double ChipStart() const override;
    double MountingHeight() const override;
    void AddPlateGroups(std::vector<Property>& list) override;
};

using TO220DetailedModel = PowerDeviceDetailedModel<TO220>;
using TO247DetailedModel = PowerDeviceDetailedModel<TO247>;
using TO263DetailedModel = PowerDeviceDetailedModel<TO263>;
using TO252DetailedModel = PowerDeviceDetailedModel<TO252>;
using SOT89DetailedModel = PowerDeviceDetailedModel<SOT89>;

// A member that is the package's own is declared so here: every file that uses a model
// calls the definition in the package's source and never asks the template for one.
#define ZENTRIK_POWER_DEVICE_OWN_DEFAULTS(Package)                                         \
    template <>                                                                            \
    PowerDeviceDetailedModel<Package>::PowerDeviceDetailedModel();                         \
    template <>                                                                            \
    void PowerDeviceDetailedModel<Package>::RegisterDimensions();
#define ZENTRIK_POWER_DEVICE_OWN_OUTLINE(Package)                                          \
    template <>                                                                            \
    Cuboid PowerDeviceDetailedModel<Package>::MoldCuboid() const;                          \
    template <>                                                                            \
    std::vector<Cuboid> PowerDeviceDetailedModel<Package>::PlateCuboids() const;           \
    template <>                                                                            \
    std::vector<Cuboid> PowerDeviceDetailedModel<Package>::LeadCuboids() const;            \
    template <>                                                                            \
    double PowerDeviceDetailedModel<Package>::OutlineLength() const;                       \
    template <>                                                                            \
    double PowerDeviceDetailedModel<Package>::ChipStart() const;                           \
    template <>                                                                            \
    double PowerDeviceDetailedModel<Package>::MountingHeight() const;                      \
    template <>                                                                            \
    void PowerDeviceDetailedModel<Package>::AddPlateGroups(std::vector<Property>& list);
ZENTRIK_POWER_DEVICE_OWN_DEFAULTS(TO220)
ZENTRIK_POWER_DEVICE_OWN_OUTLINE(TO220)
ZENTRIK_POWER_DEVICE_OWN_DEFAULTS(TO247)
ZENTRIK_POWER_DEVICE_OWN_OUTLINE(TO247)
ZENTRIK_POWER_DEVICE_OWN_DEFAULTS(SOT89)
ZENTRIK_POWER_DEVICE_OWN_OUTLINE(SOT89)
// TO-263 and TO-252 own only their defaults and symbols. Their outline is one builder, an
// exposed tab on the board and formed leads (models/pdevice/exposed_tab_detailed_model.cpp),
// which alone defines the template's other members and instantiates them for these two.
ZENTRIK_POWER_DEVICE_OWN_DEFAULTS(TO263)
ZENTRIK_POWER_DEVICE_OWN_DEFAULTS(TO252)
extern template class PowerDeviceDetailedModel<TO263>;
extern template class PowerDeviceDetailedModel<TO252>;
#undef ZENTRIK_POWER_DEVICE_OWN_DEFAULTS
#undef ZENTRIK_POWER_DEVICE_OWN_OUTLINE

}  // namespace pkg::pdevice
