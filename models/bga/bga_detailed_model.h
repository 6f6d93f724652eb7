#pragma once

#include <array>
#include <string>
#include <vector>

#include "models/bga/bga.h"
#include "models/detailed_model.h"
#include "models/model_tree.h"

namespace pkg::bga {

// The detailed model of a ball grid array: mold, die attach or bump layer, chip, wire
// regions, the substrate as a stack of wiring and insulator layers with land and via
// regions, and one square block per solder ball. The object is the package and its model.
class BGADetailedModel : public BGA, public DetailedModel {
public:
    explicit BGADetailedModel(bool fcbga);
    ~BGADetailedModel() override = default;

    // Ball blocks and ball material: virtual so that the simplified model can replace them
    // while the group builder stays shared.
    virtual std::vector<Cuboid> SolderBallCuboids() const;
    virtual std::vector<Cuboid> FullGridBallCuboids() const;
    virtual std::vector<Cuboid> PeripheralBallCuboids() const;
    virtual std::vector<Cuboid> PeripheralAndCenterBallCuboids() const;
    virtual std::vector<Cuboid> CenterBallCuboids() const;
    virtual Property SolderBallProperty() const;

    int Build() override;
    int BuildWithAir() override;

    std::vector<Prism> WireLeftRightPrisms() const;
    std::vector<Prism> WireTopBottomPrisms() const;
    std::vector<Cuboid> BoardLayerCuboids() const;
    std::vector<Cuboid> WiringLayerCuboids() const;
    std::vector<Cuboid> LandCuboids() const;
    Cuboid ViaCuboid() const;

    Property AirProperty() const;
    Property MoldProperty() const;
    Property ChipProperty() const;
    Property BondedPartProperty() const;
    Property BumpProperty() const;
    Property WireLeftRightProperty() const;
    Property WireTopBottomProperty() const;
    Property BoardProperty() const;
    Property WiringLayerProperty(int layer) const;
    Property ViaProperty() const;

protected:
    // Appends the component groups to the root and replaces the material list; the air
    // material goes last when `with_air`. The caller empties the tree first.
    int BuildGroups(bool with_air);

    // The groups both models share, each appended to the root with its material.
    void AddMoldGroup(std::vector<Property>& list);
    void AddUnderChipGroups(std::vector<Property>& list);  // die attach or bump layer
    void AddChipGroup(std::vector<Property>& list);
    void AddWireGroups(std::vector<Property>& list);
    void AddViaGroup(std::vector<Property>& list);
    void AddSolderBallGroup(std::vector<Property>& list);

    // Wires in mold at volume fraction f: along-wire conductivity in z, density, heat.
    Property WireMixture(double f) const;
    // Board and wiring material mixed with wiring ratio `ratio`, named `name`.
    Property WiringMixture(const std::string& name, double ratio) const;

    // Thickness of wiring layer i and insulator layer i; 0 outside the tables.
    double WiringThickness(int layer) const;
    double BoardThickness(int layer) const;

    const std::string air_name_ = "air";
    const std::string mold_name_ = "mold";
    const std::string chip_name_ = "chip";
    const std::string bonded_part_name_ = "bonded_part";
    const std::string wire_left_right_name_ = "wire(left_right)";
    const std::string wire_top_bottom_name_ = "wire(top_bottom)";
    const std::string board_name_ = "board(board)";
    const std::string via_name_ = "via";
    const std::string solder_ball_name_ = "solder_ball";
    const std::string bump_name_ = "bump";
    std::array<std::string, kMaxLayers> wiring_names_;
};

// Half-widths (mm) of the inner solder-ball region: the ball columns under the chip (or
// under the via array when it is wider), widened by a quarter of the remaining columns on
// each side. The region runs from -R to +R, centred on the package.
double BGAInnerRegionExtentX(const BGA& bga);
double BGAInnerRegionExtentY(const BGA& bga);

// Half-widths (mm) of the ball-free centre of a peripheral ball array, the columns inside
// the outer rings. The region runs from -R to +R; rings that leave no centre give R = 0, an
// empty region. The air block over that centre is built from this same value, so that its
// face and the region bound are the same double.
double BGAPeripheralRegionExtentX(const BGA& bga);
double BGAPeripheralRegionExtentY(const BGA& bga);

}  // namespace pkg::bga
