#include "export/compact_export.h"

#include <cmath>

#include <gtest/gtest.h>

#include "export/reg_link_manager/registance_link_manager.h"
#include "export/surf_register/create_surface_register.h"
#include "models/bga/bga_detailed_model.h"
#include "models/qfp/qfp_detailed_model.h"
#include "tests/export/compact_test_util.h"

namespace {

using compact_test::CompactFolders;
using compact_test::EntryCount;
using compact_test::ExtractOnly;
namespace fs = std::filesystem;

using CompactExport = CompactFolders;

TEST_F(CompactExport, EntryTakesTheStemBeforeTheLastDotAndNothingIsLeft) {
    pkg::qfp::QFPDetailedModel qfp(false);
    qfp.Build();
    double values[64] = {12.5, 30.0, 4.0};
    const fs::path base = out_ / "a.b";
    ASSERT_TRUE(pkg::ExportModelFiles(L"QFP", pkg::surf_register::kThreeResistorModel, qfp, values,
                                      L"a.b", base.wstring()));
    std::string entry;
    const std::string xml = ExtractOnly(out_ / "a.b.cab", root_ / "x", entry);
    EXPECT_EQ(entry, "a.xml");
    EXPECT_NE(xml.find("<name>a.b</name>"), std::string::npos);
    EXPECT_NE(xml.find("<component type=\"qfp\">"), std::string::npos);
    EXPECT_EQ(EntryCount(tmp_), 0u);
    EXPECT_EQ(EntryCount(out_), 1u);
}

TEST_F(CompactExport, NoWriterNoTableOrWrongClassPacksNothing) {
    pkg::bga::BGADetailedModel bga(false);
    pkg::qfp::QFPDetailedModel qfp(false);
    double values[64] = {1, 2, 3};
    const std::wstring base = (out_ / "m").wstring();
    EXPECT_FALSE(pkg::ExportModelFiles(L"PBGA", pkg::surf_register::kThreeResistorModel, bga,
                                       values, L"m", base));
    EXPECT_FALSE(pkg::ExportModelFiles(L"PBGA", 5, bga, values, L"m", base));
    EXPECT_FALSE(pkg::ExportModelFiles(L"PBGA", pkg::surf_register::kTwoResistorModel, qfp,
                                       values, L"m", base));
    EXPECT_FALSE(pkg::ExportModelFiles(L"QFP", pkg::surf_register::kTwoResistorModel, bga,
                                       values, L"m", base));
    bga.solder_ball.layout = 3;
    EXPECT_FALSE(pkg::ExportModelFiles(L"PBGA", pkg::surf_register::kDelphiModel, bga, values,
                                       L"m", base));
    // A cabinet that cannot be written leaves no staged file behind.
    EXPECT_FALSE(pkg::ExportModelFiles(L"QFP", pkg::surf_register::kTwoResistorModel, qfp, values,
                                       L"m", (out_ / "missing" / "m").wstring()));
    EXPECT_EQ(EntryCount(out_), 0u);
    EXPECT_EQ(EntryCount(tmp_), 0u);
}

// The whole road with the real solver on the default PBGA: build with air, grid, register,
// write the input, solve, pack.
TEST_F(CompactExport, DefaultPbgaTwoResistorCabinet) {
    auto model = std::make_shared<pkg::bga::BGADetailedModel>(false);
    pkg::CompactModelRequest request;
    request.list_file_output = true;
    const fs::path cab = out_ / "pbga_2resistance.cab";
    ASSERT_TRUE(pkg::ComputeAndExportCompactModel(request, L"PBGA",
                                                  pkg::surf_register::kTwoResistorModel, model,
                                                  cab.wstring()));
    const double top = request.values[0];
    const double bottom = request.values[1];
    std::printf("default PBGA: Resistance top=%g, bottom=%g\n", top, bottom);
    EXPECT_TRUE(std::isfinite(top) && top > 0.0);
    EXPECT_TRUE(std::isfinite(bottom) && bottom > 0.0);

    std::string entry;
    const std::string xml = ExtractOnly(cab, root_ / "x", entry);
    EXPECT_EQ(entry, "pbga_2resistance.xml");
    EXPECT_NE(xml.find("<component type=\"two\">"), std::string::npos);
    EXPECT_NE(xml.find("<link node1=\"T\" node2=\"J\">"), std::string::npos);
    EXPECT_TRUE(fs::exists(cab.string() + ".l"));
    EXPECT_EQ(EntryCount(out_), 2u);  // the cabinet and its list file
    EXPECT_EQ(EntryCount(tmp_), 0u);
}

// A cabinet and its list file change together. A cabinet that cannot be written (the
// older one is read-only) leaves the older cabinet and list file as they were; a name as
// long as a file name may be still gets its list file beside the cabinet.
TEST_F(CompactExport, TheCabinetAndItsListFileChangeTogether) {
    auto model = std::make_shared<pkg::bga::BGADetailedModel>(false);
    pkg::CompactModelRequest request;
    request.list_file_output = true;
    const fs::path cab = out_ / "pbga.cab";
    const fs::path list = out_ / "pbga.cab.l";
    std::ofstream(cab) << "older cabinet";
    std::ofstream(list) << "older report";
    fs::permissions(cab, fs::perms(0444));
    EXPECT_FALSE(pkg::ComputeAndExportCompactModel(
        request, L"PBGA", pkg::surf_register::kTwoResistorModel, model, cab.wstring()));
    EXPECT_EQ(compact_test::ReadText(cab), "older cabinet");
    EXPECT_EQ(compact_test::ReadText(list), "older report");
    EXPECT_EQ(EntryCount(out_), 2u);
    EXPECT_EQ(EntryCount(tmp_), 0u);

    // 249 letters and ".cab.l": the list file's name is 255 bytes, the most a name holds.
    const fs::path longCab = out_ / (std::string(249, 'c') + ".cab");
    ASSERT_TRUE(pkg::ComputeAndExportCompactModel(
        request, L"PBGA", pkg::surf_register::kTwoResistorModel, model, longCab.wstring()));
    const std::string report = compact_test::ReadText(longCab.string() + ".l");
    EXPECT_EQ(report.rfind("=== Resistance Model", 0), 0u);
    EXPECT_NE(report.find("RESISTANCE"), std::string::npos);
    EXPECT_EQ(EntryCount(out_), 4u);
    EXPECT_EQ(EntryCount(tmp_), 0u);
}

}  // namespace

namespace {

// A DELPHI export of a default ball-grid array with the real solver and fit: every link
// of the table that the solver returned a value for is in the cabinet's XML, finite and
// positive.
void ExpectDelphiCabinet(bool fcbga, const fs::path& out, const fs::path& tmp,
                         const fs::path& unpack) {
    auto model = std::make_shared<pkg::bga::BGADetailedModel>(fcbga);
    const std::wstring type = fcbga ? L"FCBGA" : L"PBGA";
    pkg::CompactModelRequest request;
    const fs::path cab = out / (fcbga ? "fcbga_DELPHI.cab" : "pbga_DELPHI.cab");
    ASSERT_TRUE(pkg::ComputeAndExportCompactModel(request, type, pkg::surf_register::kDelphiModel,
                                                  model, cab.wstring()));
    auto links = pkg::reg_link_manager::CreateRegistanceLinkManager(
        fcbga ? "FCBGA" : "PBGA", model.get());
    ASSERT_TRUE(links);

    std::string entry;
    const std::string xml = ExtractOnly(cab, unpack, entry);
    EXPECT_NE(xml.find("<component type=\"bga_delphi\">"), std::string::npos);
    int present = 0;
    for (int l = 0; l < links->count; ++l) {
        const double v = request.values[l];
        EXPECT_TRUE(std::isfinite(v) && v >= 0.0) << l << ": " << v;
        if (v == 0.0) continue;
        ++present;
        const std::string a(links->nodes[2 * l].begin(), links->nodes[2 * l].end());
        const std::string b(links->nodes[2 * l + 1].begin(), links->nodes[2 * l + 1].end());
        EXPECT_NE(xml.find("<link node1=\"" + a + "\" node2=\"" + b + "\">"), std::string::npos)
            << a << "-" << b;
    }
    std::printf("%s DELPHI: %d of %d links present\n", fcbga ? "FCBGA" : "PBGA", present,
                links->count);
    EXPECT_GT(present, 0);
    EXPECT_EQ(EntryCount(tmp), 0u);
}

TEST_F(CompactExport, DefaultPbgaAndFcbgaDelphiCabinets) {
    ExpectDelphiCabinet(false, out_, tmp_, root_ / "x1");
    ExpectDelphiCabinet(true, out_, tmp_, root_ / "x2");
    EXPECT_EQ(EntryCount(out_), 2u);  // no list file without the switch
}

}  // namespace
