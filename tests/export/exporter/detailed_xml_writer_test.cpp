#include "export/exporter/detailed_xml_writer.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "export/exporter/cab_exporter.h"
#include "platform/temp_files.h"

namespace {

using boost::property_tree::wptree;
using pkg::exporter::DetailedXmlWriter;
namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A small model exercising every kind of node the writer handles: isotropic and
// orthotropic materials, the heated chip beside a numbered chip part, a prism whose
// corners carry stray z values, nested groups, balls on and above the mounting plane and
// a non-ASCII group name.
pkg::Group SmallModel() {
    pkg::Group root(L"part_ß");
    auto chip = pkg::MakeGroup(L"chip_group");
    chip->AddCuboid("chip", "chip", pkg::Cuboid{-2.5, -2.5, 1.04, 5, 5, 0.3});
    chip->AddCuboid("chip(1)", "chip", pkg::Cuboid{0, 0, 1.34, 1, 1, 1.0 / 3});
    pkg::Prism p;
    const double xy[4][2] = {{2.5, 2.5}, {6.5, 6.5}, {6.5, -6.5}, {2.5, -2.5}};
    for (int c = 0; c < 4; ++c) p.corner[c] = pkg::Point3{xy[c][0], xy[c][1], 99.0};
    p.base_z = 1.315;
    p.thickness = 0.025;
    chip->AddPrism("wire_left_right(0)", "wire(left_right)", p);
    auto inner = pkg::MakeGroup(L"inner");
    inner->AddCuboid("solder_ball(1)", "solder_ball", pkg::Cuboid{1, 0, 0.0, 0.44, 0.44, 0.5});
    chip->AddChild(inner);
    auto balls = pkg::MakeGroup(L"solder_ball");
    balls->AddCuboid("solder_ball(0)", "solder_ball", pkg::Cuboid{0, 0, 0.0, 0.44, 0.44, 0.5});
    balls->AddCuboid("solder_ball(2)", "solder_ball", pkg::Cuboid{2, 0, 0.1, 0.44, 0.44, 0.5});
    balls->AddCuboid("solder(3)", "solder_ball", pkg::Cuboid{3, 0, 0.0, 0.44, 0.44, 0.5});
    root.AddChild(chip);
    root.AddChild(balls);
    return root;
}

std::vector<pkg::Property> SmallMaterials() {
    return {pkg::IsotropicProperty("air", 0.0256, 1.206, 1007),
            pkg::AnisotropicProperty("wire(left_right)", 4.955555555555555, 0.8, 4.955555555555555,
                                     2092.3611111111113, 975.6037172253568)};
}

TEST(DetailedXmlWriter, GoldenPBGADocument) {
    const fs::path dir = platform::MakeUniqueDirectory(platform::TempDirectory(), "xmltest_");
    ASSERT_FALSE(dir.empty());
    const fs::path xml = dir / "model.xml";
    ASSERT_TRUE(pkg::exporter::WriteModelXml(L"PBGA", SmallModel(), SmallMaterials(), L"out_μ",
                                             2.5, xml.wstring()));
    const std::string written = ReadFile(xml);
    fs::remove_all(dir);
    EXPECT_EQ(written, ReadFile(fs::path(ZENTRIK_TEST_DATA) / "exporter/detailed_pbga.xml"));
}

std::vector<std::wstring> FaceSetNames(const wptree& root) {
    std::vector<std::wstring> names;
    for (const auto& child : root.get_child(L"library")) {
        if (child.first == L"faceset") names.push_back(child.second.get<std::wstring>(L"name"));
    }
    return names;
}

TEST(DetailedXmlWriter, FaceSetsFollowThePackageType) {
    pkg::Group root(L"m");
    auto leads = pkg::MakeGroup(L"outer_lead_group");
    leads->AddCuboid("outer_lead(0)", "lead", pkg::Cuboid{0, 0, 0.0, 1, 1, 1});
    leads->AddCuboid("outer_lead(1)", "lead", pkg::Cuboid{0, 0, 0.2, 1, 1, 1});
    pkg::Prism bent;
    leads->AddPrism("outer_lead(2)", "lead", bent);
    leads->AddCuboid("outer_lea", "lead", pkg::Cuboid{});
    root.AddChild(leads);

    DetailedXmlWriter w;
    w.model_name = L"m";
    pkg::exporter::WriteDetailedModelXml(w, L"QFP", root, {});
    EXPECT_EQ(FaceSetNames(w.root), (std::vector<std::wstring>{L"m_T", L"m_B", L"m_L"}));
    std::vector<std::wstring> faces;
    for (const auto& f : w.root.get_child(L"library")) {
        if (f.first != L"faceset") continue;
        for (const auto& face : f.second) {
            if (face.first == L"face") faces.push_back(face.second.data());
        }
    }
    EXPECT_EQ(faces, (std::vector<std::wstring>{L"mold, 6, side2", L"mold, 5, side2",
                                                L"outer_lead(0), 5, side2",
                                                L"outer_lead(2), 5, side2"}));

    // Leads all above the plane: the lead face set stands, with no face.
    leads->cuboids[0].box.z = 0.5;
    leads->prisms[0].prism.base_z = 0.5;
    pkg::exporter::WriteDetailedModelXml(w, L"SOP", root, {});
    const wptree& library = w.root.get_child(L"library");
    int lead_faces = -1;
    for (const auto& f : library) {
        if (f.first == L"faceset" && f.second.get<std::wstring>(L"name") == L"m_L") {
            lead_faces = static_cast<int>(f.second.count(L"face"));
        }
    }
    EXPECT_EQ(lead_faces, 0);

    // The type is matched exactly; power devices have no face sets.
    for (const wchar_t* type : {L"qfp", L"TO-220", L"pbga"}) {
        pkg::exporter::WriteDetailedModelXml(w, type, root, {});
        EXPECT_TRUE(FaceSetNames(w.root).empty()) << std::wstring(type).size();
        EXPECT_EQ(w.root.size(), 1u);
    }
}

TEST(DetailedXmlWriter, FormatPointIsPrintfG) {
    EXPECT_EQ(pkg::exporter::FormatPoint(-9.5, 1.0 / 3, 1e-7), L"-9.5, 0.333333, 1e-07");
    EXPECT_EQ(pkg::exporter::FormatPoint(1234567, 0, 21), L"1.23457e+06, 0, 21");
}

}  // namespace
