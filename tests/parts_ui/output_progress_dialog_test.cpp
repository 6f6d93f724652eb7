// The progress dialog over real runs from a temporary parts folder and over scripted runs
// held at a row, and the report it opens on a double click.
#include "parts_ui/output_progress_dialog.h"

#include <fstream>
#include <future>
#include <optional>
#include <set>
#include <stdexcept>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/frame.h>
#include <wx/textctrl.h>
#include <wx/thread.h>
#include <wx/uiaction.h>

#include "app/program_settings.h"
#include "export/reg_link_manager/registance_link_manager.h"
#include "models/qfp/qfp.h"
#include "parts_ui/export_job.h"
#include "parts_ui/output_resistance_dialog.h"
#include "resources/string_table.h"
#include "models/bga/bga.h"
#include "tests/export/export_runs_util.h"
#include "tests/parts_ui/log_frame.h"
#include "tests/parts_ui/export_test_util.h"
#include "tests/support/wx_test.h"

namespace {

namespace fs = std::filesystem;
using export_test::Cell;
using export_test::EnglishKinds;
using export_test::ExportRow;
using export_test::MakeExportList;
using export_test::ScriptedServices;
using parts_ui::OutputProgressDialog;

// While it lives, a report dialog that opens is read and closed from its own modal loop.
class ReportCloser : public wxEventFilter {
public:
    explicit ReportCloser(std::optional<wxString>& seen) : seen_(seen) { wxEvtHandler::AddFilter(this); }
    ~ReportCloser() override { wxEvtHandler::RemoveFilter(this); }
    int FilterEvent(wxEvent& event) override {
        auto* report = dynamic_cast<parts_ui::OutputResistanceDialog*>(event.GetEventObject());
        if (event.GetEventType() == wxEVT_INIT_DIALOG && report) {
            report->CallAfter([this, report] {
                seen_ = report->reportBox->GetValue();
                report->EndModal(wxID_OK);
            });
        }
        return Event_Skip;
    }

private:
    std::optional<wxString>& seen_;
};

// A progress dialog over one export job, shown (not modally, so the test keeps control)
// with a slot that counts signals of the progress model fired off the UI thread.
struct ProgressRun {
    ProgressRun(std::vector<ExportRow> rows, std::shared_ptr<parts_ui::ExportServices> services,
        const std::wstring& destination, parts_ui::ExportKindTexts kinds = EnglishKinds()) {
        list = MakeExportList(rows);
        progress = parts_ui::MakeProgressModel(*list);
        const auto offUiThread = [this] {
            if (!wxThread::IsMain()) ++signalsOffUiThread;
        };
        connections.emplace_back(progress->dataChanged.connect([=](widget::WTreeItem*) { offUiThread(); }));
        connections.emplace_back(progress->rowInserted.connect([=](widget::WTreeItem*, int) { offUiThread(); }));
        connections.emplace_back(progress->rowRemoved.connect([=](widget::WTreeItem*, int) { offUiThread(); }));
        frame = zentrik_test::ShowTestFrame();
        dialog = new OutputProgressDialog(frame);
        dialog->listView->SetModel(progress);
        dialog->AddJob(parts_ui::ExportJob({list, kinds, destination}, progress, services, dialog));
    }
    ~ProgressRun() {
        if (dialog->IsRunning()) {
            // Only after a failed check: let the worker end before the dialog goes.
            zentrik_test::WaitUntil([&] { return !dialog->IsRunning(); });
        }
        dialog->Destroy();
        frame->Destroy();
        zentrik_test::DispatchPending();
    }
    bool ShowAndFinish() {
        dialog->Show();
        return zentrik_test::WaitUntil([&] { return dialog->okButton->IsEnabled(); },
                                       std::chrono::minutes(10));
    }
    std::wstring State(int row) const { return Cell(*progress, row, 1); }
    std::wstring Message(int row) const { return Cell(*progress, row, 2); }

    // Double-clicks `row` and returns the text of the report that opened, if any.
    std::optional<wxString> DoubleClick(int row) {
        for (long r = 0; r < dialog->listView->GetItemCount(); ++r) {
            dialog->listView->SetItemState(r, r == row ? wxLIST_STATE_SELECTED : 0,
                                           wxLIST_STATE_SELECTED);
        }
        std::optional<wxString> seen;
        // Runs inside the report's modal loop when one opens, else just after the click.
        wxTheApp->CallAfter([&seen] {
            for (wxWindow* window : wxTopLevelWindows) {
                auto* report = dynamic_cast<parts_ui::OutputResistanceDialog*>(window);
                if (report && report->IsModal()) {
                    seen = report->reportBox->GetValue();
                    report->EndModal(wxID_OK);
                }
            }
        });
        wxListEvent activated(wxEVT_LIST_ITEM_ACTIVATED, dialog->listView->GetId());
        activated.SetEventObject(dialog->listView);
        activated.m_itemIndex = row;
        dialog->listView->GetEventHandler()->ProcessEvent(activated);
        zentrik_test::DispatchPending();
        return seen;
    }
    // A real double click on `row`; returns the text of the report it opened.
    std::optional<wxString> RealDoubleClick(int row) {
        std::optional<wxString> seen;
        ReportCloser closer(seen);
        wxRect rect;
        dialog->listView->GetItemRect(row, rect);
        wxUIActionSimulator simulator;
        simulator.MouseMove(dialog->listView->ClientToScreen(rect.GetPosition() + wxPoint(8, rect.height / 2)));
        simulator.MouseDblClick();
        zentrik_test::WaitUntil([&] { return seen.has_value(); });
        return seen;
    }
    void PressKey(int key) {
        wxKeyEvent press(wxEVT_CHAR_HOOK);
        press.m_keyCode = key;
        press.SetEventObject(dialog);
        dialog->GetEventHandler()->ProcessEvent(press);
        zentrik_test::DispatchPending();
    }

    std::shared_ptr<widget::WTreeItemModel> list;
    std::shared_ptr<widget::WTreeItemModel> progress;
    std::vector<boost::signals2::scoped_connection> connections;
    int signalsOffUiThread = 0;
    wxFrame* frame = nullptr;
    OutputProgressDialog* dialog = nullptr;
};

// The program's services, except that the part "throws" raises as a failing file system
// would.
class ThrowingForOnePart : public parts_ui::SettingsExportServices {
public:
    using SettingsExportServices::SettingsExportServices;
    bool ExportDetailed(const std::wstring& part, const std::wstring& cabinet) override {
        if (part.find(L"throws") != std::wstring::npos) throw fs::filesystem_error("scripted", std::error_code());
        return SettingsExportServices::ExportDetailed(part, cabinet);
    }
};

class RealRun : public export_runs_test::PartsFolder {
protected:
    void SetUp() override {
        PartsFolder::SetUp();
        settings.PartsFolder = settings_.parts_folder;
    }
    std::wstring Out(bool trailingSlash) const {
        return platform::PathToWide(out_) + (trailingSlash ? L"/" : L"");
    }
    std::set<std::string> OutputFiles() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(out_)) names.insert(entry.path().filename().string());
        return names;
    }
    ProgramSettings settings;
};

TEST_F(RealRun, RowsEndByTheirServicesAndFinishedCabinetsExtract) {
    const std::wstring shortPath = settings.PartsFolder.substr(0, 3);
    ProgressRun run({{L"detail", Part("PBGA"), L"Detail", L"detail"},
             {L"two", Part("PBGA"), L"Two-resistor model", L"two"},
             {L"delphi", Part("FCBGA"), L"DELPHI model", L"delphi"},
             {L"to220", Part("TO-220"), L"Simple", L"to220"},
             {L"odd", Part("QFP"), L"Compact", L"odd"},
             {L"short", shortPath, L"Detail", L"short"},
             {L"throws", Part("QFP") + L"throws", L"Detail", L"throws"},
             {L"after", Part("QFP"), L"Detail", L"after"}},
            std::make_shared<ThrowingForOnePart>(settings), Out(true));
    ASSERT_TRUE(run.ShowAndFinish());

    const std::vector<std::wstring> states = {L"Finished", L"Finished", L"Finished", L"Failed",
                                              L"Failed",   L"Failed",   L"Failed",   L"Finished"};
    for (int r = 0; r < 8; ++r) EXPECT_EQ(run.State(r), states[r]) << "row " << r;
    EXPECT_EQ(run.Message(0), L"");

    // The message's numbers are read as written, with '.', whatever the process locale.
    const std::wstring two = run.Message(1);
    const size_t comma = two.find(L", bottom=");
    ASSERT_EQ(two.rfind(L"Resistance top=", 0), 0u) << platform::WideToUtf8(two);
    ASSERT_NE(comma, std::wstring::npos) << platform::WideToUtf8(two);
    const auto number = [](const std::wstring& text) {
        return widget::Variant::FromBstr(text).ChangeType(widget::VT_R8).R8();
    };
    EXPECT_GT(number(two.substr(15, comma - 15)), 0.0);
    EXPECT_GT(number(two.substr(comma + 9)), 0.0);

    const auto model = pkg::LoadDetailedModelByType(L"FCBGA", Part("FCBGA"));
    const auto table = pkg::reg_link_manager::CreateRegistanceLinkManager(
        "FCBGA", dynamic_cast<const pkg::DetailedModel*>(model.get()));
    ASSERT_TRUE(table);
    // " ," opens each link's piece, in the link table's order.
    std::vector<std::wstring> pieces;
    const std::wstring delphi = run.Message(2);
    for (size_t from = 0;;) {
        const size_t at = delphi.find(L" ,", from);
        pieces.push_back(delphi.substr(from, at - from));
        if (at == std::wstring::npos) break;
        from = at + 2;
    }
    ASSERT_EQ(static_cast<int>(pieces.size()), table->count + 1) << platform::WideToUtf8(delphi);
    EXPECT_EQ(pieces[0], L"Resistance");
    for (int l = 0; l < table->count; ++l) {
        const std::wstring name = table->nodes[2 * l] + L"_" + table->nodes[2 * l + 1] + L"=";
        EXPECT_EQ(pieces[l + 1].substr(0, name.size()), name) << "link " << l;
    }

    EXPECT_EQ(OutputFiles(), (std::set<std::string>{"detail.cab", "two.cab", "delphi.cab", "after.cab"}));
    for (const char* name : {"detail", "two", "delphi", "after"}) {
        EXPECT_NE(compact_test::Shell("cabextract -l " + compact_test::Quoted(out_ / (std::string(name) + ".cab")))
                      .find("All done, no errors"),
                  std::string::npos)
            << name;
        EXPECT_EQ(CabinetEntries(name), 1) << name;
    }
    EXPECT_EQ(compact_test::EntryCount(tmp_), 0u) << "a temporary was left behind";
    EXPECT_EQ(run.signalsOffUiThread, 0);

    // Only a finished compact row has a report.
    const auto report = run.RealDoubleClick(1);
    ASSERT_TRUE(report.has_value());
    EXPECT_TRUE(report->StartsWith("===Part name===\ntwo\n\n===Resistance===\ntop          :  "));
    EXPECT_FALSE(run.DoubleClick(0).has_value()) << "a finished Detail row";
    EXPECT_FALSE(run.DoubleClick(3).has_value()) << "a failed row";
}

// A part saved with a zero mold width (the pane saves unchecked values) fails with the
// check's message and writes nothing; the next row still runs.
TEST_F(RealRun, APartThatFailsTheChecksIsNotExported) {
    auto part = default_parts::MakeDefault("QFP");
    dynamic_cast<pkg::qfp::QFP&>(*part).mold.size.x = 0.0;
    const fs::path invalid = parts_ / "QFP" / "zero.qvx";
    {
        std::ofstream out(invalid);
        ASSERT_TRUE(part->WritePartFile(out));
    }
    ProgressRun run({{L"zero", invalid.wstring(), L"DELPHI model", L"zero"},
                     {L"zero", invalid.wstring(), L"Detail", L"zero2"},
                     {L"after", Part("QFP"), L"Detail", L"after"}},
                    std::make_shared<parts_ui::SettingsExportServices>(settings), Out(true));
    ASSERT_TRUE(run.ShowAndFinish());
    for (int r = 0; r < 2; ++r) {
        EXPECT_EQ(run.State(r), L"Failed") << r;
        EXPECT_EQ(run.Message(r), L"Specify Mold size X greater than 0.") << r;
    }
    EXPECT_EQ(run.State(2), L"Finished");
    EXPECT_EQ(run.Message(2), L"");
    EXPECT_EQ(OutputFiles(), (std::set<std::string>{"after.cab"}));
}

// Every failed row says why, in its Message and as "<part name>: <reason>" in the output
// pane: a broken rule, a kind the type lacks, an unknown kind, and settings whose grid
// would exceed the solver's cap.
TEST_F(RealRun, FailedRowsSayWhyInTheMessageAndTheOutputPane) {
    auto part = default_parts::MakeDefault("PBGA");
    dynamic_cast<pkg::bga::BGA&>(*part).solder_ball.pitch = 0.0;
    const fs::path invalid = parts_ / "PBGA" / "pitch.qvx";
    {
        std::ofstream out(invalid);
        ASSERT_TRUE(part->WritePartFile(out));
    }
    auto* log = new zentrik_test::LogFrame(wxSize(600, 400));
    wxTheApp->SetTopWindow(log);
    const std::vector<std::wstring> reasons = {
        L"Specify Pitch of solder ball greater than 0.",
        L"This package type has no such model.",
        L"The modeling type is unknown.",
    };
    {
        ProgressRun run({{L"pitch", invalid.wstring(), L"Two-resistor model", L"pitch"},
                         {L"to220", Part("TO-220"), L"Simple", L"to220"},
                         {L"odd", Part("QFP"), L"Compact", L"odd"}},
                        std::make_shared<parts_ui::SettingsExportServices>(settings), Out(true));
        ASSERT_TRUE(run.ShowAndFinish());
        for (int r = 0; r < 3; ++r) {
            EXPECT_EQ(run.State(r), L"Failed") << r;
            EXPECT_EQ(run.Message(r), reasons[r]) << r;
        }
    }
    settings.StandardLength.x = 1e-9;
    settings.Threshold.x = 1e-9;
    {
        ProgressRun run({{L"fine", Part("QFP"), L"Two-resistor model", L"fine"}},
                        std::make_shared<parts_ui::SettingsExportServices>(settings), Out(true));
        ASSERT_TRUE(run.ShowAndFinish());
        EXPECT_EQ(run.State(0), L"Failed");
        EXPECT_EQ(run.Message(0).rfind(L"The solver grid would have ", 0), 0u);
        EXPECT_NE(run.Message(0).find(L" cells, more than the solver can take."), std::wstring::npos);
    }
    const wxString pane = log->output->TextBox()->GetValue();
    wxTheApp->SetTopWindow(nullptr);
    log->Destroy();
    EXPECT_TRUE(pane.StartsWith(L"pitch: " + reasons[0] + L"\nto220: " + reasons[1] + L"\nodd: " +
                                reasons[2] + L"\nfine: The solver grid would have "))
        << pane;
    EXPECT_TRUE(OutputFiles().empty());
    EXPECT_EQ(compact_test::EntryCount(tmp_), 0u);
}

// A list file that cannot be written costs only the list file: the row finishes with its
// values and a note, and the Output pane has the note.
TEST_F(RealRun, AListFileNotWrittenLeavesAFinishedRowWithANote) {
    settings.OutputListFile = true;
    // A folder where the list file belongs is never replaced.
    const std::string name = "noted";
    const fs::path list = out_ / (name + ".cab.l");
    fs::create_directory(list);
    auto* log = new zentrik_test::LogFrame(wxSize(600, 400));
    wxTheApp->SetTopWindow(log);
    std::wstring state, message;
    {
        const std::wstring row = platform::Utf8ToWide(name);
        ProgressRun run({{L"listed", Part("QFP"), L"Two-resistor model", row}},
                        std::make_shared<parts_ui::SettingsExportServices>(settings), Out(true));
        EXPECT_TRUE(run.ShowAndFinish());
        state = run.State(0);
        message = run.Message(0);
    }
    const wxString pane = log->output->TextBox()->GetValue();
    wxTheApp->SetTopWindow(nullptr);
    log->Destroy();

    const std::wstring note = L"The list file " + list.wstring() + L" could not be written.";
    EXPECT_EQ(state, L"Finished");
    EXPECT_EQ(message.rfind(L"Resistance top=", 0), 0u) << message;
    EXPECT_NE(message.find(L" " + note), std::wstring::npos) << message;
    EXPECT_NE(pane.find(L"listed: " + note), wxString::npos) << pane;
    EXPECT_EQ(OutputFiles(), (std::set<std::string>{name + ".cab", name + ".cab.l"}));
    EXPECT_TRUE(fs::is_directory(list));
    EXPECT_EQ(compact_test::EntryCount(tmp_), 0u);
}

TEST_F(RealRun, DestinationWithoutTrailingSlash) {
    ProgressRun run({{L"solo", Part("QFP"), L"Detail", L"solo"}},
            std::make_shared<parts_ui::SettingsExportServices>(settings), Out(false));
    ASSERT_TRUE(run.ShowAndFinish());
    EXPECT_EQ(run.State(0), L"Finished");
    EXPECT_EQ(OutputFiles(), (std::set<std::string>{"solo.cab"}));
    EXPECT_EQ(CabinetEntries("solo"), 1);
}

// A run held at its second row by a latch: the dialog refuses to go, the finished row's
// report opens, and releasing the latch ends the run with OK enabled.
TEST(ProgressDialog, HeldRunRefusesToCloseAndFinishedRowsOpenTheirReport) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    auto services = std::make_shared<ScriptedServices>(
        [released](const std::wstring& call, const std::wstring& part, const std::wstring&,
                   pkg::NodePairList&, double* values) {
            if (call == L"0") values[0] = 1.5, values[1] = 2;
            if (part == L"held") released.wait();
            return true;
        });
    ProgressRun run({{L"first", L"done", L"Two-resistor model", L"a"},
             {L"second", L"held", L"Detail", L"b"},
             {L"third", L"later", L"Two-resistor model", L"c"}},
            services, L"/out");
    run.dialog->Show();
    ASSERT_TRUE(zentrik_test::WaitUntil([&] { return run.State(1) == L"Running"; }));

    EXPECT_FALSE(run.dialog->Close());
    run.PressKey(WXK_ESCAPE);
    run.PressKey(WXK_RETURN);
    EXPECT_TRUE(run.dialog->IsShown());
    EXPECT_FALSE(run.dialog->okButton->IsEnabled());

    const auto report = run.DoubleClick(0);
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(*report,
              "===Part name===\nfirst\n\n===Resistance===\ntop          :  1.5\nbottom       :  2\n");
    EXPECT_FALSE(run.DoubleClick(1).has_value()) << "a running row";
    EXPECT_FALSE(run.DoubleClick(2).has_value()) << "a waiting row";
    EXPECT_EQ(run.State(2), L"Waiting");

    release.set_value();
    ASSERT_TRUE(zentrik_test::WaitUntil([&] { return run.dialog->okButton->IsEnabled(); }));
    EXPECT_EQ(run.State(2), L"Finished");
    EXPECT_EQ(run.signalsOffUiThread, 0);
    run.PressKey(WXK_ESCAPE);
    EXPECT_FALSE(run.dialog->IsShown()) << "after the run Esc closes the dialog";
}

TEST(ProgressDialog, OkIsEnabledWhenEveryRowAndAJobThrow) {
    auto services = std::make_shared<ScriptedServices>(
        [](const std::wstring&, const std::wstring&, const std::wstring&, pkg::NodePairList&,
           double*) -> bool { throw std::runtime_error("scripted"); });
    ProgressRun run({{L"a", L"a", L"Detail", L"a"}, {L"b", L"b", L"DELPHI model", L"b"}}, services, L"/out");
    bool laterJobRan = false;
    run.dialog->AddJob([] { throw std::logic_error("scripted job"); });
    run.dialog->AddJob([&laterJobRan] { laterJobRan = true; });
    // Modal, as the program shows it: OK, once enabled, ends the modal loop.
    run.dialog->CallAfter([&run] {
        ASSERT_TRUE(zentrik_test::WaitUntil([&] { return run.dialog->okButton->IsEnabled(); }));
        zentrik_test::ClickAt(run.dialog->okButton, wxPoint(5, 5));
    });
    EXPECT_EQ(run.dialog->ShowModal(), wxID_OK);
    EXPECT_EQ(run.State(0), L"Failed");
    EXPECT_EQ(run.State(1), L"Failed");
    EXPECT_TRUE(laterJobRan);
}

TEST(ProgressDialog, JapaneseInterface) {
    resources::SetThreadLanguage(resources::kLanguageJapanese);
    auto services = std::make_shared<ScriptedServices>(
        [](const std::wstring& call, const std::wstring&, const std::wstring&, pkg::NodePairList&,
           double* values) {
            if (call == L"0") values[0] = 3, values[1] = 4;
            return call == L"0";
        });
    {
        ProgressRun run({{L"a", L"a", L"2抵抗モデル", L"a"}, {L"b", L"b", L"詳細", L"b"}}, services, L"/out",
                {L"簡易", L"詳細", L"2抵抗モデル", L"3抵抗モデル", L"DELPHIモデル"});
        EXPECT_EQ(run.progress->headers, (std::vector<std::wstring>{L"パーツ名", L"状況", L"メッセージ"}));
        EXPECT_EQ(run.State(0), L"待機中");
        ASSERT_TRUE(run.ShowAndFinish());
        EXPECT_EQ(run.State(0), L"完了");
        EXPECT_EQ(run.State(1), L"失敗");
        const auto report = run.DoubleClick(0);
        ASSERT_TRUE(report.has_value());
        EXPECT_TRUE(report->StartsWith(wxString(L"===パーツ名===\na\n\n===熱抵抗値===\ntop")));
    }
    resources::SetThreadLanguage(resources::kLanguageEnglish);
}

TEST(ResistanceDialog, ShowsTheReportReadOnlyInTenPointFixedWidth) {
    wxFrame* frame = zentrik_test::ShowTestFrame();
    {
        parts_ui::OutputResistanceDialog dialog(frame, L"===Part name===\r\nx\r\n");
        EXPECT_EQ(dialog.GetTitle(), "Resistance");
        EXPECT_EQ(dialog.reportBox->GetValue(), "===Part name===\nx\n");
        EXPECT_FALSE(dialog.reportBox->IsEditable());
        const wxFont font = dialog.reportBox->GetFont();
        EXPECT_EQ(font.GetPointSize(), 10);
        EXPECT_TRUE(font.GetFaceName() == "Courier New" || font.IsFixedWidth())
            << font.GetFaceName();
    }
    frame->Destroy();
    zentrik_test::DispatchPending();
}

}  // namespace
