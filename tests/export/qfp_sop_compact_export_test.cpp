// Default QFP and SOP parts through the two-resistor, three-resistor and DELPHI exports
// with the real solver.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "export/compact_export.h"
#include "export/reg_link_manager/registance_link_manager.h"
#include "export/surf_register/create_surface_register.h"
#include "models/qfp/qfp_detailed_model.h"
#include "tests/export/compact_test_util.h"
#include "tests/export/qfp_sop_test_util.h"

namespace {

using compact_test::CompactFolders;
using compact_test::EntryCount;
using pkg::qfp::QFPDetailedModel;
using qfp_sop_test::ExtractOnly;
using qfp_sop_test::PrintGrid;
namespace fs = std::filesystem;

using QfpSopCompactExport = CompactFolders;

// The two- and three-resistor cabinets of one default part: finite positive values.
void ExpectResistorCabinets(bool sop, const fs::path& out, const fs::path& tmp,
                            const fs::path& unpack) {
    const std::wstring type = sop ? L"SOP" : L"QFP";
    const std::string name = sop ? "sop" : "qfp";
    auto model = std::make_shared<QFPDetailedModel>(sop);
    PrintGrid(name.c_str(), *model);

    for (uint32_t kind :
         {pkg::surf_register::kTwoResistorModel, pkg::surf_register::kThreeResistorModel}) {
        const int count = kind == pkg::surf_register::kTwoResistorModel ? 2 : 3;
        pkg::CompactModelRequest request;
        const fs::path cab = out / (name + "_" + std::to_string(count) + "resistance.cab");
        ASSERT_TRUE(pkg::ComputeAndExportCompactModel(request, type, kind, model, cab.wstring()));
        std::printf("%s %d resistors:", name.c_str(), count);
        for (int i = 0; i < count; ++i) {
            std::printf(" %g", request.values[i]);
            EXPECT_TRUE(std::isfinite(request.values[i]) && request.values[i] > 0.0) << i;
        }
        std::printf("\n");
        const std::string xml = ExtractOnly(cab, unpack / std::to_string(count));
        EXPECT_NE(
            xml.find(count == 2 ? "<component type=\"two\">" : "<component type=\"" + name + "\">"),
            std::string::npos);
    }
    EXPECT_EQ(EntryCount(out), 2u);
    EXPECT_EQ(EntryCount(tmp), 0u);
}

// The DELPHI cabinet of one default part holds every link the solver gave a value.
void ExpectDelphiCabinet(bool sop, const fs::path& out, const fs::path& tmp,
                         const fs::path& unpack) {
    const std::wstring type = sop ? L"SOP" : L"QFP";
    const std::string name = sop ? "sop" : "qfp";
    auto model = std::make_shared<QFPDetailedModel>(sop);
    PrintGrid(name.c_str(), *model);

    pkg::CompactModelRequest request;
    const fs::path cab = out / (name + "_DELPHI.cab");
    ASSERT_TRUE(pkg::ComputeAndExportCompactModel(request, type, pkg::surf_register::kDelphiModel,
                                                  model, cab.wstring()));
    auto links =
        pkg::reg_link_manager::CreateRegistanceLinkManager(sop ? "SOP" : "QFP", model.get());
    ASSERT_TRUE(links);
    EXPECT_EQ(links->count, sop ? 28 : 21);
    const std::string xml = ExtractOnly(cab, unpack / "delphi");
    EXPECT_NE(xml.find("<component type=\"" + name + "_delphi\">"), std::string::npos);
    int present = 0;
    for (int l = 0; l < links->count; ++l) {
        const double v = request.values[l];
        EXPECT_TRUE(std::isfinite(v) && v >= 0.0) << l << ": " << v;
        if (v == 0.0) continue;
        ++present;
        const std::string a(links->nodes[2 * l].begin(), links->nodes[2 * l].end());
        const std::string b(links->nodes[2 * l + 1].begin(), links->nodes[2 * l + 1].end());
        // The QFP's side node is written as "S1".
        auto shown = [&](const std::string& n) { return (!sop && n == "S") ? "S1" : n; };
        EXPECT_NE(xml.find("<link node1=\"" + shown(a) + "\" node2=\"" + shown(b) + "\">"),
                  std::string::npos)
            << a << "-" << b;
    }
    std::printf("%s DELPHI: %d of %d links present\n", name.c_str(), present, links->count);
    EXPECT_GT(present, 0);
    EXPECT_EQ(EntryCount(out), 1u);
    EXPECT_EQ(EntryCount(tmp), 0u);
}

TEST_F(QfpSopCompactExport, DefaultQfpResistorCabinets) {
    ExpectResistorCabinets(false, out_, tmp_, root_ / "x");
}

TEST_F(QfpSopCompactExport, DefaultQfpDelphiCabinet) {
    ExpectDelphiCabinet(false, out_, tmp_, root_ / "x");
}

TEST_F(QfpSopCompactExport, DefaultSopResistorCabinets) {
    ExpectResistorCabinets(true, out_, tmp_, root_ / "x");
}

TEST_F(QfpSopCompactExport, DefaultSopDelphiCabinet) {
    ExpectDelphiCabinet(true, out_, tmp_, root_ / "x");
}

}  // namespace
