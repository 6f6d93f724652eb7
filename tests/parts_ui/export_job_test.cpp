// The export job's row loop over scripted services, and the resistance report text.
#include "parts_ui/export_job.h"

#include <clocale>
#include <locale>
#include <stdexcept>

#include <gtest/gtest.h>
#include <wx/app.h>

#include "parts_ui/output_resistance_dialog.h"
#include "resources/string_table.h"
#include "tests/parts_ui/export_test_util.h"

namespace {

using export_test::Cell;
using export_test::EnglishKinds;
using export_test::MakeExportList;
using export_test::ScriptedServices;

TEST(ExportJob, CabinetPathJoinsByOneSlashOnly) {
    using parts_ui::JoinCabinetPath;
    EXPECT_EQ(JoinCabinetPath(L"/out", L"a"), L"/out/a.cab");
    EXPECT_EQ(JoinCabinetPath(L"/out/", L"a"), L"/out/a.cab");
    EXPECT_EQ(JoinCabinetPath(L"", L"a"), L"a.cab");
    EXPECT_EQ(JoinCabinetPath(L"/out", L"/a"), L"/out/a.cab");
    EXPECT_EQ(JoinCabinetPath(L"C:", L"a"), L"C:/a.cab");
    EXPECT_EQ(JoinCabinetPath(L"/out\\", L"\\a"), L"/out\\/\\a.cab");
    EXPECT_EQ(JoinCabinetPath(L"/out", L"a.cab"), L"/out/a.cab.cab");
}

// Every kind, a failure, an unknown kind and a throwing service, in one run on this
// thread under a locale whose decimal mark is a comma.
TEST(ExportJob, EachRowEndsByItsServiceAndLaterRowsStillRun) {
    const std::vector<export_test::ExportRow> rows = {
        {L"two", L"/p/PBGA/two.qvx", L"Two-resistor model", L"two"},
        {L"three", L"/p/QFP/three.qvx", L"Three-resistor model", L"three"},
        {L"delphi", L"/p/FCBGA/d.qvx", L"DELPHI model", L"d"},
        {L"simple", L"/p/QFP/s.qvx", L"Simple", L"s"},
        {L"refused", L"/p/QFP/r.qvx", L"Detail", L"r"},
        {L"unknown", L"/p/QFP/u.qvx", L"detail", L"u"},
        {L"throws", L"/p/QFP/t.qvx", L"Detail", L"t"},
        {L"last", L"/p/QFP/l.qvx", L"Detail", L"l"},
    };
    auto list = MakeExportList(rows);
    auto progress = parts_ui::MakeProgressModel(*list);
    std::vector<std::wstring> calls;
    auto services = std::make_shared<ScriptedServices>(
        [&](const std::wstring& call, const std::wstring& part, const std::wstring& cabinet,
            pkg::NodePairList& links, double* values) {
            calls.push_back(call + L" " + part + L" " + cabinet);
            EXPECT_TRUE(links.empty());
            if (part == L"/p/QFP/t.qvx") throw std::out_of_range("scripted");
            if (call == L"0") values[0] = 1.5, values[1] = 2;
            if (call == L"1") values[0] = 0.25, values[1] = 3.5e-7, values[2] = 0;
            if (call == L"2") {
                links = {{L"J", L"TI"}, {L"J", L"B"}};
                values[0] = 1234567.0;
            }
            return part != L"/p/QFP/r.qvx";
        });

    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string oldLocale = old ? old : "C";
    const bool comma = std::setlocale(LC_ALL, "de_DE.utf8") != nullptr;
    parts_ui::ExportJob job({list, EnglishKinds(), L"/out"}, progress, services, wxTheApp);
    job();
    std::setlocale(LC_ALL, oldLocale.c_str());
    EXPECT_TRUE(comma) << "the comma locale is missing, so the C-locale check proved little";

    EXPECT_EQ(calls, (std::vector<std::wstring>{
                         L"0 /p/PBGA/two.qvx /out/two.cab", L"1 /p/QFP/three.qvx /out/three.cab",
                         L"2 /p/FCBGA/d.qvx /out/d.cab", L"simple /p/QFP/s.qvx /out/s.cab",
                         L"detail /p/QFP/r.qvx /out/r.cab", L"detail /p/QFP/t.qvx /out/t.cab",
                         L"detail /p/QFP/l.qvx /out/l.cab"}));
    const std::vector<std::wstring> states = {L"Finished", L"Finished", L"Finished", L"Finished",
                                              L"Failed",   L"Failed",   L"Failed",   L"Finished"};
    for (int r = 0; r < 8; ++r) EXPECT_EQ(Cell(*progress, r, 1), states[r]) << "row " << r;
    EXPECT_EQ(Cell(*progress, 0, 2), L"Resistance top=1.5, bottom=2");
    EXPECT_EQ(Cell(*progress, 1, 2), L"Resistance top=0.25, bottom=3.5e-07, lead=0");
    // The link the fit found adiabatic says so; a 0 would read as no resistance at all.
    EXPECT_EQ(Cell(*progress, 2, 2), L"Resistance ,J_TI=1.23457e+06 ,J_B=Adiabatic");
    // A failed row says why; a service that gives no reason, or throws, is unexpected.
    const std::wstring unexpected = L"The export stopped on an unexpected error.";
    const std::vector<std::wstring> messages = {L"", unexpected, L"The modeling type is unknown.",
                                                unexpected, L""};
    for (int r = 3; r < 8; ++r) EXPECT_EQ(Cell(*progress, r, 2), messages[r - 3]) << "row " << r;
}

// The row count is read again before every row; rows the progress model lacks are run
// but not shown.
TEST(ExportJob, RereadsTheRowCountBeforeEveryRow) {
    auto list = MakeExportList({{L"a", L"/p/QFP/a.qvx", L"Detail", L"a"},
                                {L"b", L"/p/QFP/b.qvx", L"Detail", L"b"}});
    auto progress = parts_ui::MakeProgressModel(*list);
    std::vector<std::wstring> parts;
    auto services = std::make_shared<ScriptedServices>(
        [&](const std::wstring&, const std::wstring& part, const std::wstring&,
            pkg::NodePairList&, double*) {
            parts.push_back(part);
            if (parts.size() == 1) {
                list->RemoveRow(1, list->root.get());
                list->AppendRow(std::make_shared<widget::WTreeItem>(L"c"));
                list->AppendRow(std::make_shared<widget::WTreeItem>(L"d"));
            }
            return true;
        });
    parts_ui::ExportJob({list, EnglishKinds(), L"/out"}, progress, services, wxTheApp)();
    EXPECT_EQ(parts, (std::vector<std::wstring>{L"/p/QFP/a.qvx"}))
        << "rows c and d have no kind text and fail without a call";
    EXPECT_EQ(Cell(*progress, 1, 1), L"Failed");
    EXPECT_EQ(progress->root->rows.size(), 2u);
}

// A DELPHI row's message ends with its network's error estimate; over the bound it warns,
// in the worker's language, while the row stays finished.
TEST(ExportJob, ADelphiRowCarriesItsNetworksErrorAndWarnsOverTheBound) {
    auto list = MakeExportList({{L"d", L"/p/PBGA/d.qvx", L"DELPHI model", L"d"},
                                {L"t", L"/p/PBGA/t.qvx", L"Two-resistor model", L"t"}});
    auto services = std::make_shared<ScriptedServices>(
        [](const std::wstring& call, const std::wstring&, const std::wstring&,
           pkg::NodePairList& links, double* values) {
            if (call == L"2") links = {{L"J", L"TI"}, {L"TI", L"S"}};
            values[0] = 8.5;
            values[1] = call == L"2" ? 0.0 : 2.0;
            return true;
        });
    auto run = [&](std::uint32_t language, double worst) {
        services->fit = {worst, 2.25, 46};
        auto progress = parts_ui::MakeProgressModel(*list);
        parts_ui::ExportJob job({list, EnglishKinds(), L"/out"}, progress, services, wxTheApp);
        job.language = language;
        job();
        EXPECT_EQ(Cell(*progress, 1, 2), L"Resistance top=8.5, bottom=2") << "no estimate";
        return std::make_pair(Cell(*progress, 0, 1), Cell(*progress, 0, 2));
    };
    const std::wstring line = L"Resistance ,J_TI=8.5 ,TI_S=";
    EXPECT_EQ(run(resources::kLanguageEnglish, 6.04),
              std::make_pair(std::wstring(L"Finished"),
                             line + L"Adiabatic Junction error on the fitting cases: worst 6.0% "
                                    L"(case 46), rms 2.2%."));
    EXPECT_EQ(run(resources::kLanguageEnglish, 10.06).second,
              line + L"Adiabatic Junction error on the fitting cases: worst 10.1% (case 46), "
                     L"rms 2.2%. Warning: the network misses the junction temperature of "
                     L"fitting case 46 by 10.1%, more than 10%.");
    const auto japanese = run(resources::kLanguageJapanese, 23.4);
    EXPECT_EQ(japanese.first, L"完了");
    EXPECT_EQ(japanese.second,
              line + L"断熱 フィッティング条件でのジャンクション温度の誤差: 最大 23.4% (条件 46)、"
                     L"RMS 2.2%。 警告: この熱抵抗網はフィッティング条件 46 のジャンクション温度"
                     L"から 23.4% ずれており、10% を超えています。");
}

TEST(ResistanceReport, SplitKeepsOnlyNonEmptyPieces) {
    std::vector<std::wstring> pieces = {L"stale"};
    parts_ui::SplitCString(L"  a  b ", L' ', pieces);
    EXPECT_EQ(pieces, (std::vector<std::wstring>{L"a", L"b"}));
    parts_ui::SplitCString(L"Resistance", L' ', pieces);
    EXPECT_TRUE(pieces.empty()) << "a text without a separator gives no pieces";
    parts_ui::SplitCString(L"", L' ', pieces);
    EXPECT_TRUE(pieces.empty());
}

TEST(ResistanceReport, LinesOfTheReport) {
    using parts_ui::FormatResistanceReport;
    const std::wstring titles = L"===Part name===\r\nchip\r\n\r\n===Resistance===\r\n";
    EXPECT_EQ(FormatResistanceReport(L"chip", L"Resistance top=1.5, bottom=2"),
              titles + L"top          :  1.5\r\nbottom       :  2\r\n");
    EXPECT_EQ(FormatResistanceReport(L"chip", L"Resistance top=1.5, bottom=2, lead=0"),
              titles + L"top          :  1.5\r\nbottom       :  2\r\n");
    EXPECT_EQ(FormatResistanceReport(L"chip", L"Resistance"), titles);
    EXPECT_EQ(FormatResistanceReport(L"chip", L"Resistance ,JUNCTION_TOPINNER=3e-05 ,J_B=0"),
              titles + L"JUNCTION_TOPINNER :  3e-05\r\n");
    EXPECT_EQ(FormatResistanceReport(L"chip", L"Resistance ,J_TI=1 ,bare ,J_B=2"),
              titles + L"J_TI         :  1\r\nJ_B          :  2\r\n");

    // A DELPHI row: its adiabatic link left out, its notes below the values as they stand.
    EXPECT_EQ(FormatResistanceReport(L"chip", L"Resistance ,J_TI=8.5 ,TI_S=Adiabatic Junction "
                                              L"error: worst 6.0% (case 46), rms 2.2%."),
              titles + L"J_TI         :  8.5\r\n\r\nJunction error: worst 6.0% (case 46), "
                       L"rms 2.2%.\r\n");

    resources::SetThreadLanguage(resources::kLanguageJapanese);
    const std::wstring japanese = FormatResistanceReport(L"chip", L"Resistance");
    resources::SetThreadLanguage(resources::kLanguageEnglish);
    EXPECT_EQ(japanese, L"===パーツ名===\r\nchip\r\n\r\n===熱抵抗値===\r\n");
}

}  // namespace
