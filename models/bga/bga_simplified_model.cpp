#include "models/bga/bga_simplified_model.h"

#include <algorithm>

#include "models/model_geometry.h"

namespace pkg::bga {

namespace {

constexpr double kPi = 3.14159265358979323846;

}  // namespace

int BGASimplifiedModel::Build() {
    ClearTree();
    if (!CountsBuildable()) return 1;
    std::vector<Property> list;
    AddMoldGroup(list);
    AddUnderChipGroups(list);
    AddChipGroup(list);

    const Property substrate = SubstrateProperty();
    auto board_group = MakeGroup(L"board_group");
    board_group->AddCuboid("board", substrate.name, SubstrateCuboid());
    root.AddChild(board_group);
    AddProperty(list, substrate);

    AddWireGroups(list);
    AddViaGroup(list);
    AddSolderBallGroup(list);
    properties = list;
    return 0;
}

double BGASimplifiedModel::TopLayerSpreadRatio() const {
    const int n = LayerCount();
    if (n < 1) return 0.0;
    const double area = board.size.x * board.size.y;
    const double spread = area - (board.size.x - board.wiring_area_size.x) *
                                     (board.size.y - board.wiring_area_size.y) +
                          board.land_size.x * board.land_size.y;
    return Ratio(spread * board.ratio_of_wiring[n - 1], area);
}

Cuboid BGASimplifiedModel::SubstrateCuboid() const {
    const double h = solder_ball.height;
    return Cuboid{-board.size.x / 2.0, -board.size.y / 2.0, h, board.size.x, board.size.y,
                  SubstrateTopHeight() - h};
}

// The layers conduct in parallel in plane and in series through the stack; density by
// volume, specific heat by mass. On a PBGA the top wiring layer's copper is spread over
// the land and wiring areas, which changes its in-plane share but not its through value.
Property BGASimplifiedModel::SubstrateProperty() const {
    const int n = LayerCount();
    const double H = SubstrateTopHeight() - solder_ball.height;
    double in_plane = 0.0, series = 0.0, rho = 0.0, heat = 0.0;
    auto add_layer = [&](double thickness, double k_plane, double k_through, double density,
                         double specific_heat) {
        const double phi = Ratio(thickness, H);
        in_plane += phi * k_plane;
        if (phi != 0.0) series += phi / k_through;
        rho += phi * density;
        heat += phi * density * specific_heat;
    };

    const Property b = BoardProperty();
    for (int i = 0; i + 1 < n; ++i) {
        add_layer(BoardThickness(i), b.conductivity, b.conductivity, b.density, b.specific_heat);
        const Property w = WiringLayerProperty(i);
        add_layer(WiringThickness(i), w.conductivity_x, w.conductivity_x, w.density,
                  w.specific_heat);
    }
    if (n >= 1) {
        const Property top = WiringLayerProperty(n - 1);
        Property plane = top;
        if (IsPBGA()) plane = WiringMixture(top.name, TopLayerSpreadRatio());
        add_layer(WiringThickness(n - 1), plane.conductivity_x, top.conductivity_x, plane.density,
                  plane.specific_heat);
    }
    return AnisotropicProperty(substrate_name_, in_plane, in_plane, Ratio(1.0, series), rho,
                               Ratio(heat, rho));
}

std::vector<Cuboid> BGASimplifiedModel::FullGridBallCuboids() const {
    const double p = solder_ball.pitch;
    const double dx = solder_ball.number_all.x * p, dy = solder_ball.number_all.y * p;
    return {Cuboid{-dx / 2.0, -dy / 2.0, 0.0, dx, dy, solder_ball.height}};
}

std::vector<Cuboid> BGASimplifiedModel::PeripheralBallCuboids() const {
    const double p = solder_ball.pitch, h = solder_ball.height;
    const double Wx = solder_ball.number_all.x * p, Wy = solder_ball.number_all.y * p;
    const double rx = solder_ball.number_out.x * p, ry = solder_ball.number_out.y * p;
    // A ring wider than the grid leaves no gap between the side strips.
    const double gap = std::max(0.0, Wx - 2.0 * rx);
    return {Cuboid{Wx / 2.0 - rx, -Wy / 2.0, 0.0, rx, Wy, h},
            Cuboid{-Wx / 2.0, -Wy / 2.0, 0.0, rx, Wy, h},
            Cuboid{-gap / 2.0, Wy / 2.0 - ry, 0.0, gap, ry, h},
            Cuboid{-gap / 2.0, -Wy / 2.0, 0.0, gap, ry, h}};
}

std::vector<Cuboid> BGASimplifiedModel::PeripheralAndCenterBallCuboids() const {
    std::vector<Cuboid> blocks = PeripheralBallCuboids();
    const double p = solder_ball.pitch;
    const double dx = solder_ball.number_center.x * p, dy = solder_ball.number_center.y * p;
    blocks.push_back(Cuboid{-dx / 2.0, -dy / 2.0, 0.0, dx, dy, solder_ball.height});
    return blocks;
}

// Balls in air over one pitch cell: the ball fraction conducts along z, air in plane.
Property BGASimplifiedModel::SolderBallProperty() const {
    const double r = solder_ball.diameter / 2.0;
    const double f = Ratio(kPi * (r * r), solder_ball.pitch * solder_ball.pitch);
    const double kz = f * solder_ball.thermal_conductivity + (1.0 - f) * kAir.conductivity;
    const double rho = f * solder_ball.density + (1.0 - f) * kAir.density;
    const double g = Ratio(f * solder_ball.density, rho);
    const double c = g * solder_ball.specific_heat + (1.0 - g) * kAir.specific_heat;
    return AnisotropicProperty(solder_ball_name_, kAir.conductivity, kAir.conductivity, kz, rho, c);
}

}  // namespace pkg::bga
