#include "models/bga/bga.h"

#include <algorithm>

namespace pkg::bga {

namespace {

constexpr const char* kPBGA = "pbga";
constexpr const char* kFCBGA = "fcbga";
constexpr const char* kLegacyBGA = "bga";

bool CountBuildable(int32_t count) { return 0 <= count && count <= BGA::kMaxCountPerAxis; }

bool AxisCountsBuildable(const CountXY& counts) {
    return CountBuildable(counts.x) && CountBuildable(counts.y);
}

std::string LayerPath(const char* table, int layer) {
    return std::string("board.") + table + ".layer_" + std::to_string(layer);
}

}  // namespace

BGA::BGA(bool fcbga) {
    type_ = fcbga ? kFCBGA : kPBGA;
    SetDefaults();
}

bool BGA::CountsBuildable() const {
    const int layout = solder_ball.layout;
    if (!AxisCountsBuildable(solder_ball.number_all)) return false;
    if ((layout == 1 || layout == 2) && !AxisCountsBuildable(solder_ball.number_out)) {
        return false;
    }
    if (layout == 2 && !AxisCountsBuildable(solder_ball.number_center)) return false;
    return !composition.via || AxisCountsBuildable(via.number);
}

void BGA::SetDefaults() {
    mold = Mold{{19.0, 19.0}, 0.5, 0.8, 1850.0, 1100.0};
    chip = Chip{{5.0, 5.0}, 0.3, 120.0, 2330.0, 852.0, 1.0};
    bonded_part = BondedPart{0.02, 0.02, 8890.0, 210.0};
    bump = Bump{400, 0.1, 0.05, 60.0, 0.5, 8890.0, 1850.0, 210.0, 1100.0};
    wire.number = CountXY{5, 5};
    wire.diameter = 0.025;
    wire.length = XY{4.0, 4.0};
    wire.thermal_conductivity = 300.0;
    wire.density = 19300.0;
    wire.specific_heat = 129.0;

    board.number_of_layer = 4;
    board.size = XY{21.0, 21.0};
    board.wiring_area_size = XY{4.0, 4.0};
    board.land_size = XY{4.0, 4.0};
    board.thermal_conductivity_board = 0.3;
    board.thermal_conductivity_wiring = 398.0;
    board.density_board = 1850.0;
    board.density_wiring = 8880.0;
    board.specific_heat_board = 1100.0;
    board.specific_heat_wiring = 386.0;
    board.thick_of_wiringlayer.fill(0.04);
    board.thick_of_boardlayer = {0.1, 0.18, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1};
    board.ratio_of_wiring.fill(0.6);

    via = Via{{5, 5}, 0.2, 0.04, 1.0, 398.0, 8880.0, 386.0};

    solder_ball.layout = 0;
    solder_ball.number_all = CountXY{20, 20};
    solder_ball.number_out = CountXY{3, 3};
    solder_ball.number_center = CountXY{6, 6};
    solder_ball.diameter = 0.5;
    solder_ball.pitch = 1.0;
    solder_ball.height = 0.5;
    solder_ball.thermal_conductivity = 60.0;
    solder_ball.density = 8890.0;
    solder_ball.specific_heat = 210.0;

    composition = Composition{false, true, false};
    is_fcbga = (type_ == kFCBGA);
}

bool BGA::IsPBGA() const { return type_ == kPBGA || type_ == kLegacyBGA; }

int BGA::LayerCount() const { return std::clamp<int>(board.number_of_layer, 0, kMaxLayers); }

double BGA::SubstrateTopHeight() const {
    const int n = LayerCount();
    double h = solder_ball.height;
    for (int i = 0; i < n; ++i) h += board.thick_of_wiringlayer[i];
    for (int i = 0; i + 1 < n; ++i) h += board.thick_of_boardlayer[i];
    return h;
}

double BGA::ChipBottomHeight() const {
    double h = SubstrateTopHeight();
    if (composition.bonded_part && IsPBGA()) h += bonded_part.thickness;
    if (type_ == kFCBGA) h += bump.thickness;
    return h;
}

bool BGA::ReadPartFile(std::istream& in) {
    return ReadPartDocument(in, [this](const PartReader& r, const std::string& type) {
        return ReadBody(r, type);
    });
}

bool BGA::ReadBody(const PartReader& r, const std::string& type) {
    if (type != kPBGA && type != kFCBGA && type != kLegacyBGA) return false;
    type_ = type;
    const bool pbga_like = IsPBGA();
    const bool fcbga = (type_ == kFCBGA);

    ReadMold(r, mold);
    if (pbga_like) ReadBondedPart(r, bonded_part);
    if (fcbga) {
        r.RequireGroup("bump");
        r.Required("bump.diameter", bump.diameter);
        r.Required("bump.thickness", bump.thickness);
        r.Optional("bump.number", bump.number);
        r.Required("bump.bump_thermal_conductivity", bump.bump_thermal_conductivity);
        r.Required("bump.ufil_thermal_conductivity", bump.ufil_thermal_conductivity);
        r.Optional("bump.bump_density", bump.bump_density);
        r.Optional("bump.ufil_density", bump.ufil_density);
        r.Optional("bump.bump_specific_heat", bump.bump_specific_heat);
        r.Optional("bump.ufil_specific_heat", bump.ufil_specific_heat);
    }
    ReadChip(r, chip);

    r.RequireGroup("board");
    r.Required("board.size.x", board.size.x);
    r.Required("board.size.y", board.size.y);
    if (pbga_like) {
        r.Required("board.wiring_area_size.x", board.wiring_area_size.x);
        r.Required("board.wiring_area_size.y", board.wiring_area_size.y);
        r.Required("board.land_size.x", board.land_size.x);
        r.Required("board.land_size.y", board.land_size.y);
    }
    // The layer count is checked before it is stored: the tables hold eight layers and a
    // count outside 1..8 would have every later user index past them.
    int32_t layers = 0;
    r.Required("board.number_of_layer", layers);
    if (layers < 1 || layers > kMaxLayers) return false;
    board.number_of_layer = layers;
    for (int i = 1; i <= layers; ++i) {
        r.Required(LayerPath("thick_of_wiringlayer", i), board.thick_of_wiringlayer[i - 1]);
        r.Required(LayerPath("ratio_of_wiring", i), board.ratio_of_wiring[i - 1]);
    }
    for (int i = 1; i <= layers - 1; ++i) {
        r.Required(LayerPath("thick_of_boardlayer", i), board.thick_of_boardlayer[i - 1]);
    }
    r.Required("board.thermal_conductivity(wiring)", board.thermal_conductivity_wiring);
    r.Required("board.thermal_conductivity(board)", board.thermal_conductivity_board);
    r.Optional("board.density(wiring)", board.density_wiring);
    r.Optional("board.density(board)", board.density_board);
    r.Optional("board.specific_heat(wiring)", board.specific_heat_wiring);
    r.Optional("board.specific_heat(board)", board.specific_heat_board);

    if (pbga_like) {
        r.RequireGroup("wire");
        r.Required("wire.diameter", wire.diameter);
        r.Required("wire.thermal_conductivity", wire.thermal_conductivity);
        r.Optional("wire.density", wire.density);
        r.Optional("wire.specific_heat", wire.specific_heat);
        r.Required("wire.number.x", wire.number.x);
        r.Required("wire.number.y", wire.number.y);
        // The stored lengths are ignored: the wires span the gap between chip and
        // wiring area.
        wire.length.x = (board.size.x - 2.0 * board.wiring_area_size.x - chip.size.x) / 2.0;
        wire.length.y = (board.size.y - 2.0 * board.wiring_area_size.y - chip.size.y) / 2.0;
    }

    r.RequireGroup("via");
    r.Required("via.number.x", via.number.x);
    r.Required("via.number.y", via.number.y);
    r.Required("via.outer_diameter", via.outer_diameter);
    r.Required("via.thick_of_coat", via.thick_of_coat);
    r.Required("via.pitch", via.pitch);
    r.Required("via.thermal_conductivity", via.thermal_conductivity);
    r.Optional("via.density", via.density);
    r.Optional("via.specific_heat", via.specific_heat);

    r.RequireGroup("solder_ball");
    r.Required("solder_ball.layout", solder_ball.layout);
    r.Required("solder_ball.number(ALL).x", solder_ball.number_all.x);
    r.Required("solder_ball.number(ALL).y", solder_ball.number_all.y);
    r.Required("solder_ball.number(Out).x", solder_ball.number_out.x);
    r.Required("solder_ball.number(Out).y", solder_ball.number_out.y);
    r.Required("solder_ball.number(Center).x", solder_ball.number_center.x);
    r.Required("solder_ball.number(Center).y", solder_ball.number_center.y);
    r.Required("solder_ball.diameter", solder_ball.diameter);
    r.Required("solder_ball.pitch", solder_ball.pitch);
    r.Required("solder_ball.height", solder_ball.height);
    r.Required("solder_ball.thermal_conductivity", solder_ball.thermal_conductivity);
    r.Optional("solder_ball.density", solder_ball.density);
    r.Optional("solder_ball.specific_heat", solder_ball.specific_heat);

    r.RequireGroup("composition");
    composition.bonded_part = r.Switch("composition.bonded_part");
    composition.wire = r.Switch("composition.wire");
    composition.via = r.Switch("composition.via");

    is_fcbga = fcbga;
    return true;
}

bool BGA::WritePartFile(std::ostream& out) const {
    return WritePartDocument(out, TypeName(), [this](PartWriter& w) { WriteBody(w); });
}

void BGA::WriteBody(PartWriter& w) const {
    // A legacy "bga" part is read as a PBGA, so it is written with every PBGA group:
    // otherwise the file it leaves could not be read again.
    const bool pbga_like = IsPBGA();
    const bool fcbga = (type_ == kFCBGA);
    const int n = LayerCount();

    WriteMold(w, mold);
    if (pbga_like) WriteBondedPart(w, bonded_part);
    if (fcbga) {
        w.Put("bump.diameter", bump.diameter);
        w.Put("bump.thickness", bump.thickness);
        w.Put("bump.number", bump.number);
        w.Put("bump.bump_thermal_conductivity", bump.bump_thermal_conductivity);
        w.Put("bump.ufil_thermal_conductivity", bump.ufil_thermal_conductivity);
        w.Put("bump.bump_density", bump.bump_density);
        w.Put("bump.ufil_density", bump.ufil_density);
        w.Put("bump.bump_specific_heat", bump.bump_specific_heat);
        w.Put("bump.ufil_specific_heat", bump.ufil_specific_heat);
    }
    WriteChip(w, chip);
    if (pbga_like) {
        w.Put("wire.diameter", wire.diameter);
        w.Put("wire.thermal_conductivity", wire.thermal_conductivity);
        w.Put("wire.density", wire.density);
        w.Put("wire.specific_heat", wire.specific_heat);
        w.Put("wire.number.x", wire.number.x);
        w.Put("wire.number.y", wire.number.y);
        w.Put("wire.length.x", wire.length.x);
        w.Put("wire.length.y", wire.length.y);
    }

    w.Put("board.size.x", board.size.x);
    w.Put("board.size.y", board.size.y);
    w.Put("board.number_of_layer", board.number_of_layer);
    for (int i = 1; i <= n; ++i) {
        w.Put(LayerPath("thick_of_wiringlayer", i), board.thick_of_wiringlayer[i - 1]);
    }
    for (int i = 1; i <= n - 1; ++i) {
        w.Put(LayerPath("thick_of_boardlayer", i), board.thick_of_boardlayer[i - 1]);
    }
    for (int i = 1; i <= n; ++i) {
        w.Put(LayerPath("ratio_of_wiring", i), board.ratio_of_wiring[i - 1]);
    }
    if (pbga_like) {
        w.Put("board.wiring_area_size.x", board.wiring_area_size.x);
        w.Put("board.wiring_area_size.y", board.wiring_area_size.y);
        w.Put("board.land_size.x", board.land_size.x);
        w.Put("board.land_size.y", board.land_size.y);
    }
    w.Put("board.thermal_conductivity(wiring)", board.thermal_conductivity_wiring);
    w.Put("board.thermal_conductivity(board)", board.thermal_conductivity_board);
    w.Put("board.density(wiring)", board.density_wiring);
    w.Put("board.density(board)", board.density_board);
    w.Put("board.specific_heat(wiring)", board.specific_heat_wiring);
    w.Put("board.specific_heat(board)", board.specific_heat_board);

    w.Put("via.number.x", via.number.x);
    w.Put("via.number.y", via.number.y);
    w.Put("via.outer_diameter", via.outer_diameter);
    w.Put("via.thick_of_coat", via.thick_of_coat);
    w.Put("via.pitch", via.pitch);
    w.Put("via.thermal_conductivity", via.thermal_conductivity);
    w.Put("via.density", via.density);
    w.Put("via.specific_heat", via.specific_heat);

    w.Put("solder_ball.layout", solder_ball.layout);
    w.Put("solder_ball.number(ALL).x", solder_ball.number_all.x);
    w.Put("solder_ball.number(ALL).y", solder_ball.number_all.y);
    w.Put("solder_ball.number(Out).x", solder_ball.number_out.x);
    w.Put("solder_ball.number(Out).y", solder_ball.number_out.y);
    w.Put("solder_ball.number(Center).x", solder_ball.number_center.x);
    w.Put("solder_ball.number(Center).y", solder_ball.number_center.y);
    w.Put("solder_ball.diameter", solder_ball.diameter);
    w.Put("solder_ball.pitch", solder_ball.pitch);
    w.Put("solder_ball.height", solder_ball.height);
    w.Put("solder_ball.thermal_conductivity", solder_ball.thermal_conductivity);
    w.Put("solder_ball.density", solder_ball.density);
    w.Put("solder_ball.specific_heat", solder_ball.specific_heat);

    w.PutBool("composition.bonded_part", composition.bonded_part);
    w.PutBool("composition.wire", composition.wire);
    w.PutBool("composition.via", composition.via);
}

}  // namespace pkg::bga
