#include "models/package_types.h"

#include <string>

#include <gtest/gtest.h>

#include "models/bga/bga.h"
#include "models/pdevice/power_device.h"
#include "models/qfp/qfp.h"

namespace {

using pkg::PackageFamily;

PackageFamily FamilyOfObject(const pkg::SemiconductorPackage& package) {
    if (dynamic_cast<const pkg::bga::BGA*>(&package)) return PackageFamily::kBGA;
    if (dynamic_cast<const pkg::pdevice::PowerDevice*>(&package)) {
        return PackageFamily::kPowerDevice;
    }
    EXPECT_NE(dynamic_cast<const pkg::qfp::QFP*>(&package), nullptr);
    return PackageFamily::kQFP;
}

TEST(PackageTypes, EachRowAgreesWithItsSampleAndIsFoundByEachName) {
    for (const pkg::PackageType& type : pkg::kPackageTypes) {
        SCOPED_TRACE(type.folder);
        const auto sample = type.make_sample();
        ASSERT_TRUE(sample);
        EXPECT_STREQ(sample->TypeName(), type.type_name);
        EXPECT_EQ(FamilyOfObject(*sample), type.family);
        const std::string folder = type.folder;
        EXPECT_EQ(std::wstring(type.wide_folder), std::wstring(folder.begin(), folder.end()));
        EXPECT_EQ(pkg::FindPackageType(folder), &type);
        EXPECT_EQ(pkg::FindPackageType(std::wstring(type.wide_folder)), &type);
        EXPECT_EQ(pkg::FindPackageTypeByTypeName(type.type_name), &type);
        EXPECT_TRUE(pkg::IsPackageFamily(folder, type.family));
        EXPECT_TRUE(type.Exports(pkg::kExportsDetail));
        // Only a ball grid array lacks the three-resistor network; a power device has
        // nothing but its detailed model.
        const bool power = type.family == PackageFamily::kPowerDevice;
        EXPECT_EQ(type.Exports(pkg::kExportsSimple), !power);
        EXPECT_EQ(type.Exports(pkg::kExportsTwoResistor), !power);
        EXPECT_EQ(type.Exports(pkg::kExportsDelphi), !power);
        EXPECT_EQ(type.Exports(pkg::kExportsThreeResistor), type.family == PackageFamily::kQFP);
    }
}

TEST(PackageTypes, NamesMatchOnlyExactly) {
    for (const char* name : {"", "pbga", "Pbga", "PBGA ", "bga", "TO220", "sot-89"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(pkg::FindPackageType(std::string(name)), nullptr);
        EXPECT_FALSE(pkg::IsPackageFamily(std::string(name), PackageFamily::kBGA));
        EXPECT_FALSE(pkg::IsPackageFamily(std::string(name), PackageFamily::kPowerDevice));
    }
    EXPECT_EQ(pkg::FindPackageType(std::wstring(L"qfp")), nullptr);
    EXPECT_EQ(pkg::FindPackageTypeByTypeName("QFP"), nullptr);
    EXPECT_EQ(pkg::FindPackageTypeByTypeName("bga"), nullptr);
}

}  // namespace
