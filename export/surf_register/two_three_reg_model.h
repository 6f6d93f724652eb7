#pragma once

#include <vector>

#include "export/surf_register/surface_register.h"

namespace pkg::surf_register {

// Two-resistor nodes of a ball grid array gridded inside its air block: the whole top and
// the whole bottom of the gridded quarter are the two surfaces, the chip the heat source.
class SurfaceRegister_TwoRegModel_BGA : public SurfaceRegister {
public:
    using SurfaceRegister::SurfaceRegister;
    ~SurfaceRegister_TwoRegModel_BGA() override = default;

    std::vector<NodeRegister> BuildNodeList() const override;
    bool HasRequiredGroups() const override;
};

// Two- and three-resistor nodes of a leaded package: the exposed top and underside of the
// mold, the feet of the leads and the chip. Both kinds register the same four nodes; the
// solver picks the ones its kind uses.
class SurfaceRegister_TwoThreeRegModel : public SurfaceRegister {
public:
    using SurfaceRegister::SurfaceRegister;
    ~SurfaceRegister_TwoThreeRegModel() override = default;

    std::vector<NodeRegister> BuildNodeList() const override;
    bool HasRequiredGroups() const override;
};

}  // namespace pkg::surf_register
