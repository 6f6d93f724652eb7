#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "models/pdevice/power_device.h"
#include "tests/models/part_file_test_util.h"
#include "tests/models/pdevice/pdevice_test_util.h"

namespace {

using pkg::pdevice::TO220DetailedModel;
using testutil::AllDevices;
using testutil::Read;
using testutil::SymbolNames;
using testutil::WithElement;
using testutil::WithoutElement;
using testutil::Write;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(PowerDevicePartFile, EveryDeviceRoundTripsWithItsTableUnchanged) {
    const std::vector<std::vector<std::wstring>> tables = {
        {L"A", L"A1", L"A2", L"b", L"c", L"D", L"D1", L"D2", L"E", L"E1", L"e", L"L"},
        {L"A", L"A1", L"A2", L"b", L"c", L"D", L"D1", L"D2", L"E", L"E1", L"e", L"L"},
        {L"A", L"b", L"c", L"c2", L"D", L"D1", L"E", L"E1", L"e", L"H", L"L", L"L1", L"Q"},
        {L"A", L"b", L"b3", L"c", L"c2", L"D", L"D1", L"E", L"E1", L"e", L"H", L"L", L"L3", L"Q"},
        {L"A", L"b", L"b1", L"c", L"D", L"E", L"e", L"H", L"L"},
        {L"A", L"b", L"b2", L"c", L"D", L"E", L"E1", L"e", L"L", L"L1", L"L2", L"Q"},
    };
    for (size_t i = 0; i < AllDevices().size(); ++i) {
        const auto& device = AllDevices()[i];
        SCOPED_TRACE(device.type);
        const auto original = device.make();
        EXPECT_EQ(original->TypeName(), device.type);
        EXPECT_EQ(SymbolNames(*original), tables[i]);

        // Defaults, then every value made distinct (and the switch flipped).
        const std::string defaults = Write(*original);
        auto back = device.make();
        ASSERT_TRUE(Read(*back, defaults));
        EXPECT_EQ(Write(*back), defaults);

        const std::string perturbed = testutil::PerturbValues(defaults, "version");
        ASSERT_NE(perturbed, defaults);
        ASSERT_TRUE(Read(*back, perturbed));
        EXPECT_EQ(Write(*back), perturbed);
        EXPECT_FALSE(back->composition.bonded_part);
        EXPECT_EQ(SymbolNames(*back), tables[i]);

        // All 24 outline dimensions are written whatever the table lists.
        for (const auto& f : pkg::pdevice::PowerDevice::OuterShapeFields()) {
            EXPECT_NE(defaults.find("    <" + std::string(f.name) + ">"), std::string::npos);
        }
        EXPECT_EQ(pkg::pdevice::PowerDevice::OuterShapeFields().size(), 24u);
    }
}

TEST(PowerDevicePartFile, GoldenTO220File) {
    const std::string golden =
        ReadFile(std::string(ZENTRIK_TEST_DATA) + "/models/pdevice/TO-220.qvx");
    ASSERT_FALSE(golden.empty());
    EXPECT_EQ(Write(TO220DetailedModel()), golden);

    TO220DetailedModel read;
    read.outer_shape_param.A = 9.0;
    read.chip.density = 5.0;
    read.composition.bonded_part = false;
    ASSERT_TRUE(Read(read, golden));
    EXPECT_EQ(Write(read), golden);
    EXPECT_DOUBLE_EQ(read.outer_shape_param.H1, 5.8);
}

TEST(PowerDevicePartFile, RefusedFilesFail) {
    // Another device's file fails before anything is stored.
    const std::string to247 = Write(pkg::pdevice::TO247DetailedModel());
    TO220DetailedModel to220;
    const std::string before = Write(to220);
    EXPECT_FALSE(Read(to220, to247));
    EXPECT_EQ(Write(to220), before);
    EXPECT_FALSE(Read(to220, WithElement(before, "type", "to-220")));

    for (const auto& device : AllDevices()) {
        SCOPED_TRACE(device.type);
        const std::string file = Write(*device.make());
        auto target = device.make();
        EXPECT_FALSE(Read(*target, WithoutElement(file, "outer_shape_param.Q")));
        EXPECT_FALSE(Read(*target, WithoutElement(file, "composition.bonded_part")));
        EXPECT_FALSE(Read(*target, WithElement(file, "composition.bonded_part", "yes")));
        EXPECT_FALSE(Read(*target, WithoutElement(file, "composition.lead_type")));
        EXPECT_FALSE(Read(*target, WithoutElement(file, "chip.rate_of_heating")));
        EXPECT_FALSE(Read(*target, WithoutElement(file, "property.plate_thermal_conductivity")));
        EXPECT_FALSE(Read(*target, WithoutElement(file, "bond")));
        EXPECT_FALSE(Read(*target, WithoutElement(file, "inner_shape_param.diepad_y")));
    }
}

TEST(PowerDevicePartFile, OptionalValuesAndCaseSensitiveSymbols) {
    const std::string file = Write(pkg::pdevice::SOT223DetailedModel());

    // A missing die-pad conductivity keeps the field's value; missing densities and
    // specific heats become 1.0, not the device's defaults; so does an unreadable one.
    pkg::pdevice::SOT223DetailedModel d;
    d.property.diepad_thermal_conductivity = 42.0;
    std::string text = WithoutElement(file, "property.diepad_thermal_conductivity");
    text = WithoutElement(text, "property.diepad_density");
    text = WithoutElement(text, "chip.density");
    text = WithoutElement(text, "bond.specific_heat");
    text = WithElement(text, "property.mold_specific_heat", "n/a");
    ASSERT_TRUE(Read(d, text));
    EXPECT_EQ(d.property.diepad_thermal_conductivity, 42.0);
    EXPECT_EQ(d.property.diepad_density, 1.0);
    EXPECT_EQ(d.chip.density, 1.0);
    EXPECT_EQ(d.bond.specific_heat, 1.0);
    EXPECT_EQ(d.property.mold_specific_heat, 1.0);
    EXPECT_EQ(d.property.diepad_specific_heat, 386.0);

    ASSERT_TRUE(Read(d, WithElement(file, "composition.bonded_part", "0")));
    EXPECT_FALSE(d.composition.bonded_part);

    text =
        WithElement(WithElement(file, "outer_shape_param.e", "1.25"), "outer_shape_param.E", "7.5");
    text = WithElement(WithElement(text, "outer_shape_param.e1", "0.5"), "outer_shape_param.E1",
                       "3.5");
    ASSERT_TRUE(Read(d, text));
    EXPECT_EQ(d.outer_shape_param.e, 1.25);
    EXPECT_EQ(d.outer_shape_param.E, 7.5);
    EXPECT_EQ(d.outer_shape_param.e1, 0.5);
    EXPECT_EQ(d.outer_shape_param.E1, 3.5);
}

TEST(PowerDeviceOutlineTable, RowsReadAndWriteTheirOwnObject) {
    auto original = std::make_unique<TO220DetailedModel>();
    TO220DetailedModel copy = *original;
    for (const auto& row : copy.OutlineSymbols()) {
        if (row.symbol == L"D") copy.Dimension(row) = 99.0;
    }
    EXPECT_EQ(copy.outer_shape_param.D, 99.0);
    EXPECT_DOUBLE_EQ(original->outer_shape_param.D, 14.2);
    original.reset();  // the copy's table must not depend on the original
    const auto& row_d = copy.OutlineSymbols().at(5);
    ASSERT_EQ(row_d.symbol, L"D");
    EXPECT_EQ(copy.Dimension(row_d), 99.0);

    // Kept as the device gives it: only the constructor registers; another call repeats.
    copy.RegisterDimensions();
    EXPECT_EQ(copy.OutlineSymbols().size(), 24u);
}

}  // namespace
