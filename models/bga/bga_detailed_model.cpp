#include "models/bga/bga_detailed_model.h"

#include <algorithm>
#include <cmath>

#include "models/model_geometry.h"

namespace pkg::bga {

namespace {

constexpr double kPi = 3.14159265358979323846;

Cuboid CentredBlock(double dx, double dy, double z, double dz) {
    return Cuboid{-dx / 2.0, -dy / 2.0, z, dx, dy, dz};
}

// Ball blocks of an nx x ny grid at pitch p, centred on the origin, x in the outer loop.
// `skip` leaves out the positions it returns true for.
template <typename Skip>
std::vector<Cuboid> BallGrid(int nx, int ny, double pitch, double diameter, double height,
                             Skip skip) {
    const double r = diameter / 2.0;
    // Square of the ball's cross-section area; the radius is squared first, as in pi r^2.
    const double side = std::sqrt(kPi * (r * r));
    std::vector<Cuboid> balls;
    for (int i = 0; i < nx; ++i) {
        for (int j = 0; j < ny; ++j) {
            if (skip(i, j)) continue;
            balls.push_back(Cuboid{i * pitch - (nx - 1) * pitch / 2.0 - side / 2.0,
                                   j * pitch - (ny - 1) * pitch / 2.0 - side / 2.0, 0.0, side,
                                   side, height});
        }
    }
    return balls;
}

// Inner-region half-width along one axis: chip (or via array) width c, ball pitch p,
// ball count n along the axis.
double InnerRegionExtent(double c, double pitch, int count) {
    const double columns = (c / 2.0) / pitch;
    if (!std::isfinite(columns)) return 0.0;
    const long long k = static_cast<long long>(std::clamp(columns, -1e9, 1e9));
    const long long m = (count % 2 != 0) ? 2 * k + 1 : 2 * k + 2;
    const long long q = (count - m) / 4;
    return static_cast<double>(m + 2 * q) * pitch / 2.0;
}

// Ball-free centre half-width along one axis: board width w, ball count, ring width `out`
// in balls. The board's half-width less half of what the centre leaves of the board; kept
// in this order of operations, since node regions compare grid lines against it exactly.
double PeripheralRegionExtent(double w, int count, int out, double pitch) {
    const long long centre = static_cast<long long>(count) - 2LL * out;
    if (centre <= 0) return 0.0;
    return w * 0.5 - (w - static_cast<double>(centre) * pitch) * 0.5;
}

}  // namespace

BGADetailedModel::BGADetailedModel(bool fcbga) : BGA(fcbga) {
    for (int i = 0; i < kMaxLayers; ++i) wiring_names_[i] = NumberedName("board(wiring)(%d)", i);
}

double BGADetailedModel::WiringThickness(int layer) const {
    return (layer >= 0 && layer < kMaxLayers) ? board.thick_of_wiringlayer[layer] : 0.0;
}

double BGADetailedModel::BoardThickness(int layer) const {
    return (layer >= 0 && layer < kMaxLayers) ? board.thick_of_boardlayer[layer] : 0.0;
}

int BGADetailedModel::Build() {
    ClearTree();
    if (!CountsBuildable()) return 1;
    return BuildGroups(false);
}

int BGADetailedModel::BuildWithAir() {
    ClearTree();
    if (!CountsBuildable()) return 1;
    const double top = SubstrateTopHeight() + mold.thickness;
    auto air = MakeGroup(L"air_group");
    air->AddCuboid("air", air_name_,
                   Cuboid{-board.size.x / 2.0, -board.size.y / 2.0, 0.0, board.size.x,
                          board.size.y, top});

    // Region markers over the ball areas that differ from their surroundings. A ring wider
    // than the grid leaves no depopulated centre: its marker gets width 0. The marker's face
    // lands exactly on -R, since halving 2R is exact.
    const double p = solder_ball.pitch;
    const double hole_x = 2.0 * BGAPeripheralRegionExtentX(*this);
    const double hole_y = 2.0 * BGAPeripheralRegionExtentY(*this);
    switch (solder_ball.layout) {
        case 0:
            air->AddCuboid("air_for_region", air_name_,
                           CentredBlock(2.0 * BGAInnerRegionExtentX(*this),
                                        2.0 * BGAInnerRegionExtentY(*this), 0.0, top));
            break;
        case 1:
            air->AddCuboid("air_for_region", air_name_, CentredBlock(hole_x, hole_y, 0.0, top));
            break;
        case 2:
            air->AddCuboid("air_for_region2", air_name_, CentredBlock(hole_x, hole_y, 0.0, top));
            air->AddCuboid("air_for_region", air_name_,
                           CentredBlock(std::max(0, solder_ball.number_center.x) * p,
                                        std::max(0, solder_ball.number_center.y) * p, 0.0, top));
            break;
        default:
            break;
    }
    root.AddChild(air);
    return BuildGroups(true);
}

int BGADetailedModel::BuildGroups(bool with_air) {
    std::vector<Property> list;
    const int n = LayerCount();
    AddMoldGroup(list);
    AddUnderChipGroups(list);
    AddChipGroup(list);
    AddWireGroups(list);

    auto board_group = MakeGroup(L"board(board_layer)");
    AddNumbered(*board_group, "board(%d)", board_name_, BoardLayerCuboids());
    root.AddChild(board_group);
    AddProperty(list, BoardProperty());

    auto wiring_group = MakeGroup(L"board(wiring_layer)");
    const std::vector<Cuboid> wiring = WiringLayerCuboids();
    for (size_t i = 0; i < wiring.size(); ++i) {
        wiring_group->AddCuboid(NumberedName("wiring(%d)", static_cast<int>(i)), wiring_names_[i],
                                wiring[i]);
        AddProperty(list, WiringLayerProperty(static_cast<int>(i)));
    }
    root.AddChild(wiring_group);

    if (IsPBGA()) {
        auto land = MakeGroup(L"board(land_area)");
        const std::vector<Cuboid> lands = LandCuboids();
        // Without a wiring layer there is no top layer for the lands to lie in.
        if (lands.size() == 2) {
            land->AddCuboid("land(board)", board_name_, lands[0]);
            land->AddCuboid("land(wiring)", wiring_names_[n - 1], lands[1]);
        }
        root.AddChild(land);
    }

    AddViaGroup(list);
    AddSolderBallGroup(list);
    if (with_air) AddProperty(list, AirProperty());
    properties = list;
    return 0;
}

void BGADetailedModel::AddMoldGroup(std::vector<Property>& list) {
    auto g = MakeGroup(L"mold_group");
    g->AddCuboid("mold", mold_name_,
                 Cuboid{-mold.size.x / 2.0, -mold.size.y / 2.0, SubstrateTopHeight(), mold.size.x,
                        mold.size.y, mold.thickness});
    root.AddChild(g);
    AddProperty(list, MoldProperty());
}

void BGADetailedModel::AddUnderChipGroups(std::vector<Property>& list) {
    const Cuboid under_chip{-chip.size.x / 2.0, -chip.size.y / 2.0, SubstrateTopHeight(),
                            chip.size.x, chip.size.y, 0.0};
    if (IsPBGA() && composition.bonded_part) {
        auto g = MakeGroup(L"bonded_part_group");
        Cuboid box = under_chip;
        box.dz = bonded_part.thickness;
        g->AddCuboid("bonded_part", bonded_part_name_, box);
        root.AddChild(g);
        AddProperty(list, BondedPartProperty());
    }
    if (IsFCBGA()) {
        auto g = MakeGroup(L"bump_group");
        Cuboid box = under_chip;
        box.dz = bump.thickness;
        g->AddCuboid("bump", bump_name_, box);
        root.AddChild(g);
        AddProperty(list, BumpProperty());
    }
}

void BGADetailedModel::AddChipGroup(std::vector<Property>& list) {
    auto g = MakeGroup(L"chip_group");
    g->AddCuboid("chip", chip_name_,
                 Cuboid{-chip.size.x / 2.0, -chip.size.y / 2.0, ChipBottomHeight(), chip.size.x,
                        chip.size.y, chip.thickness});
    root.AddChild(g);
    AddProperty(list, ChipProperty());
}

void BGADetailedModel::AddWireGroups(std::vector<Property>& list) {
    if (!IsPBGA() || !composition.wire) return;
    auto lr = MakeGroup(L"wire_left_right_group");
    int i = 0;
    for (const Prism& p : WireLeftRightPrisms()) {
        lr->AddPrism(NumberedName("wire_left_right(%d)", i++), wire_left_right_name_, p);
    }
    root.AddChild(lr);
    AddProperty(list, WireLeftRightProperty());

    auto tb = MakeGroup(L"wire_top_bottom_group");
    i = 0;
    for (const Prism& p : WireTopBottomPrisms()) {
        tb->AddPrism(NumberedName("wire_top_bottom(%d)", i++), wire_top_bottom_name_, p);
    }
    root.AddChild(tb);
    AddProperty(list, WireTopBottomProperty());
}

void BGADetailedModel::AddViaGroup(std::vector<Property>& list) {
    if (!composition.via) return;
    auto g = MakeGroup(L"via");
    g->AddCuboid("via", via_name_, ViaCuboid());
    root.AddChild(g);
    AddProperty(list, ViaProperty());
}

void BGADetailedModel::AddSolderBallGroup(std::vector<Property>& list) {
    const Property ball = SolderBallProperty();
    auto g = MakeGroup(L"solder_ball");
    AddNumbered(*g, "solder_ball(%d)", ball.name, SolderBallCuboids());
    root.AddChild(g);
    AddProperty(list, ball);
}

std::vector<Prism> BGADetailedModel::WireLeftRightPrisms() const {
    const double a = chip.size.x / 2.0, b = chip.size.y / 2.0;
    const double X = a + wire.length.x, Y = b + wire.length.y, d = wire.diameter;
    const double substrate_top = SubstrateTopHeight();
    const double chip_top = ChipBottomHeight() + chip.thickness;
    // The fan from the chip edge to the bond ring, level with the chip top, then the
    // wires' descent to the substrate at the ring.
    const Prism fan = MakePrism({{a, b}, {X, Y}, {X, -Y}, {a, -b}}, d, chip_top - d);
    const Prism drop = MakePrism({{X, Y}, {X + d, Y}, {X + d, -Y}, {X, -Y}},
                                 chip_top - substrate_top, substrate_top);
    return {fan, drop, Mirrored(fan, true), Mirrored(drop, true)};
}

std::vector<Prism> BGADetailedModel::WireTopBottomPrisms() const {
    const double a = chip.size.x / 2.0, b = chip.size.y / 2.0;
    const double X = a + wire.length.x, Y = b + wire.length.y, d = wire.diameter;
    const double substrate_top = SubstrateTopHeight();
    const double chip_top = ChipBottomHeight() + chip.thickness;
    const Prism fan = MakePrism({{a, b}, {X, Y}, {-X, Y}, {-a, b}}, d, chip_top - d);
    const Prism drop = MakePrism({{X, Y}, {X, Y + d}, {-X, Y + d}, {-X, Y}},
                                 chip_top - substrate_top, substrate_top);
    return {fan, drop, Mirrored(fan, false), Mirrored(drop, false)};
}

// The stack from the bottom: wiring 0, board 0, wiring 1, ..., board n - 2, wiring n - 1.
std::vector<Cuboid> BGADetailedModel::WiringLayerCuboids() const {
    std::vector<Cuboid> layers;
    double z = solder_ball.height;
    for (int i = 0; i < LayerCount(); ++i) {
        layers.push_back(Cuboid{-board.size.x / 2.0, -board.size.y / 2.0, z, board.size.x,
                                board.size.y, board.thick_of_wiringlayer[i]});
        z += board.thick_of_wiringlayer[i] + board.thick_of_boardlayer[i];
    }
    return layers;
}

std::vector<Cuboid> BGADetailedModel::BoardLayerCuboids() const {
    std::vector<Cuboid> layers;
    double z = solder_ball.height;
    for (int i = 0; i + 1 < LayerCount(); ++i) {
        z += board.thick_of_wiringlayer[i];
        layers.push_back(Cuboid{-board.size.x / 2.0, -board.size.y / 2.0, z, board.size.x,
                                board.size.y, board.thick_of_boardlayer[i]});
        z += board.thick_of_boardlayer[i];
    }
    return layers;
}

std::vector<Cuboid> BGADetailedModel::LandCuboids() const {
    const int n = LayerCount();
    if (n < 1) return {};
    const double w = board.thick_of_wiringlayer[n - 1];
    const double z = SubstrateTopHeight() - w;
    return {CentredBlock(board.size.x - 2.0 * board.wiring_area_size.x,
                         board.size.y - 2.0 * board.wiring_area_size.y, z, w),
            CentredBlock(board.land_size.x, board.land_size.y, z, w)};
}

Cuboid BGADetailedModel::ViaCuboid() const {
    const double h = solder_ball.height;
    // In doubles: a count read from a file may be INT_MIN, and every int is exact there.
    const double nx = via.number.x, ny = via.number.y;
    return CentredBlock((nx - 1) * via.pitch + via.outer_diameter,
                        (ny - 1) * via.pitch + via.outer_diameter, h, SubstrateTopHeight() - h);
}

std::vector<Cuboid> BGADetailedModel::SolderBallCuboids() const {
    switch (solder_ball.layout) {
        case 0: return FullGridBallCuboids();
        case 1: return PeripheralBallCuboids();
        case 2: return PeripheralAndCenterBallCuboids();
        default: return {};
    }
}

std::vector<Cuboid> BGADetailedModel::FullGridBallCuboids() const {
    return BallGrid(solder_ball.number_all.x, solder_ball.number_all.y, solder_ball.pitch,
                    solder_ball.diameter, solder_ball.height, [](int, int) { return false; });
}

std::vector<Cuboid> BGADetailedModel::PeripheralBallCuboids() const {
    const int nx = solder_ball.number_all.x, ny = solder_ball.number_all.y;
    const int rx = solder_ball.number_out.x, ry = solder_ball.number_out.y;
    return BallGrid(nx, ny, solder_ball.pitch, solder_ball.diameter, solder_ball.height,
                    [=](int i, int j) {
                        return rx <= i && i < nx - rx && ry <= j && j < ny - ry;
                    });
}

std::vector<Cuboid> BGADetailedModel::PeripheralAndCenterBallCuboids() const {
    std::vector<Cuboid> balls = PeripheralBallCuboids();
    const std::vector<Cuboid> centre = CenterBallCuboids();
    balls.insert(balls.end(), centre.begin(), centre.end());
    return balls;
}

std::vector<Cuboid> BGADetailedModel::CenterBallCuboids() const {
    return BallGrid(solder_ball.number_center.x, solder_ball.number_center.y, solder_ball.pitch,
                    solder_ball.diameter, solder_ball.height, [](int, int) { return false; });
}

Property BGADetailedModel::AirProperty() const {
    return IsotropicProperty(air_name_, kAir.conductivity, kAir.density, kAir.specific_heat);
}

Property BGADetailedModel::MoldProperty() const {
    return IsotropicProperty(mold_name_, mold.thermal_conductivity, mold.density,
                             mold.specific_heat);
}

Property BGADetailedModel::ChipProperty() const {
    return IsotropicProperty(chip_name_, chip.thermal_conductivity, chip.density,
                             chip.specific_heat);
}

Property BGADetailedModel::BondedPartProperty() const {
    return IsotropicProperty(bonded_part_name_, bonded_part.thermal_conductivity,
                             bonded_part.density, bonded_part.specific_heat);
}

Property BGADetailedModel::BoardProperty() const {
    return IsotropicProperty(board_name_, board.thermal_conductivity_board, board.density_board,
                             board.specific_heat_board);
}

Property BGADetailedModel::SolderBallProperty() const {
    return IsotropicProperty(solder_ball_name_, solder_ball.thermal_conductivity,
                             solder_ball.density, solder_ball.specific_heat);
}

// Bumps in underfill: conduction in parallel through the bump area fraction along z,
// underfill alone in plane; density by volume, specific heat by mass.
Property BGADetailedModel::BumpProperty() const {
    const double f = Ratio(bump.number * kPi * (bump.diameter * bump.diameter) / 4.0,
                           chip.size.x * chip.size.y);
    const double kz = (1.0 - f) * bump.ufil_thermal_conductivity + f * bump.bump_thermal_conductivity;
    const double rho = (1.0 - f) * bump.ufil_density + f * bump.bump_density;
    const double g = Ratio(f * bump.bump_density, rho);
    const double c = (1.0 - g) * bump.ufil_specific_heat + g * bump.bump_specific_heat;
    return AnisotropicProperty(bump_name_, bump.ufil_thermal_conductivity,
                               bump.ufil_thermal_conductivity, kz, rho, c);
}

// Wires in mold: in the left/right fans the wires run along x, so the wire fraction
// conducts along x and (through the descent) along z while y sees the mold alone; the
// top/bottom fans likewise along y.
Property BGADetailedModel::WireLeftRightProperty() const {
    const double area = (chip.size.y + wire.length.y) * wire.length.x;
    const Property p = WireMixture(Ratio(wire.length.x * wire.diameter * wire.number.x, area));
    return AnisotropicProperty(wire_left_right_name_, p.conductivity_z, mold.thermal_conductivity,
                               p.conductivity_z, p.density, p.specific_heat);
}

Property BGADetailedModel::WireTopBottomProperty() const {
    const double area = (chip.size.x + wire.length.x) * wire.length.y;
    const Property p = WireMixture(Ratio(wire.length.y * wire.diameter * wire.number.y, area));
    return AnisotropicProperty(wire_top_bottom_name_, mold.thermal_conductivity, p.conductivity_z,
                               p.conductivity_z, p.density, p.specific_heat);
}

// Wire volume fraction f in mold: conductivity along the wires, density and specific heat.
Property BGADetailedModel::WireMixture(double f) const {
    return Mixture(f, Bulk{wire.thermal_conductivity, wire.density, wire.specific_heat},
                   Bulk{mold.thermal_conductivity, mold.density, mold.specific_heat});
}

Property BGADetailedModel::WiringMixture(const std::string& name, double r) const {
    const double k = (1.0 - r) * board.thermal_conductivity_board +
                     r * board.thermal_conductivity_wiring;
    const double rho = (1.0 - r) * board.density_board + r * board.density_wiring;
    const double g = Ratio(r * board.density_wiring, rho);
    const double c = (1.0 - g) * board.specific_heat_board + g * board.specific_heat_wiring;
    return AnisotropicProperty(name, k, k, k, rho, c);
}

Property BGADetailedModel::WiringLayerProperty(int layer) const {
    if (layer < 0 || layer >= kMaxLayers) {
        return WiringMixture(NumberedName("board(wiring)(%d)", layer), 0.0);
    }
    return WiringMixture(wiring_names_[layer], board.ratio_of_wiring[layer]);
}

// Copper-plated vias through the stack: the copper area fraction conducts along z beside
// the insulator; in plane the region keeps the layer stack's thickness-weighted values.
Property BGADetailedModel::ViaProperty() const {
    const Cuboid region = ViaCuboid();
    const double D = via.outer_diameter;
    const double inner = D / 2.0 - via.thick_of_coat;
    const double count = static_cast<double>(via.number.x) * via.number.y;  // no int overflow
    const double copper = count * kPi * ((D / 2.0) * (D / 2.0) - inner * inner);
    const double f = Ratio(copper, region.dx * region.dy);
    const double H = SubstrateTopHeight() - solder_ball.height;

    const Property b = BoardProperty();
    double k_sum = 0.0, rho_sum = 0.0, heat_sum = 0.0;
    // Each term is the value times the layer thickness, then divided by H: the exported
    // values carry 17 digits, so taking the thickness fraction first would change them.
    for (int i = 0; i < LayerCount(); ++i) {
        const Property w = WiringLayerProperty(i);
        const double tw = WiringThickness(i);
        const double tb = BoardThickness(i - 1);
        k_sum += Ratio(w.conductivity_x * tw, H) + Ratio(b.conductivity * tb, H);
        rho_sum += Ratio(w.density * tw, H) + Ratio(b.density * tb, H);
        heat_sum += Ratio(w.specific_heat * w.density * tw, H) +
                    Ratio(b.specific_heat * b.density * tb, H);
    }
    const double c_mean = Ratio(heat_sum, rho_sum);

    const double kz = f * via.thermal_conductivity + (1.0 - f) * b.conductivity;
    const double rho = f * via.density + (1.0 - f) * rho_sum;
    const double g = Ratio(f * via.density, rho);
    const double c = g * via.specific_heat + (1.0 - g) * c_mean;
    return AnisotropicProperty(via_name_, k_sum, k_sum, kz, rho, c);
}

double BGAInnerRegionExtentX(const BGA& bga) {
    double c = bga.chip.size.x;
    if (bga.composition.via) {
        c = std::max(c, (static_cast<double>(bga.via.number.x) - 1) * bga.via.pitch +
                            bga.via.outer_diameter);
    }
    return InnerRegionExtent(c, bga.solder_ball.pitch, bga.solder_ball.number_all.x);
}

double BGAInnerRegionExtentY(const BGA& bga) {
    double c = bga.chip.size.y;
    if (bga.composition.via) {
        c = std::max(c, (static_cast<double>(bga.via.number.y) - 1) * bga.via.pitch +
                            bga.via.outer_diameter);
    }
    return InnerRegionExtent(c, bga.solder_ball.pitch, bga.solder_ball.number_all.y);
}

double BGAPeripheralRegionExtentX(const BGA& bga) {
    return PeripheralRegionExtent(bga.board.size.x, bga.solder_ball.number_all.x,
                                  bga.solder_ball.number_out.x, bga.solder_ball.pitch);
}

double BGAPeripheralRegionExtentY(const BGA& bga) {
    return PeripheralRegionExtent(bga.board.size.y, bga.solder_ball.number_all.y,
                                  bga.solder_ball.number_out.y, bga.solder_ball.pitch);
}

}  // namespace pkg::bga
