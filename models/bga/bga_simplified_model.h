#pragma once

#include <string>
#include <vector>

#include "models/bga/bga_detailed_model.h"

namespace pkg::bga {

// The reduced model of a ball grid array: the layer stack becomes one block of an
// effective anisotropic material and each ball area one block of balls mixed with air.
// Built with air it keeps the detailed layer stack and uses these ball blocks.
class BGASimplifiedModel : public BGADetailedModel {
public:
    explicit BGASimplifiedModel(bool fcbga) : BGADetailedModel(fcbga) {}
    ~BGASimplifiedModel() override = default;

    std::vector<Cuboid> FullGridBallCuboids() const override;
    std::vector<Cuboid> PeripheralBallCuboids() const override;
    std::vector<Cuboid> PeripheralAndCenterBallCuboids() const override;
    Property SolderBallProperty() const override;

    virtual Cuboid SubstrateCuboid() const;
    virtual Property SubstrateProperty() const;
    // The copper share of the top wiring layer once a PBGA's copper is spread over the
    // land and wiring areas; 0 without layers, above 1 when the areas hold more copper
    // than the layer.
    double TopLayerSpreadRatio() const;

    int Build() override;

protected:
    const std::string substrate_name_ = "board";
};

}  // namespace pkg::bga
