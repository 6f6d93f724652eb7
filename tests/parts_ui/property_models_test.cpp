#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/message_box.h"
#include "models/bga/bga_detailed_model.h"
#include "models/pdevice/power_device_detailed_model.h"
#include "models/pdevice/sot223_detailed_model.h"
#include "models/qfp/qfp_detailed_model.h"
#include "parts_ui/bga_property_model.h"
#include "parts_ui/power_device_property_model.h"
#include "parts_ui/qfp_property_model.h"
#include "resources/string_table.h"

namespace parts_ui {
namespace {

using widget::Variant;

std::wstring T(std::uint32_t id) { return LoadText(id); }
std::wstring K(std::uint32_t group, std::uint32_t item) { return T(group) + T(item); }

// Every message box text shown while the fixture lives.
class PropertyModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetMessageBoxAnswerer([this](const wxString& text, const wxString&, long style) {
            messages.push_back(text.ToStdWstring());
            EXPECT_EQ(style, wxOK | wxICON_ERROR);
            return wxOK;
        });
    }
    void TearDown() override {
        SetMessageBoxAnswerer({});
        resources::SetThreadLanguage(resources::kLanguageEnglish);
    }
    std::wstring Only() const {
        return messages.size() == 1 ? messages[0]
                                    : L"<" + std::to_wstring(messages.size()) + L" messages>";
    }
    static std::wstring Positive(std::uint32_t nameId) {
        return resources::FormatString1(T(134), T(nameId));
    }
    std::vector<std::wstring> messages;
};

std::set<std::wstring> Keys(const PropertyItemIndex& index) {
    std::set<std::wstring> keys;
    for (const auto& entry : index) keys.insert(entry.first);
    return keys;
}

std::vector<std::wstring> Groups(const PropertyModel& model) {
    std::vector<std::wstring> texts;
    for (const auto& row : model.model->root->rows) texts.push_back(row[0]->text);
    return texts;
}

std::vector<std::wstring> Texts(std::initializer_list<std::uint32_t> ids) {
    std::vector<std::wstring> texts;
    for (auto id : ids) texts.push_back(T(id));
    return texts;
}

std::string Written(const pkg::SemiconductorPackage& package) {
    std::ostringstream out;
    EXPECT_TRUE(package.WritePartFile(out));
    return out.str();
}

void SetItem(PropertyModel& model, const std::wstring& key, const Variant& v) {
    ASSERT_EQ(model.index.count(key), 1u) << std::string(key.begin(), key.end());
    model.index.at(key)->SetData(v);
}

// One open, apply and push cycle as the part-opening code runs it.
template <typename Package, typename Build, typename Apply, typename Push>
void Cycle(const std::shared_ptr<Package>& package, Build build, Apply apply, Push push) {
    PropertyModel model = build(*package);
    push(apply(model.index, package->TypeName()), package);
}

void CycleBGA(const std::shared_ptr<pkg::bga::BGADetailedModel>& p) {
    Cycle(p, BuildBGAPropertyTree, ApplyBGAProperties, PushBGAParameters);
}
void CycleQFP(const std::shared_ptr<pkg::qfp::QFPDetailedModel>& p) {
    const auto apply = [](PropertyItemIndex index, const std::string&) {
        return ApplyQFPProperties(std::move(index));
    };
    Cycle(p, BuildQFPPropertyTree, apply, PushQFPParameters);
}
void CyclePD(const std::shared_ptr<pkg::pdevice::PowerDevice>& p) {
    Cycle(p, BuildPowerDevicePropertyTree, ApplyPowerDeviceProperties, PushPowerDeviceParameters);
}

std::vector<std::shared_ptr<pkg::pdevice::PowerDevice>> PowerDevices() {
    return {std::make_shared<pkg::pdevice::TO220DetailedModel>(),
            std::make_shared<pkg::pdevice::TO247DetailedModel>(),
            std::make_shared<pkg::pdevice::TO263DetailedModel>(),
            std::make_shared<pkg::pdevice::TO252DetailedModel>(),
            std::make_shared<pkg::pdevice::SOT89DetailedModel>(),
            std::make_shared<pkg::pdevice::SOT223DetailedModel>()};
}

// ---- the framework ----

TEST_F(PropertyModelTest, FrameworkIndexConversionsAndChecks) {
    PropertyItemIndex index;
    auto group = MakePropertyGroup(199);
    EXPECT_TRUE(group->value.IsEmpty());
    AddPropertyChild(index, group, L"k", L"first", MakeDoubleVariant(1.0));
    AddPropertyChild(index, group, L"k", L"second", MakeIntVariant(2));
    ASSERT_EQ(group->rows.size(), 2u);
    EXPECT_EQ(index.at(L"k")->text, L"second");  // the earlier item stays a child, unindexed

    double target = 7.0;
    GetDoubleByKey(index, L"missing", target);
    EXPECT_EQ(target, 7.0);
    GetDoubleByKey(index, L"k", target);
    EXPECT_EQ(target, 2.0);

    EXPECT_EQ(VariantAsInt(Variant::FromBstr(L"4")), 4);
    EXPECT_EQ(VariantAsInt(MakeIntVariant(-3)), -3);
    EXPECT_TRUE(VariantAsBool(Variant::FromI4(-1)));
    EXPECT_FALSE(VariantAsBool(MakeBoolVariant(false)));
    EXPECT_EQ(MakeBoolVariant(true).BoolValue(), -1);
    try {
        VariantAsDouble(Variant::FromBstr(L"abc"));
        FAIL() << "no error";
    } catch (const widget::ComError& e) {
        EXPECT_EQ(e.Error(), widget::DISP_E_TYPEMISMATCH);
    }

    EXPECT_TRUE(CheckPositiveByKey(index, L"absent", -5.0));
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(CheckPositiveByKey(index, L"k", 0.0));
    EXPECT_FALSE(CheckPositiveValue(-1.0, 137));
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], L"Specify k greater than 0.");
    EXPECT_EQ(messages[1], L"Specify Mold thickness greater than 0.");
}

// ---- groups and keys of the ten types, in both languages ----

std::set<std::wstring> ExpectedBGAKeys(bool fcbga) {
    std::set<std::wstring> keys;
    auto add = [&](std::uint32_t g, std::initializer_list<std::uint32_t> items) {
        for (auto i : items) keys.insert(K(g, i));
    };
    add(199, {179, 180, 181});
    add(205, {179, 180, 181, 190});
    add(222, {179, 180, 228});
    for (int i = 0; i < 8; ++i) {
        keys.insert(T(227) + std::to_wstring(i));
        keys.insert(T(225) + std::to_wstring(i));
        if (i < 7) keys.insert(T(226) + std::to_wstring(i));
    }
    add(231, {230, 232, 233, 197, 234, 235});
    add(238, {239, 197, 322, 323, 240, 241, 242, 243, 244, 245});
    for (std::uint32_t m : {279u, 182u, 280u}) add(m, {199, 205, 290, 291, 231, 238});
    if (fcbga) {
        add(261, {181, 195, 265});
        for (std::uint32_t m : {279u, 182u, 280u}) add(m, {261, 289});
    } else {
        add(207, {192, 181});
        add(256, {179, 180});
        add(257, {179, 180});
        add(208, {194, 195, 236, 237});
        for (std::uint32_t m : {279u, 182u, 280u}) add(m, {207, 208});
    }
    return keys;
}

std::set<std::wstring> ExpectedPDKeys(const std::string& type) {
    static const std::map<std::string, std::vector<std::wstring>> symbols = {
        {"TO-220", {L"A", L"A1", L"A2", L"b", L"c", L"D", L"D1", L"D2", L"E", L"E1", L"e", L"L"}},
        {"TO-247", {L"A", L"A1", L"A2", L"b", L"c", L"D", L"D1", L"D2", L"E", L"E1", L"e", L"L"}},
        {"TO-263",
         {L"A", L"b", L"c", L"c2", L"D", L"D1", L"E", L"E1", L"e", L"H", L"L", L"L1", L"Q"}},
        {"TO-252",
         {L"A", L"b", L"b3", L"c", L"c2", L"D", L"D1", L"E", L"E1", L"e", L"H", L"L", L"L3", L"Q"}},
        {"SOT-89", {L"A", L"b", L"b1", L"c", L"D", L"E", L"e", L"H", L"L"}},
        {"SOT-223", {L"A", L"b", L"b2", L"c", L"D", L"E", L"E1", L"e", L"L", L"L1", L"L2", L"Q"}}};
    std::set<std::wstring> keys(symbols.at(type).begin(), symbols.at(type).end());
    if (type == "TO-263" || type == "TO-252") keys.insert(K(267, 274));
    keys.insert(T(268));
    keys.insert(T(203));
    for (auto i : {179u, 180u, 181u, 190u}) keys.insert(K(205, i));
    keys.insert(K(207, 192));
    keys.insert(K(207, 181));
    for (std::uint32_t m : {279u, 182u, 280u}) {
        for (auto part : {199u, 273u, 270u, 205u, 207u}) keys.insert(K(m, part));
        if (type == "SOT-223") keys.insert(K(m, 206));
    }
    if (type == "SOT-223") {
        keys.insert(K(206, 179));
        keys.insert(K(206, 180));
    }
    return keys;
}

std::set<std::wstring> ExpectedQFPKeys() {
    std::set<std::wstring> keys;
    const std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs = {
        {199, 179}, {199, 180}, {199, 181}, {199, 187}, {200, 183}, {200, 197}, {200, 181},
        {200, 184}, {200, 185}, {202, 186}, {202, 188}, {202, 189}, {203, 193}, {204, 196},
        {204, 183}, {205, 179}, {205, 180}, {205, 181}, {205, 190}, {206, 179}, {206, 180},
        {206, 191}, {206, 192}, {206, 181}, {208, 194}, {208, 195}};
    for (const auto& p : pairs) keys.insert(K(p.first, p.second));
    for (std::uint32_t m : {279u, 182u, 280u}) {
        for (auto part : {199u, 200u, 205u, 207u, 208u}) keys.insert(K(m, part));
    }
    return keys;
}

TEST_F(PropertyModelTest, TenTypesGiveTheirGroupsAndKeysInBothLanguages) {
    for (auto language : {resources::kLanguageEnglish, resources::kLanguageJapanese}) {
        resources::SetThreadLanguage(language);
        for (bool fcbga : {false, true}) {
            pkg::bga::BGADetailedModel package(fcbga);
            const PropertyModel model = BuildBGAPropertyTree(package);
            EXPECT_EQ(Keys(model.index), ExpectedBGAKeys(fcbga));
            EXPECT_EQ(Groups(model),
                      fcbga ? Texts({199, 205, 261, 222, 231, 238, 279, 182, 280})
                            : Texts({199, 205, 207, 222, 231, 208, 238, 279, 182, 280}));
            // Board: Size, (Land size, Wiring area), layer count, three layer sub-groups.
            const auto& board = model.model->root->rows[3][0];
            EXPECT_EQ(board->rows.size(), fcbga ? 5u : 7u);
            EXPECT_EQ(board->rows[fcbga ? 1 : 3][0]->options,
                      (std::vector<std::wstring>{L"2", L"4", L"6", L"8"}));
            EXPECT_EQ(board->rows.back()[0]->rows[1][0]->text, L"2" + T(229));
        }
        for (const auto& device : PowerDevices()) {
            const PropertyModel model = BuildPowerDevicePropertyTree(*device);
            const std::string type = device->TypeName();
            EXPECT_EQ(Keys(model.index), ExpectedPDKeys(type)) << type;
            EXPECT_EQ(Groups(model), type == "SOT-223"
                                         ? Texts({267, 266, 206, 205, 207, 279, 182, 280})
                                         : Texts({267, 266, 205, 207, 279, 182, 280}));
        }
        for (bool sop : {false, true}) {
            pkg::qfp::QFPDetailedModel package(sop);
            const PropertyModel model = BuildQFPPropertyTree(package);
            EXPECT_EQ(Keys(model.index), ExpectedQFPKeys());
            EXPECT_EQ(Groups(model),
                      Texts({199, 200, 202, 203, 204, 205, 206, 208, 279, 182, 280}));
            const auto& leadCounts = model.model->root->rows[1][0]->rows.back()[0];
            EXPECT_EQ(leadCounts->text, T(201));
            ASSERT_EQ(leadCounts->rows.size(), sop ? 1u : 2u);
            EXPECT_EQ(leadCounts->rows[0][0]->text, T(184));
        }
    }
    // Spot checks of the literal English keys.
    resources::SetThreadLanguage(resources::kLanguageEnglish);
    pkg::bga::BGADetailedModel pbga(false);
    const PropertyModel model = BuildBGAPropertyTree(pbga);
    for (const wchar_t* key : {L"MoldX (mm)", L"Land sizeY (mm)", L"Thickness (Board)6",
                               L"Density (kg/m3)Wire", L"BoardNumber of wiring layers"}) {
        EXPECT_EQ(model.index.count(key), 1u);
    }
}

// ---- unedited round trips ----

TEST_F(PropertyModelTest, UneditedCycleWritesTheSameFile) {
    for (bool fcbga : {false, true}) {
        auto package = std::make_shared<pkg::bga::BGADetailedModel>(fcbga);
        const std::string before = Written(*package);
        CycleBGA(package);
        EXPECT_EQ(Written(*package), before) << package->TypeName();
    }
    for (bool sop : {false, true}) {
        auto package = std::make_shared<pkg::qfp::QFPDetailedModel>(sop);
        package->die_pad.thickness = 0.333;  // not the lead thickness: no item carries it
        const std::string before = Written(*package);
        CycleQFP(package);
        EXPECT_EQ(Written(*package), before) << package->TypeName();
        EXPECT_EQ(package->die_pad.thickness, 0.333);
    }
    for (const auto& device : PowerDevices()) {
        const std::string before = Written(*device);
        CyclePD(device);
        EXPECT_EQ(Written(*device), before) << device->TypeName();
    }
}

TEST_F(PropertyModelTest, OddStoredValuesAreShownAndKeptThroughACycle) {
    // A wiring-layer count outside the options, read from a file.
    auto source = std::make_shared<pkg::bga::BGADetailedModel>(false);
    source->board.number_of_layer = 3;
    auto bga = std::make_shared<pkg::bga::BGADetailedModel>(false);
    std::istringstream bgaFile(Written(*source));
    ASSERT_TRUE(bga->ReadPartFile(bgaFile));
    const std::string bgaBefore = Written(*bga);
    EXPECT_EQ(BuildBGAPropertyTree(*bga).index.at(K(222, 228))->value, Variant::FromBstr(L"3"));
    CycleBGA(bga);
    EXPECT_EQ(Written(*bga), bgaBefore);

    // A lead type past the variation list shows as its number and applies unchanged.
    auto to263Source = std::make_shared<pkg::pdevice::TO263DetailedModel>();
    to263Source->composition.lead_type = 7;
    auto to263 = std::make_shared<pkg::pdevice::TO263DetailedModel>();
    std::istringstream to263File(Written(*to263Source));
    ASSERT_TRUE(to263->ReadPartFile(to263File));
    const std::string to263Before = Written(*to263);
    EXPECT_EQ(BuildPowerDevicePropertyTree(*to263).index.at(K(267, 274))->value,
              Variant::FromBstr(L"7"));
    CyclePD(to263);
    EXPECT_EQ(to263->composition.lead_type, 7);
    EXPECT_EQ(Written(*to263), to263Before);

    // An SOP's hidden y count of 0 is carried through.
    auto sop = std::make_shared<pkg::qfp::QFPDetailedModel>(true);
    sop->lead.number_of_ymin_ymax_lead = 0;
    const std::string sopBefore = Written(*sop);
    CycleQFP(sop);
    EXPECT_EQ(sop->lead.number_of_ymin_ymax_lead, 0);
    EXPECT_EQ(Written(*sop), sopBefore);
}

TEST_F(PropertyModelTest, PushLeavesValuesTheTypeDoesNotShow) {
    auto pbga = std::make_shared<pkg::bga::BGADetailedModel>(false);
    pbga->bump.number = 123;
    pbga->bump.ufil_density = 4.5;
    pbga->board.thick_of_boardlayer[7] = 0.77;
    CycleBGA(pbga);
    EXPECT_EQ(pbga->bump.number, 123);
    EXPECT_EQ(pbga->bump.ufil_density, 4.5);
    EXPECT_EQ(pbga->board.thick_of_boardlayer[7], 0.77);

    auto fcbga = std::make_shared<pkg::bga::BGADetailedModel>(true);
    fcbga->wire.diameter = 0.9;
    fcbga->board.land_size.x = 2.5;
    fcbga->composition.wire = true;
    CycleBGA(fcbga);
    EXPECT_EQ(fcbga->wire.diameter, 0.9);
    EXPECT_EQ(fcbga->board.land_size.x, 2.5);
    EXPECT_TRUE(fcbga->composition.wire);

    auto to220 = std::make_shared<pkg::pdevice::TO220DetailedModel>();
    to220->composition.lead_type = 2;
    to220->outer_shape_param.Q = 3.25;  // not a TO-220 symbol
    to220->inner_shape_param.diepad_x = 1.5;
    to220->property.diepad_density = 99.0;
    CyclePD(to220);
    EXPECT_EQ(to220->composition.lead_type, 2);
    EXPECT_EQ(to220->outer_shape_param.Q, 3.25);
    EXPECT_EQ(to220->inner_shape_param.diepad_x, 1.5);
    EXPECT_EQ(to220->property.diepad_density, 99.0);

    // An empty package pointer is no error.
    PushBGAParameters(BGAParameters{}, nullptr);
    PushQFPParameters(QFPParameters{}, nullptr);
    PushPowerDeviceParameters(PowerDeviceParameters{}, nullptr);
}

// ---- edits ----

TEST_F(PropertyModelTest, EditsApplyAsChosen) {
    auto to263 = std::make_shared<pkg::pdevice::TO263DetailedModel>();
    to263->composition.lead_type = 2;
    PropertyModel model = BuildPowerDevicePropertyTree(*to263);
    EXPECT_EQ(model.index.at(K(267, 274))->value, Variant::FromBstr(L"BA"));
    SetItem(model, K(267, 274), Variant::FromBstr(L"CC"));
    EXPECT_EQ(ApplyPowerDeviceProperties(model.index, "TO-263").composition.lead_type, 3);

    auto to252 = std::make_shared<pkg::pdevice::TO252DetailedModel>();
    model = BuildPowerDevicePropertyTree(*to252);
    EXPECT_EQ(model.index.at(K(267, 274))->options, (std::vector<std::wstring>{L"AA", L"AD"}));
    SetItem(model, K(267, 274), Variant::FromBstr(L"AD"));
    PushPowerDeviceParameters(ApplyPowerDeviceProperties(model.index, "TO-252"), to252);
    EXPECT_EQ(to252->composition.lead_type, 1);

    auto pbga = std::make_shared<pkg::bga::BGADetailedModel>(false);
    pbga->board.number_of_layer = 2;
    model = BuildBGAPropertyTree(*pbga);
    SetItem(model, K(222, 228), Variant::FromBstr(L"4"));
    for (int i = 0; i < 8; ++i)
        SetItem(model, T(227) + std::to_wstring(i), Variant::FromR8(0.01 * (i + 1)));
    SetItem(model, K(238, 323), Variant::FromBstr(T(326)));
    SetItem(model, K(222, 179), Variant::FromR8(10.0));
    SetItem(model, K(257, 179), Variant::FromR8(2.0));
    SetItem(model, K(205, 179), Variant::FromR8(6.0));
    const BGAParameters record = ApplyBGAProperties(model.index, "pbga");
    EXPECT_EQ(record.board.number_of_layer, 4);
    EXPECT_EQ(record.solder_ball.layout, 2);
    EXPECT_EQ(record.wire.length.x, 0.0);
    EXPECT_EQ(record.wire.length.y, 0.5 * (21.0 - 8.0 - 5.0));
    PushBGAParameters(record, pbga);
    for (int i = 0; i < 8; ++i)
        EXPECT_DOUBLE_EQ(pbga->board.thick_of_wiringlayer[i], 0.01 * (i + 1));
    EXPECT_EQ(pbga->board.number_of_layer, 4);

    // A stored ball layout outside the three shows "Full matrix" and applies as 0.
    pbga->solder_ball.layout = 5;
    model = BuildBGAPropertyTree(*pbga);
    EXPECT_EQ(model.index.at(K(238, 323))->value, Variant::FromBstr(T(324)));
    EXPECT_EQ(ApplyBGAProperties(model.index, "pbga").solder_ball.layout, 0);
}

// ---- validation ----

TEST_F(PropertyModelTest, BGAValidationStopsAtTheFirstFailure) {
    BGAParameters p;
    p.type_name = "pbga";
    p.mold = pkg::Mold{{1, 1}, 1, 1, 0, 0};
    p.chip = pkg::Chip{{1, 1}, 1, 0, 0, 0, 0};
    p.composition.wire = true;
    p.wire.diameter = 1;
    p.wire.thermal_conductivity = 1;
    p.wire.length = pkg::XY{0.0, 1.0};
    EXPECT_FALSE(ValidateBGAParameters(p));
    EXPECT_EQ(Only(), T(327));

    messages.clear();
    p.wire.length = pkg::XY{1.0, 1.0};
    EXPECT_FALSE(ValidateBGAParameters(p));  // wire counts of 0
    EXPECT_EQ(Only(), Positive(248));

    messages.clear();
    p.composition.wire = false;  // no wire checks at all
    p.wire.length = pkg::XY{-1.0, 0.0};
    p.composition.bonded_part = true;
    EXPECT_FALSE(ValidateBGAParameters(p));
    EXPECT_EQ(Only(), Positive(160));  // conductivity before thickness

    messages.clear();
    p.type_name = "fcbga";  // die bonding is not checked for a flip chip, its chip is
    EXPECT_FALSE(ValidateBGAParameters(p));
    EXPECT_EQ(Only(), Positive(152));
    messages.clear();
    p.mold.size.y = 0;
    EXPECT_FALSE(ValidateBGAParameters(p));
    EXPECT_EQ(Only(), Positive(136));
}

TEST_F(PropertyModelTest, QFPValidationOrderAndTypeRule) {
    auto package = std::make_shared<pkg::qfp::QFPDetailedModel>(false);
    std::string type = "qfp";
    PropertyModel model = BuildQFPPropertyTree(*package);
    // A heating rate of 0 is a part at rest; a density of 0 is no material.
    SetItem(model, K(205, 190), Variant::FromR8(0.0));
    EXPECT_TRUE(ValidateQFPParameters(ApplyQFPProperties(model.index), type));
    SetItem(model, K(279, 208), Variant::FromR8(0.0));
    EXPECT_FALSE(ValidateQFPParameters(ApplyQFPProperties(model.index), type));
    EXPECT_EQ(Only(), L"Specify Density of wire greater than 0.");
    messages.clear();
    SetItem(model, K(279, 208), Variant::FromR8(19300.0));

    QFPParameters p = ApplyQFPProperties(model.index);
    p.lead.thickness = 0;
    p.lead.thermal_conductivity = 0;
    EXPECT_FALSE(ValidateQFPParameters(p, type));
    EXPECT_EQ(Only(), Positive(142));

    messages.clear();
    p = ApplyQFPProperties(model.index);
    p.lead.number_of_ymin_ymax_lead = 0;
    EXPECT_FALSE(ValidateQFPParameters(p, type));
    EXPECT_EQ(Only(), L"Specify The number of Ymin/Ymax leads greater than 0.");
    messages.clear();
    type = "sop";
    EXPECT_TRUE(ValidateQFPParameters(p, type));

    p.composition.suspension = true;
    p.suspension_lead.width = 0;
    EXPECT_FALSE(ValidateQFPParameters(p, type));
    EXPECT_EQ(Only(), Positive(165));
    messages.clear();
    p.composition.suspension = false;
    EXPECT_TRUE(ValidateQFPParameters(p, type));
}

TEST_F(PropertyModelTest, PowerDeviceValidation) {
    auto sot223 = std::make_shared<pkg::pdevice::SOT223DetailedModel>();
    std::string type = "SOT-223";
    PropertyModel model = BuildPowerDevicePropertyTree(*sot223);
    SetItem(model, K(205, 190), Variant::FromR8(0.0));
    EXPECT_TRUE(
        ValidatePowerDeviceParameters(ApplyPowerDeviceProperties(model.index, type),
                                      model.index, type));
    SetItem(model, K(280, 206), Variant::FromR8(-1.0));
    EXPECT_FALSE(
        ValidatePowerDeviceParameters(ApplyPowerDeviceProperties(model.index, type),
                                      model.index, type));
    EXPECT_EQ(Only(), L"Specify Specific heat of die pad greater than 0.");
    messages.clear();
    SetItem(model, K(280, 206), Variant::FromR8(386.0));
    SetItem(model, K(206, 179), Variant::FromR8(0.0));
    EXPECT_FALSE(
        ValidatePowerDeviceParameters(ApplyPowerDeviceProperties(model.index, type),
                                      model.index, type));
    EXPECT_EQ(Only(), Positive(154));

    messages.clear();
    auto to220 = std::make_shared<pkg::pdevice::TO220DetailedModel>();
    to220->outer_shape_param.Q = -1.0;  // not shown: never checked
    type = "TO-220";
    model = BuildPowerDevicePropertyTree(*to220);
    SetItem(model, K(207, 192), MakeBoolVariant(false));
    SetItem(model, K(207, 181), Variant::FromR8(0.0));
    EXPECT_FALSE(
        ValidatePowerDeviceParameters(ApplyPowerDeviceProperties(model.index, type),
                                      model.index, type));
    EXPECT_EQ(Only(), Positive(159));

    messages.clear();
    SetItem(model, L"E1", Variant::FromR8(0.0));
    EXPECT_FALSE(
        ValidatePowerDeviceParameters(ApplyPowerDeviceProperties(model.index, type),
                                      model.index, type));
    EXPECT_EQ(Only(), L"Specify E1 greater than 0.");
}

}  // namespace
}  // namespace parts_ui
