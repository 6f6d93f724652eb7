#include "parts_ui/bga_property_model.h"

#include <array>

#include "models/package_types.h"
#include "resources/string_ids.h"

namespace parts_ui {

namespace r = resources;
using widget::WTreeItem;

namespace {

constexpr int kLayerItems = 8;
constexpr int kBoardLayerItems = 7;  // insulators lie between wiring layers

std::wstring LayerKey(std::uint32_t groupId, int i) {
    return LoadText(groupId) + std::to_wstring(i);
}

std::wstring LayerName(int i) { return std::to_wstring(i + 1) + LoadText(r::IDS_PROP_LAYER); }

constexpr int kBoth = 0;
constexpr int kPBGAOnly = 1;
constexpr int kFCBGAOnly = 2;

bool Shown(int shown, bool fcbga) { return shown == kBoth || (shown == kFCBGAOnly) == fcbga; }

// The density, conductivity and specific heat fields of each material, in group order.
struct MaterialFields {
    std::uint32_t part;
    int shown;
    double* density;
    double* conductivity;
    double* specificHeat;
};

template <typename Record>
std::array<MaterialFields, 10> Materials(Record& p) {
    return {{
        {r::IDS_PROP_MOLD, kBoth, &p.mold.density, &p.mold.thermal_conductivity,
         &p.mold.specific_heat},
        {r::IDS_PROP_CHIP, kBoth, &p.chip.density, &p.chip.thermal_conductivity,
         &p.chip.specific_heat},
        {r::IDS_PROP_DIE_BONDING, kPBGAOnly, &p.bonded_part.density,
         &p.bonded_part.thermal_conductivity, &p.bonded_part.specific_heat},
        {r::IDS_PROP_BUMP, kFCBGAOnly, &p.bump.bump_density, &p.bump.bump_thermal_conductivity,
         &p.bump.bump_specific_heat},
        {r::IDS_PROP_UNDERFILL, kFCBGAOnly, &p.bump.ufil_density, &p.bump.ufil_thermal_conductivity,
         &p.bump.ufil_specific_heat},
        {r::IDS_PROP_BOARD_MATERIAL, kBoth, &p.board.density_board,
         &p.board.thermal_conductivity_board, &p.board.specific_heat_board},
        {r::IDS_PROP_WIRING_MATERIAL, kBoth, &p.board.density_wiring,
         &p.board.thermal_conductivity_wiring, &p.board.specific_heat_wiring},
        {r::IDS_PROP_THERMAL_VIA, kBoth, &p.via.density, &p.via.thermal_conductivity,
         &p.via.specific_heat},
        {r::IDS_PROP_WIRE, kPBGAOnly, &p.wire.density, &p.wire.thermal_conductivity,
         &p.wire.specific_heat},
        {r::IDS_PROP_SOLDER_BALL, kBoth, &p.solder_ball.density,
         &p.solder_ball.thermal_conductivity, &p.solder_ball.specific_heat},
    }};
}

constexpr std::array<std::uint32_t, 3> kMaterialGroups = {
    r::IDS_PROP_DENSITY_GROUP, r::IDS_PROP_CONDUCTIVITY_GROUP, r::IDS_PROP_SPECIFIC_HEAT_GROUP};

double* MaterialField(const MaterialFields& m, int group) {
    return group == 0 ? m.density : group == 1 ? m.conductivity : m.specificHeat;
}

constexpr std::array<std::uint32_t, 3> kLayoutTexts = {
    r::IDS_PROP_LAYOUT_FULL_MATRIX, r::IDS_PROP_LAYOUT_OUTER, r::IDS_PROP_LAYOUT_OUTER_CENTER};

// Adds the items of one builder group: the group id gives both key and parent.
class GroupBuilder {
  public:
    GroupBuilder(PropertyItemIndex& index, std::uint32_t keyGroup,
                 std::shared_ptr<WTreeItem> parent)
        : index_(index), keyGroup_(keyGroup), parent_(std::move(parent)) {}
    void Real(std::uint32_t item, double v) { Add(item, MakeDoubleVariant(v)); }
    void Count(std::uint32_t item, std::int32_t v) { Add(item, MakeIntVariant(v)); }
    void Flag(std::uint32_t item, bool v) { Add(item, MakeBoolVariant(v)); }
    void Add(std::uint32_t item, const widget::Variant& v) {
        AddPropertyChild(index_, parent_, PropertyKey(keyGroup_, item), LoadText(item), v);
    }

  private:
    PropertyItemIndex& index_;
    std::uint32_t keyGroup_;
    std::shared_ptr<WTreeItem> parent_;
};

double Real(const PropertyItemIndex& index, const std::wstring& key) {
    return VariantAsDouble(index.at(key)->Data());
}

std::int32_t Count(const PropertyItemIndex& index, const std::wstring& key) {
    return VariantAsInt(index.at(key)->Data());
}

bool Flag(const PropertyItemIndex& index, const std::wstring& key) {
    return VariantAsBool(index.at(key)->Data());
}

}  // namespace

std::shared_ptr<WTreeItem> MakeBallLayoutItem(std::uint32_t choiceId) {
    return MakePropertyValue(r::IDS_PROP_BALL_LAYOUT, LoadText(choiceId));
}

PropertyModel BuildBGAPropertyTree(const pkg::bga::BGADetailedModel& package) {
    PropertyModel result;
    result.model = std::make_shared<widget::WTreeItemModel>();
    PropertyItemIndex& index = result.index;
    pkg::bga::BGA p = package;
    const bool fcbga = pkg::TypeNameHas(package.TypeName(), pkg::kFlipChip);

    auto sizeGroup = [&](std::uint32_t keyGroup, const std::shared_ptr<WTreeItem>& parent,
                         std::uint32_t subId, const pkg::XY& size) {
        auto sub = MakePropertyGroup(subId);
        GroupBuilder b(index, keyGroup, sub);
        b.Real(r::IDS_PROP_X, size.x);
        b.Real(r::IDS_PROP_Y, size.y);
        parent->AppendRow(sub);
    };

    auto mold = MakePropertyGroup(r::IDS_PROP_MOLD);
    sizeGroup(r::IDS_PROP_MOLD, mold, r::IDS_PROP_SIZE, p.mold.size);
    GroupBuilder(index, r::IDS_PROP_MOLD, mold).Real(r::IDS_PROP_THICKNESS, p.mold.thickness);
    result.model->AppendRow(mold);

    auto chip = MakePropertyGroup(r::IDS_PROP_CHIP);
    sizeGroup(r::IDS_PROP_CHIP, chip, r::IDS_PROP_SIZE, p.chip.size);
    GroupBuilder chipItems(index, r::IDS_PROP_CHIP, chip);
    chipItems.Real(r::IDS_PROP_THICKNESS, p.chip.thickness);
    chipItems.Real(r::IDS_PROP_RATE_OF_HEATING, p.chip.rate_of_heating);
    result.model->AppendRow(chip);

    if (!fcbga) {
        auto bonding = MakePropertyGroup(r::IDS_PROP_DIE_BONDING);
        GroupBuilder b(index, r::IDS_PROP_DIE_BONDING, bonding);
        b.Flag(r::IDS_PROP_INSERT_DIE_BONDING, p.composition.bonded_part);
        b.Real(r::IDS_PROP_THICKNESS, p.bonded_part.thickness);
        result.model->AppendRow(bonding);
    } else {
        auto bump = MakePropertyGroup(r::IDS_PROP_BUMP);
        GroupBuilder b(index, r::IDS_PROP_BUMP, bump);
        b.Real(r::IDS_PROP_THICKNESS, p.bump.thickness);
        b.Real(r::IDS_PROP_DIAMETER, p.bump.diameter);
        b.Count(r::IDS_PROP_NUMBER, p.bump.number);
        result.model->AppendRow(bump);
    }

    auto board = MakePropertyGroup(r::IDS_PROP_BOARD);
    sizeGroup(r::IDS_PROP_BOARD, board, r::IDS_PROP_SIZE, p.board.size);
    if (!fcbga) {
        sizeGroup(r::IDS_PROP_LAND_SIZE, board, r::IDS_PROP_LAND_SIZE, p.board.land_size);
        sizeGroup(r::IDS_PROP_WIRING_AREA_SIZE, board, r::IDS_PROP_WIRING_AREA_SIZE,
                  p.board.wiring_area_size);
    }
    auto layers = MakePropertyValue(r::IDS_PROP_NUMBER_OF_WIRING_LAYERS,
                                    std::to_wstring(p.board.number_of_layer));
    for (const wchar_t* option : {L"2", L"4", L"6", L"8"}) layers->AddOption(option);
    index[PropertyKey(r::IDS_PROP_BOARD, r::IDS_PROP_NUMBER_OF_WIRING_LAYERS)] = layers;
    board->AppendRow(layers);
    auto boardLayers = MakePropertyGroup(r::IDS_PROP_BOARD_LAYER_THICKNESS);
    auto wiringLayers = MakePropertyGroup(r::IDS_PROP_WIRING_LAYER_THICKNESS);
    auto coverage = MakePropertyGroup(r::IDS_PROP_COPPER_COVERAGE);
    for (int i = 0; i < kLayerItems; ++i) {
        AddPropertyChild(index, wiringLayers, LayerKey(r::IDS_PROP_WIRING_LAYER_THICKNESS, i),
                         LayerName(i), MakeDoubleVariant(p.board.thick_of_wiringlayer[i]));
        AddPropertyChild(index, coverage, LayerKey(r::IDS_PROP_COPPER_COVERAGE, i), LayerName(i),
                         MakeDoubleVariant(p.board.ratio_of_wiring[i]));
        if (i < kBoardLayerItems) {
            AddPropertyChild(index, boardLayers, LayerKey(r::IDS_PROP_BOARD_LAYER_THICKNESS, i),
                             LayerName(i), MakeDoubleVariant(p.board.thick_of_boardlayer[i]));
        }
    }
    board->AppendRow(boardLayers);
    board->AppendRow(wiringLayers);
    board->AppendRow(coverage);
    result.model->AppendRow(board);

    auto via = MakePropertyGroup(r::IDS_PROP_THERMAL_VIA);
    GroupBuilder v(index, r::IDS_PROP_THERMAL_VIA, via);
    v.Flag(r::IDS_PROP_CREATE_THERMAL_VIA, p.composition.via);
    v.Real(r::IDS_PROP_OUTER_DIAMETER, p.via.outer_diameter);
    v.Real(r::IDS_PROP_COATING_THICKNESS, p.via.thick_of_coat);
    v.Real(r::IDS_PROP_PITCH, p.via.pitch);
    v.Count(r::IDS_PROP_LINES_X, p.via.number.x);
    v.Count(r::IDS_PROP_LINES_Y, p.via.number.y);
    result.model->AppendRow(via);

    if (!fcbga) {
        auto wire = MakePropertyGroup(r::IDS_PROP_WIRE);
        GroupBuilder w(index, r::IDS_PROP_WIRE, wire);
        w.Flag(r::IDS_PROP_CREATE_WIRE, p.composition.wire);
        w.Real(r::IDS_PROP_DIAMETER, p.wire.diameter);
        w.Count(r::IDS_PROP_NUMBER_TOP_BOTTOM, p.wire.number.y);
        w.Count(r::IDS_PROP_NUMBER_LEFT_RIGHT, p.wire.number.x);
        result.model->AppendRow(wire);
    }

    auto ball = MakePropertyGroup(r::IDS_PROP_SOLDER_BALL);
    GroupBuilder s(index, r::IDS_PROP_SOLDER_BALL, ball);
    s.Real(r::IDS_PROP_SOLDER_BALL_DIAMETER, p.solder_ball.diameter);
    s.Real(r::IDS_PROP_PITCH, p.solder_ball.pitch);
    s.Real(r::IDS_PROP_HEIGHT, p.solder_ball.height);
    const int layout = p.solder_ball.layout;
    auto layoutItem =
        MakeBallLayoutItem(layout >= 1 && layout <= 2 ? kLayoutTexts[layout] : kLayoutTexts[0]);
    for (std::uint32_t option : kLayoutTexts) layoutItem->AddOption(LoadText(option));
    index[PropertyKey(r::IDS_PROP_SOLDER_BALL, r::IDS_PROP_BALL_LAYOUT)] = layoutItem;
    ball->AppendRow(layoutItem);
    s.Count(r::IDS_PROP_ALL_LINES_X, p.solder_ball.number_all.x);
    s.Count(r::IDS_PROP_ALL_LINES_Y, p.solder_ball.number_all.y);
    s.Count(r::IDS_PROP_OUTER_LINES_X, p.solder_ball.number_out.x);
    s.Count(r::IDS_PROP_OUTER_LINES_Y, p.solder_ball.number_out.y);
    s.Count(r::IDS_PROP_CENTER_LINES_X, p.solder_ball.number_center.x);
    s.Count(r::IDS_PROP_CENTER_LINES_Y, p.solder_ball.number_center.y);
    result.model->AppendRow(ball);

    const auto materials = Materials(p);
    for (int g = 0; g < 3; ++g) {
        auto group = MakePropertyGroup(kMaterialGroups[g]);
        GroupBuilder m(index, kMaterialGroups[g], group);
        for (const auto& material : materials) {
            if (Shown(material.shown, fcbga)) m.Real(material.part, *MaterialField(material, g));
        }
        result.model->AppendRow(group);
    }
    return result;
}

BGAParameters ApplyBGAProperties(PropertyItemIndex index, const std::string& typeName) {
    BGAParameters p;
    p.type_name = typeName;
    const bool fcbga = pkg::TypeNameHas(p.type_name, pkg::kFlipChip);
    auto key = PropertyKey;

    p.mold.size.x = Real(index, key(r::IDS_PROP_MOLD, r::IDS_PROP_X));
    p.mold.size.y = Real(index, key(r::IDS_PROP_MOLD, r::IDS_PROP_Y));
    p.mold.thickness = Real(index, key(r::IDS_PROP_MOLD, r::IDS_PROP_THICKNESS));
    p.chip.size.x = Real(index, key(r::IDS_PROP_CHIP, r::IDS_PROP_X));
    p.chip.size.y = Real(index, key(r::IDS_PROP_CHIP, r::IDS_PROP_Y));
    p.chip.thickness = Real(index, key(r::IDS_PROP_CHIP, r::IDS_PROP_THICKNESS));
    p.chip.rate_of_heating = Real(index, key(r::IDS_PROP_CHIP, r::IDS_PROP_RATE_OF_HEATING));
    if (!fcbga) {
        p.composition.bonded_part =
            Flag(index, key(r::IDS_PROP_DIE_BONDING, r::IDS_PROP_INSERT_DIE_BONDING));
        p.bonded_part.thickness = Real(index, key(r::IDS_PROP_DIE_BONDING, r::IDS_PROP_THICKNESS));
    } else {
        p.bump.thickness = Real(index, key(r::IDS_PROP_BUMP, r::IDS_PROP_THICKNESS));
        p.bump.diameter = Real(index, key(r::IDS_PROP_BUMP, r::IDS_PROP_DIAMETER));
        p.bump.number = Count(index, key(r::IDS_PROP_BUMP, r::IDS_PROP_NUMBER));
    }
    p.board.size.x = Real(index, key(r::IDS_PROP_BOARD, r::IDS_PROP_X));
    p.board.size.y = Real(index, key(r::IDS_PROP_BOARD, r::IDS_PROP_Y));
    if (!fcbga) {
        p.board.land_size.x = Real(index, key(r::IDS_PROP_LAND_SIZE, r::IDS_PROP_X));
        p.board.land_size.y = Real(index, key(r::IDS_PROP_LAND_SIZE, r::IDS_PROP_Y));
        p.board.wiring_area_size.x = Real(index, key(r::IDS_PROP_WIRING_AREA_SIZE, r::IDS_PROP_X));
        p.board.wiring_area_size.y = Real(index, key(r::IDS_PROP_WIRING_AREA_SIZE, r::IDS_PROP_Y));
    }
    // The count is a text; one outside the options (a file may hold any) reads as its number.
    p.board.number_of_layer =
        Count(index, key(r::IDS_PROP_BOARD, r::IDS_PROP_NUMBER_OF_WIRING_LAYERS));
    for (int i = 0; i < kLayerItems; ++i) {
        p.board.thick_of_wiringlayer[i] =
            Real(index, LayerKey(r::IDS_PROP_WIRING_LAYER_THICKNESS, i));
        p.board.ratio_of_wiring[i] = Real(index, LayerKey(r::IDS_PROP_COPPER_COVERAGE, i));
        if (i < kBoardLayerItems) {
            p.board.thick_of_boardlayer[i] =
                Real(index, LayerKey(r::IDS_PROP_BOARD_LAYER_THICKNESS, i));
        }
    }
    p.composition.via = Flag(index, key(r::IDS_PROP_THERMAL_VIA, r::IDS_PROP_CREATE_THERMAL_VIA));
    p.via.outer_diameter = Real(index, key(r::IDS_PROP_THERMAL_VIA, r::IDS_PROP_OUTER_DIAMETER));
    p.via.thick_of_coat = Real(index, key(r::IDS_PROP_THERMAL_VIA, r::IDS_PROP_COATING_THICKNESS));
    p.via.pitch = Real(index, key(r::IDS_PROP_THERMAL_VIA, r::IDS_PROP_PITCH));
    p.via.number.x = Count(index, key(r::IDS_PROP_THERMAL_VIA, r::IDS_PROP_LINES_X));
    p.via.number.y = Count(index, key(r::IDS_PROP_THERMAL_VIA, r::IDS_PROP_LINES_Y));
    if (!fcbga) {
        p.composition.wire = Flag(index, key(r::IDS_PROP_WIRE, r::IDS_PROP_CREATE_WIRE));
        p.wire.diameter = Real(index, key(r::IDS_PROP_WIRE, r::IDS_PROP_DIAMETER));
        p.wire.number.y = Count(index, key(r::IDS_PROP_WIRE, r::IDS_PROP_NUMBER_TOP_BOTTOM));
        p.wire.number.x = Count(index, key(r::IDS_PROP_WIRE, r::IDS_PROP_NUMBER_LEFT_RIGHT));
        // The wires span the gap between the chip and the wiring area of the first layer.
        p.wire.length.x = 0.5 * (p.board.size.x - 2.0 * p.board.wiring_area_size.x - p.chip.size.x);
        p.wire.length.y = 0.5 * (p.board.size.y - 2.0 * p.board.wiring_area_size.y - p.chip.size.y);
    }
    p.solder_ball.diameter =
        Real(index, key(r::IDS_PROP_SOLDER_BALL, r::IDS_PROP_SOLDER_BALL_DIAMETER));
    p.solder_ball.pitch = Real(index, key(r::IDS_PROP_SOLDER_BALL, r::IDS_PROP_PITCH));
    p.solder_ball.height = Real(index, key(r::IDS_PROP_SOLDER_BALL, r::IDS_PROP_HEIGHT));
    const widget::Variant layout =
        index.at(key(r::IDS_PROP_SOLDER_BALL, r::IDS_PROP_BALL_LAYOUT))->Data();
    const std::wstring layoutText = layout.ChangeType(widget::VT_BSTR).Bstr();
    p.solder_ball.layout = 0;  // the item offers only the three texts
    for (int i = 0; i < static_cast<int>(kLayoutTexts.size()); ++i) {
        if (layoutText == LoadText(kLayoutTexts[i])) {
            p.solder_ball.layout = i;
            break;
        }
    }
    p.solder_ball.number_all.x =
        Count(index, key(r::IDS_PROP_SOLDER_BALL, r::IDS_PROP_ALL_LINES_X));
    p.solder_ball.number_all.y =
        Count(index, key(r::IDS_PROP_SOLDER_BALL, r::IDS_PROP_ALL_LINES_Y));
    p.solder_ball.number_out.x =
        Count(index, key(r::IDS_PROP_SOLDER_BALL, r::IDS_PROP_OUTER_LINES_X));
    p.solder_ball.number_out.y =
        Count(index, key(r::IDS_PROP_SOLDER_BALL, r::IDS_PROP_OUTER_LINES_Y));
    p.solder_ball.number_center.x =
        Count(index, key(r::IDS_PROP_SOLDER_BALL, r::IDS_PROP_CENTER_LINES_X));
    p.solder_ball.number_center.y =
        Count(index, key(r::IDS_PROP_SOLDER_BALL, r::IDS_PROP_CENTER_LINES_Y));

    const auto materials = Materials(p);
    for (int g = 0; g < 3; ++g) {
        for (const auto& material : materials) {
            if (!Shown(material.shown, fcbga)) continue;
            *MaterialField(material, g) = Real(index, key(kMaterialGroups[g], material.part));
        }
    }
    return p;
}

bool ValidateBGAParameters(const BGAParameters& p) {
    return CheckRules(pkg::CheckBGARules({p.mold, p.chip, p.bonded_part, p.bump, p.wire, p.board,
                                          p.via, p.solder_ball, p.composition,
                                          pkg::TypeNameHas(p.type_name, pkg::kFlipChip)}));
}

void PushBGAParameters(const BGAParameters& p,
                       const std::shared_ptr<pkg::bga::BGADetailedModel>& package) {
    if (!package) return;
    pkg::bga::BGA& b = *package;
    const bool fcbga = pkg::TypeNameHas(p.type_name, pkg::kFlipChip);

    b.mold = p.mold;
    b.chip = p.chip;
    b.board.number_of_layer = p.board.number_of_layer;
    b.board.size = p.board.size;
    b.board.thick_of_wiringlayer = p.board.thick_of_wiringlayer;
    b.board.ratio_of_wiring = p.board.ratio_of_wiring;
    for (int i = 0; i < kBoardLayerItems; ++i)
        b.board.thick_of_boardlayer[i] = p.board.thick_of_boardlayer[i];
    b.board.thermal_conductivity_board = p.board.thermal_conductivity_board;
    b.board.thermal_conductivity_wiring = p.board.thermal_conductivity_wiring;
    b.board.density_board = p.board.density_board;
    b.board.density_wiring = p.board.density_wiring;
    b.board.specific_heat_board = p.board.specific_heat_board;
    b.board.specific_heat_wiring = p.board.specific_heat_wiring;
    b.via = p.via;
    b.composition.via = p.composition.via;
    b.solder_ball = p.solder_ball;
    if (fcbga) {
        b.bump = p.bump;
    } else {
        b.bonded_part = p.bonded_part;
        b.composition.bonded_part = p.composition.bonded_part;
        b.board.land_size = p.board.land_size;
        b.board.wiring_area_size = p.board.wiring_area_size;
        b.wire = p.wire;
        b.composition.wire = p.composition.wire;
    }
}

}  // namespace parts_ui
