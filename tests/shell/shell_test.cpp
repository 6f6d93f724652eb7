#include "shell/main_frame.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <wx/aui/dockart.h>
#include <wx/bookctrl.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/imagpng.h>
#include <wx/menu.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "app/command_ids.h"
#include "app/help_image_catalog.h"
#include "app/help_view.h"
#include "app/image_view.h"
#include "app/ui_language.h"
#include "app/output_view.h"
#include "app/message_box.h"
#include "app/preview_view.h"
#include "shell/program_configurations.h"
#include "shell/trelvo_app.h"
#include "app/program_settings.h"
#include "app/sample_parts.h"
#include "models/model_tree.h"
#include "parts_ui/file_view.h"
#include "parts_ui/part_file_operations.h"
#include "parts_ui/properties_view.h"
#include "platform/gtk_window.h"
#include "resources/string_table.h"
#include "tests/shell/shown_main_frame.h"
#include "tests/support/wx_test.h"

namespace fs = std::filesystem;

namespace {

class Shell : public ShownMainFrame {
protected:
    Shell() : ShownMainFrame("zentrik-shell-") {}

    void Command(int commandId) {
        wxCommandEvent event(wxEVT_MENU, WxId(commandId));
        event.SetEventObject(frame);
        frame->GetEventHandler()->ProcessEvent(event);
        frame->DoMenuUpdates();
    }
    bool Checked(int commandId) { return frame->GetMenuBar()->IsChecked(WxId(commandId)); }
    bool Enabled(int commandId) { return frame->GetMenuBar()->IsEnabled(WxId(commandId)); }
    wxString Log() { return frame->GetOutputView()->TextBox()->GetValue(); }
};

TEST_F(Shell, OptionMenuWritesSettingsAndPreviewAndKeepsOperationMarkWhileDisabled) {
    Command(ID_MOUSE_ONE_BUTTON);
    Command(ID_TRANSLATE);
    EXPECT_EQ(settings.OneButtonOperation, 2);
    EXPECT_EQ(frame->Preview()->OneButtonOperation, 2);
    EXPECT_TRUE(Enabled(ID_TRANSLATE));
    Command(ID_MOUSE_THREE_BUTTON);
    EXPECT_EQ(settings.MouseMode, 0);
    EXPECT_EQ(frame->Preview()->MouseMode, 0);
    EXPECT_TRUE(Checked(ID_MOUSE_THREE_BUTTON));
    EXPECT_FALSE(Checked(ID_MOUSE_ONE_BUTTON));
    for (int id : {ID_ROTATE_3D, ID_ROTATE_2D, ID_TRANSLATE, ID_SCALE}) {
        EXPECT_FALSE(Enabled(id));
        EXPECT_EQ(Checked(id), id == ID_TRANSLATE);
    }
    EXPECT_EQ(settings.OneButtonOperation, 2);
}

TEST_F(Shell, ViewCommandsToggleThePanesAndTheMarkFollowsTheCloseButton) {
    frame->DoMenuUpdates();
    for (int id : {ID_FILE_VIEW, ID_VIEW_PROPERTIES, ID_HELP_VIEW, ID_VIEW_COMPONENTS,
                   ID_VIEW_OUTPUT}) {
        EXPECT_TRUE(Checked(id)) << id;
        Command(id);
        EXPECT_FALSE(Checked(id)) << id;
        Command(id);
        EXPECT_TRUE(Checked(id)) << id;
    }
    wxAuiPaneInfo& help = frame->Docking().GetPane(frame->Help());
    frame->Docking().ClosePane(help);
    frame->DoMenuUpdates();
    EXPECT_FALSE(Checked(ID_HELP_VIEW));
    Command(ID_HELP_VIEW);
    EXPECT_TRUE(help.IsShown());
    EXPECT_TRUE(frame->Help()->IsShown());
}

TEST_F(Shell, UsersGuideItemOnlyWithAGuideOnDisk) {
    // No guide recorded system-wide: the Help menu starts with "&Manual".
    const wxMenu* help = frame->GetMenuBar()->GetMenu(3);
    EXPECT_EQ(frame->GetMenuBar()->FindItem(WxId(ID_USERS_GUIDE)), nullptr);
    ASSERT_EQ(help->GetMenuItemCount(), 3u);
    EXPECT_EQ(help->FindItemByPosition(0)->GetId(), WxId(ID_MANUAL));

    // A recorded folder without the page still counts as missing; with the page the item
    // comes first.
    const fs::path machine = dir / "machine";
    setenv("XDG_CONFIG_DIRS", machine.c_str(), 1);
    fs::create_directories(machine / "Ostrel" / "Vexa2020");
    std::ofstream(machine / "Ostrel" / "Vexa2020" / "registry.ini")
        << "Vx2020Folder=" << (dir / "guide").string() << "\n";
    for (const bool page : {false, true}) {
        if (page) {
            fs::create_directories(dir / "guide/Manuals/HTML/Zentrik_eng");
            std::ofstream(dir / "guide/Manuals/HTML/Zentrik_eng/index.html") << "<html/>";
        }
        auto* other = new MainFrame(settings, operations);
        const wxMenu* menu = other->GetMenuBar()->GetMenu(3);
        EXPECT_EQ(menu->GetMenuItemCount(), page ? 4u : 3u);
        EXPECT_EQ(menu->FindItemByPosition(0)->GetId(),
                  WxId(page ? ID_USERS_GUIDE : ID_MANUAL));
        other->Destroy();
    }
    unsetenv("XDG_CONFIG_DIRS");
}

TEST_F(Shell, ARestoredLayoutKeepsThePaneIcons) {
    const auto icons = [this] {
        std::vector<bool> shown;
        for (wxWindow* pane : {static_cast<wxWindow*>(frame->Files()),
                               static_cast<wxWindow*>(frame->GetOutputView()),
                               static_cast<wxWindow*>(frame->Properties())}) {
            shown.push_back(frame->Docking().GetPane(pane).icon.IsOk());
        }
        return shown;
    };
    frame->ArrangeFloatingPanes();
    EXPECT_EQ(icons(), std::vector<bool>({true, true, true}));
    frame->Close(true);  // saves the layout
    zentrik_test::DispatchPending();
    frame = new MainFrame(settings, operations);
    wxTheApp->SetTopWindow(frame);
    frame->Show();
    // As the program starts: the panes float once the frame is on screen and activated.
    frame->ArrangeFloatingPanesWhenPlaced();
    ASSERT_TRUE(zentrik_test::WaitUntil(
        [&] { return frame->Docking().GetPane(frame->GetOutputView()).IsFloating(); }));
    EXPECT_EQ(icons(), std::vector<bool>({true, true, true}));
}

TEST_F(Shell, ReloadEmptiesPreviewAndCurrentPartAndRootsTheTreeWithSeparator) {
    settings.PartsFolder = (dir / "other").wstring();
    frame->SetPreviewModel(std::make_shared<pkg::Group>(L"root"));
    frame->Preview()->VisibleComponentKeys = {"mold"};
    settings.CurrentPartPath = L"/somewhere/part.qvx";
    frame->Reload();
    EXPECT_EQ(frame->Preview()->ModelRoot, nullptr);
    EXPECT_TRUE(frame->Preview()->VisibleComponentKeys.empty());
    EXPECT_TRUE(settings.CurrentPartPath.empty());
    EXPECT_EQ(frame->Files()->RootFolder, (dir / "other").wstring() + L"/");
}

TEST_F(Shell, LogLinesEndOnceAndTheCaretFollowsTheNewestLine) {
    const std::wstring path = L"/tmp/部品/part.qvx";
    LogToOutput(L"read from %s", path);
    LogToOutput("ends with crlf\r\n");
    LogToOutput("ends with lf\n");
    LogToOutput("");
    EXPECT_EQ(Log(), wxString(L"read from /tmp/部品/part.qvx\nends with crlf\nends with lf\n\n"));
    wxTextCtrl* box = frame->GetOutputView()->TextBox();
    EXPECT_EQ(box->GetInsertionPoint(), box->GetLastPosition());

    box->AppendText("typed by the user");
    const std::wstring longName(3000, L'x');
    LogToOutput(L"%s", longName);
    EXPECT_EQ(Log(), wxString(L"read from /tmp/部品/part.qvx\nends with crlf\nends with lf\n\n") +
                         "typed by the user" + wxString(longName) + "\n");

    const wxString before = Log();
    std::thread([] { LogToOutput("from a worker"); }).join();
    wxTheApp->SetTopWindow(zentrik_test::ShowTestFrame(100, 100));
    LogToOutput("while another window is on top");
    wxTheApp->GetTopWindow()->Destroy();
    wxTheApp->SetTopWindow(frame);
    EXPECT_EQ(Log(), before);
}

// At first start every line is logged before the pane is on screen, where the box cannot
// scroll yet; a box made lower keeps its top line and loses the newest. Both times
// the box shows its newest line once it is on screen.
TEST_F(Shell, TheOutputPaneShowsItsNewestLineWhenShownAndWhenMadeLower) {
    frame->Destroy();
    zentrik_test::DispatchPending();
    frame = new MainFrame(settings, operations);
    wxTheApp->SetTopWindow(frame);
    // Lines as long as the program's own, wider than the pane.
    for (int line = 1; line <= 60; ++line) LogToOutput("line %d %s", line, wxString('x', 120));
    frame->SetSize(0, 0, 1280, 800);
    frame->Show();
    frame->ArrangeFloatingPanesWhenPlaced();
    wxTextCtrl* box = frame->GetOutputView()->TextBox();
    const auto bottomRow = [box] {
        long column = 0, row = 0;
        box->HitTest(wxPoint(4, box->GetClientSize().y - 4), &column, &row);
        return row;
    };
    // Row 59 is "line 60"; row 60 the empty one after its line end.
    EXPECT_TRUE(zentrik_test::WaitUntil([&] {
        return frame->Docking().GetPane(frame->GetOutputView()).IsFloating() &&
               box->IsShownOnScreen() && bottomRow() >= 59;
    })) << "the box's bottom shows row " << bottomRow();

    // Docked again and made lower by its sash.
    OutputView* output = frame->GetOutputView();
    frame->Docking().DockBack(output);
    ASSERT_TRUE(zentrik_test::WaitUntil([&] { return wxGetTopLevelParent(output) == frame; }));
    const int docked = box->GetSize().y;
    // The sash lies just above the pane's caption.
    wxAuiDockArt* art = frame->Docking().GetArtProvider();
    const int above = art->GetMetric(wxAUI_DOCKART_CAPTION_SIZE) +
                      art->GetMetric(wxAUI_DOCKART_SASH_SIZE) / 2 + 1;
    const wxPoint sash = output->GetScreenPosition() + wxPoint(output->GetSize().x / 2, -above);
    wxUIActionSimulator sim;
    sim.MouseMove(sash);
    zentrik_test::DispatchPending();
    sim.MouseDown();
    for (int step = 1; step <= 4; ++step) {
        const wxPoint to = sash + wxPoint(0, 10 * step);
        sim.MouseMove(to);
        zentrik_test::WaitUntil([&] { return wxGetMousePosition() == to; });
    }
    sim.MouseUp();
    EXPECT_TRUE(
        zentrik_test::WaitUntil([&] { return box->GetSize().y < docked && bottomRow() >= 59; }))
        << box->GetSize().y << " px high, the box's bottom shows row " << bottomRow();
}

// Centred on the frame, not on the screen: the frame is put off the screen's middle.
TEST_F(Shell, AboutBoxOpensOverTheMiddleOfTheFrame) {
    const wxRect placed(40, 200, 700, 480);
    frame->SetSize(placed);
    platform::ScreenRect onScreen;
    ASSERT_TRUE(zentrik_test::WaitUntil([&] {
        return platform::FrameRectangle(frame->GetHandle(), onScreen) && onScreen.x == placed.x &&
               onScreen.y == placed.y && onScreen.width == placed.width;
    }));
    platform::ScreenRect about;
    wxTheApp->CallAfter([&about] {
        for (wxWindow* window : wxTopLevelWindows) {
            auto* dialog = dynamic_cast<wxDialog*>(window);
            if (dialog == nullptr || !dialog->IsModal()) continue;
            zentrik_test::WaitUntil(
                [&] { return platform::FrameRectangle(dialog->GetHandle(), about); });
            dialog->EndModal(wxID_OK);
        }
    });
    ShowAboutDialog(frame, kUiLanguageEnglish);
    ASSERT_GT(about.width, 0) << "the about box was never on screen";
    EXPECT_NEAR(about.x + about.width / 2, onScreen.x + onScreen.width / 2, 2);
    EXPECT_NEAR(about.y + about.height / 2, onScreen.y + onScreen.height / 2, 2);
}

// The sample installation from a source folder of the test's own.
class Samples : public Shell {
protected:
    void SetUp() override {
        Shell::SetUp();
        source = dir / "samples";
        for (const wchar_t* type : kSampleTypes) {
            fs::create_directories(source / type);
            std::ofstream(source / type / SampleFileName(type)) << "sample";
        }
        parts = dir / "parts";
    }
    void Install() { InstallSamples(parts.wstring() + L"/", source.wstring() + L"/"); }
    static int Count(const wxString& text, const wxString& what) {
        int count = 0;
        for (size_t at = text.find(what); at != wxString::npos; at = text.find(what, at + 1))
            ++count;
        return count;
    }

    fs::path source;
    fs::path parts;
};

TEST_F(Samples, MissingSourceLogsAndCreatesNothing) {
    fs::remove_all(source);
    Install();
    EXPECT_EQ(Log(), "install samples...\nnot found sample files.\n");
    EXPECT_FALSE(fs::exists(parts));
}

TEST_F(Samples, FileInTheWayStopsBeforeAnyCopy) {
    fs::create_directories(parts);
    std::ofstream(parts / "SOP") << "not a folder";
    Install();
    EXPECT_TRUE(fs::is_directory(parts / "QFP"));
    EXPECT_FALSE(fs::exists(parts / "PBGA"));
    EXPECT_TRUE(fs::is_empty(parts / "QFP"));
    EXPECT_EQ(Count(Log(), "failed to create folder:" + (parts / "SOP").wstring() + "\n"), 1);
    EXPECT_EQ(Count(Log(), "copy "), 0);
}

TEST_F(Samples, EditedSampleStaysDeletedOneComesBackMissingSourceIsOneLine) {
    Install();
    EXPECT_EQ(Count(Log(), "copy "), 10);
    const fs::path qfp = parts / "QFP" / "QFP_Sample_1.qvx";
    const fs::path sop = parts / "SOP" / "SOP_Sample_1.qvx";
    std::ofstream(qfp) << "edited";
    fs::remove(sop);
    fs::remove(source / "TO-247" / "TO-247_Sample_1.qvx");
    fs::remove(parts / "TO-247" / "TO-247_Sample_1.qvx");
    frame->GetOutputView()->TextBox()->Clear();
    Install();
    std::ifstream in(qfp);
    std::string text;
    in >> text;
    EXPECT_EQ(text, "edited");
    EXPECT_TRUE(fs::exists(sop));
    EXPECT_EQ(Count(Log(), "failed to copy "), 1);
    EXPECT_EQ(Count(Log(), "TO-247_Sample_1.qvx."), 1);
    EXPECT_EQ(Count(Log(), "\ncopy "), 1);
}

TEST_F(Samples, WhatAnInterruptedCopyLeftIsInstalledAgainAndNothingElse) {
    Install();
    const fs::path qfp = parts / "QFP" / "QFP_Sample_1.qvx";
    const fs::path sop = parts / "SOP" / "SOP_Sample_1.qvx";
    const fs::path pbga = parts / "PBGA" / "PBGA_Sample_1.qvx";
    std::ofstream(qfp, std::ios::trunc).flush();  // empty
    std::ofstream(sop, std::ios::trunc) << "sam";  // the beginning of the sample
    std::ofstream(pbga, std::ios::trunc) << "samp!";  // changed by the user
    frame->GetOutputView()->TextBox()->Clear();
    Install();
    const auto read = [](const fs::path& file) {
        std::ifstream in(file);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    EXPECT_EQ(read(qfp), "sample");
    EXPECT_EQ(read(sop), "sample");
    EXPECT_EQ(read(pbga), "samp!");
    EXPECT_EQ(Count(Log(), "\ncopy "), 2);
    for (const fs::path& folder : {parts / "QFP", parts / "SOP"}) {
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1)
            << "no temporary is left in " << folder;
    }
}

// The configuration sheet, answered through the message-box seam.
class ConfigSheet : public Shell {
protected:
    void SetUp() override {
        Shell::SetUp();
        SetMessageBoxAnswerer([this](const wxString& message, const wxString&, long) {
            messages.push_back(message);
            return wxOK;
        });
    }
    void TearDown() override {
        SetMessageBoxAnswerer({});
        Shell::TearDown();
    }
    std::vector<wxString> messages;
};

TEST_F(ConfigSheet, MeshRuleAndNumbersKeepThePageEqualValuesPass) {
    ProgramConfigSheet sheet(frame);
    sheet.SetValues(ConfigValuesOf(settings));
    wxBookCtrlBase* book = sheet.GetBookCtrl();
    book->SetSelection(ProgramConfigSheet::kMeshPage);
    sheet.StandardLengthText(0)->ChangeValue("0.5");
    sheet.ThresholdText(0)->ChangeValue("0.51");
    book->SetSelection(ProgramConfigSheet::kFolderPage);
    EXPECT_EQ(book->GetSelection(), ProgramConfigSheet::kMeshPage);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], L"Specify the standard length greater than or equal to the "
                           L"threshold mesh element size.");

    sheet.ThresholdText(0)->ChangeValue(" 0.5 ");
    book->SetSelection(ProgramConfigSheet::kMaterialPage);
    EXPECT_EQ(book->GetSelection(), ProgramConfigSheet::kMaterialPage);
    EXPECT_EQ(messages.size(), 1u);

    for (const char* bad : {"abc", "0,5", "nan", "1e999", ""}) {
        sheet.ConductivityText()->ChangeValue(bad);
        book->SetSelection(ProgramConfigSheet::kFolderPage);
        EXPECT_EQ(book->GetSelection(), ProgramConfigSheet::kMaterialPage) << bad;
    }
    EXPECT_EQ(messages.back(), "Please enter a number.");
    sheet.ConductivityText()->ChangeValue("0.03");
    const ProgramConfigValues values = sheet.GetValues();
    EXPECT_EQ(values.FluidConductivity, 0.03);
    EXPECT_EQ(values.Threshold[0], 0.5);
}

// A conductivity, standard length or threshold of 0 or below keeps its page, with a
// message naming the field, in English and Japanese.
TEST_F(ConfigSheet, ZeroAndNegativeValuesKeepThePageAndNameTheField) {
    ProgramConfigSheet sheet(frame);
    sheet.SetValues(ConfigValuesOf(settings));
    wxBookCtrlBase* book = sheet.GetBookCtrl();
    struct Field {
        int page;
        wxTextCtrl* text;
        const wchar_t* name;
    };
    const Field fields[] = {
        {ProgramConfigSheet::kMaterialPage, sheet.ConductivityText(), L"Thermal Conductivity of Fluid"},
        {ProgramConfigSheet::kMeshPage, sheet.StandardLengthText(0), L"Standard length X"},
        {ProgramConfigSheet::kMeshPage, sheet.StandardLengthText(2), L"Standard length Z"},
        {ProgramConfigSheet::kMeshPage, sheet.ThresholdText(1), L"Threshold mesh element size Y"},
    };
    for (const Field& field : fields) {
        const wxString good = field.text->GetValue();
        for (const char* bad : {"0", "-0", "-5"}) {
            book->SetSelection(field.page);
            messages.clear();
            field.text->ChangeValue(bad);
            book->SetSelection(ProgramConfigSheet::kFolderPage);
            EXPECT_EQ(book->GetSelection(), field.page) << field.name << " " << bad;
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(messages[0], wxString(L"Specify ") + field.name + L" greater than 0.");
        }
        field.text->ChangeValue(good);
        book->SetSelection(ProgramConfigSheet::kFolderPage);
        EXPECT_EQ(book->GetSelection(), ProgramConfigSheet::kFolderPage) << field.name;
    }

    resources::SetThreadLanguage(resources::kLanguageJapanese);
    messages.clear();
    fields[0].text->ChangeValue("-5");
    EXPECT_FALSE(sheet.CheckPage(ProgramConfigSheet::kMaterialPage));
    resources::SetThreadLanguage(resources::kLanguageEnglish);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], wxString(L"流体の熱伝導率には0より大きい値を指定して下さい。"));
}

TEST_F(ConfigSheet, CancelChangesNothing) {
    const ProgramConfigValues before = ConfigValuesOf(settings);
    wxTheApp->CallAfter([] {
        for (wxWindow* window : wxTopLevelWindows) {
            if (auto* sheet = dynamic_cast<ProgramConfigSheet*>(window)) {
                sheet->PartsFolderText()->ChangeValue("/elsewhere");
                sheet->ExportFolderText()->ChangeValue("/elsewhere");
                sheet->BackgroundButton(0)->SetValue(true);
                sheet->ConductivityText()->ChangeValue("1");
                sheet->StandardLengthText(2)->ChangeValue("9");
                sheet->EndModal(wxID_CANCEL);
            }
        }
    });
    RunProgramConfigurations(frame, settings, operations);
    const ProgramConfigValues after = ConfigValuesOf(settings);
    EXPECT_EQ(after.PartsFolder, before.PartsFolder);
    EXPECT_EQ(after.ExportFolder, before.ExportFolder);
    EXPECT_EQ(after.Background, before.Background);
    EXPECT_EQ(after.FluidConductivity, before.FluidConductivity);
    EXPECT_EQ(after.StandardLength, before.StandardLength);
}

TEST_F(ConfigSheet, OkOnTheMeshPageWithTheRuleBrokenKeepsTheSheetOpen) {
    wxTheApp->CallAfter([this] {
        for (wxWindow* window : wxTopLevelWindows) {
            auto* sheet = dynamic_cast<ProgramConfigSheet*>(window);
            if (sheet == nullptr) continue;
            sheet->GetBookCtrl()->SetSelection(ProgramConfigSheet::kMeshPage);
            sheet->ThresholdText(1)->ChangeValue("0.6");
            wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
            ok.SetEventObject(sheet->FindWindow(wxID_OK));
            sheet->FindWindow(wxID_OK)->GetEventHandler()->ProcessEvent(ok);
            EXPECT_TRUE(sheet->IsModal());
            EXPECT_EQ(messages.size(), 1u);
            sheet->ThresholdText(1)->ChangeValue("0.25");
            sheet->FindWindow(wxID_OK)->GetEventHandler()->ProcessEvent(ok);
        }
    });
    RunProgramConfigurations(frame, settings, operations);
    EXPECT_EQ(settings.Threshold.y, 0.25);
}

TEST_F(ConfigSheet, OkAddsSeparatorsComparesExactlyAndRepaintsWhiteAtOnce) {
    ProgramConfigValues values = ConfigValuesOf(settings);
    const std::wstring oldParts = settings.PartsFolder;
    values.PartsFolder = L"";
    values.ExportFolder = (dir / "export").wstring();
    values.Background = 1;
    ApplyProgramConfiguration(values, frame, settings, operations);
    EXPECT_EQ(settings.PartsFolder, oldParts);
    EXPECT_EQ(settings.ExportFolder, (dir / "export").wstring() + L"/");
    EXPECT_EQ(settings.BackgroundType, 1);
    EXPECT_EQ(frame->Preview()->BackgroundType, 1);

    // The same folder with its separator dropped does not reload; another letter case does.
    settings.CurrentPartPath = L"/part.qvx";
    values.PartsFolder = oldParts.substr(0, oldParts.size() - 1);
    ApplyProgramConfiguration(values, frame, settings, operations);
    EXPECT_EQ(settings.CurrentPartPath, L"/part.qvx");
    values.PartsFolder = (dir / "PARTS").wstring();
    ApplyProgramConfiguration(values, frame, settings, operations);
    EXPECT_EQ(settings.PartsFolder, (dir / "PARTS").wstring() + L"/");
    EXPECT_TRUE(settings.CurrentPartPath.empty());
    EXPECT_EQ(frame->Files()->RootFolder, (dir / "PARTS").wstring() + L"/");
}

// Help pictures from a folder of the test's own; each file is a small PNG.
class HelpPictures : public Shell {
protected:
    void Write(const std::wstring& file) {
        const fs::path path = dir / "help" / file;
        fs::create_directories(path.parent_path());
        wxImage(4, 3).SaveFile(path.wstring(), wxBITMAP_TYPE_PNG);
    }
    static std::vector<wxString> Captions(const HelpImageCatalog::PictureList& list) {
        std::vector<wxString> captions;
        for (const auto& picture : list) captions.push_back(picture->Caption);
        return captions;
    }
    std::wstring Folder() const { return (dir / "help").wstring() + L"/"; }
};

TEST_F(HelpPictures, JapaneseFoldersCaptionOrderAndMissingFilesLogged) {
    wxImage::AddHandler(new wxPNGHandler);
    for (const auto& [caption, file] : HelpImageCatalog::FilesOf(0, kUiLanguageJapanese)) {
        Write(file);
    }
    for (const auto& [caption, file] : HelpImageCatalog::FilesOf(2, kUiLanguageEnglish)) {
        if (file != L"pbga/pbga_board.png") Write(file);
    }
    SetUILanguage(kUiLanguageJapanese);
    HelpImageCatalog japanese;
    japanese.Build(Folder(), kUiLanguageJapanese);
    SetUILanguage(kUiLanguageEnglish);
    EXPECT_EQ(Captions(japanese.Pictures(0)),
              (std::vector<wxString>{L"構成要素名", L"封止樹脂サイズ", L"リードフレームサイズ",
                                     L"チップ・ダイパッドサイズ"}));

    frame->GetOutputView()->TextBox()->Clear();
    HelpImageCatalog english;
    english.Build(Folder(), kUiLanguageEnglish);
    EXPECT_TRUE(english.Pictures(0).empty());
    EXPECT_EQ(Captions(english.Pictures(2)),
              (std::vector<wxString>{"Component name", "Mold size", "Chip and die pad size",
                                     "Details of board", "Solder ball"}));
    EXPECT_NE(Log().find("failed to load help file " + Folder() + "pbga/pbga_board.png\n"),
              wxString::npos);
    EXPECT_NE(Log().find("failed to load help file " + Folder() + "qfp/qfp_all.png\n"),
              wxString::npos);

    frame->Help()->SetPictures(english.Pictures(4));
    EXPECT_EQ(frame->Help()->PictureChoice()->GetCount(), 0u);
    frame->Help()->SetPictures(english.Pictures(2));
    EXPECT_EQ(frame->Help()->PictureChoice()->GetStringSelection(), "Component name");
    EXPECT_EQ(frame->Help()->Picture()->DrawnSize(), wxSize(4, 3));
}

TEST_F(HelpPictures, PicturesTooLargeAreRefusedFromTheirHeader) {
    wxImage::AddHandler(new wxPNGHandler);
    const std::wstring file = HelpImageCatalog::FilesOf(4, kUiLanguageEnglish)[0].second;
    Write(file);
    // The header of a 20000 x 20000 picture: the decoder would take 1.2 GB for it.
    const fs::path path = dir / "help" / file;
    std::fstream png(path, std::ios::in | std::ios::out | std::ios::binary);
    png.seekp(16);
    const char size[8] = {0, 0, 0x4E, 0x20, 0, 0, 0x4E, 0x20};
    png.write(size, sizeof size);
    png.close();
    std::uint32_t width = 0, height = 0;
    ASSERT_TRUE(ReadPngHeaderSize(path.wstring(), width, height));
    EXPECT_EQ(width, 20000u);
    EXPECT_FALSE(IsHelpImageSizeSane(width, height));
    EXPECT_TRUE(IsHelpImageSizeSane(4096, 4096));
    EXPECT_FALSE(IsHelpImageSizeSane(8193, 1));

    frame->GetOutputView()->TextBox()->Clear();
    HelpImageCatalog catalog;
    catalog.LoadImages(Folder(), 4, {HelpImageCatalog::FilesOf(4, kUiLanguageEnglish)[0]});
    EXPECT_TRUE(catalog.Pictures(4).empty());
    EXPECT_NE(Log().find("failed to load help file " + Folder() + file + "\n"), wxString::npos);
}

TEST(AboutBox, LinkTargetsTheInstalledManualOfItsLanguageOnly) {
    const fs::path folder = fs::temp_directory_path() / "zentrik-about-manual-";
    fs::remove_all(folder);
    fs::create_directories(folder / "qvx/manual/jpn");
    std::ofstream(folder / "qvx/manual/jpn/index.html") << "<html></html>";
    const std::wstring programFolder = folder.wstring() + L"/";
    EXPECT_EQ(AboutManualTarget(programFolder, kUiLanguageJapanese),
              "file://" + wxString(folder.string()) + "/qvx/manual/jpn/index.html");
    EXPECT_EQ(AboutManualTarget(programFolder, kUiLanguageEnglish), "");
    fs::remove_all(folder);
}

TEST(ImageViewSize, DrawnToFitAndScrollRangesFollowTheDrawnSize) {
    EXPECT_EQ(ImageView::DrawnSize(wxSize(300, 500), wxSize(400, 400)), wxSize(240, 400));
    EXPECT_EQ(ImageView::DrawnSize(wxSize(300, 500), wxSize(600, 600)), wxSize(300, 500));
    EXPECT_EQ(ImageView::DrawnSize(wxSize(800, 200), wxSize(400, 400)), wxSize(400, 100));
    EXPECT_EQ(ImageView::DrawnSize(wxSize(800, 800), wxSize(400, 200)), wxSize(200, 200));

    wxFrame* host = zentrik_test::ShowTestFrame(800, 700);
    auto* view = new ImageView(host);
    view->SetPosition(wxPoint(0, 0));
    // The bars' widths are known only once they are realized.
    const auto clientOf = [view](int side) {
        return zentrik_test::WaitUntil([view, side] {
            view->SetClientSize(side, side);
            return view->GetClientSize() == wxSize(side, side);
        });
    };
    ASSERT_TRUE(clientOf(400));
    const wxImage picture(300, 500);
    view->SetImage(&picture);
    EXPECT_EQ(view->DrawnSize(), wxSize(240, 400));
    EXPECT_LE(view->GetScrollRange(wxVERTICAL), view->GetScrollThumb(wxVERTICAL));
    EXPECT_LE(view->GetScrollRange(wxHORIZONTAL), view->GetScrollThumb(wxHORIZONTAL));
    ASSERT_TRUE(clientOf(600));
    EXPECT_EQ(view->DrawnSize(), wxSize(300, 500));
    EXPECT_EQ(view->GetScrollRange(wxVERTICAL), 500);
    EXPECT_EQ(view->GetScrollPos(wxVERTICAL), 0);
    host->Destroy();
}

}  // namespace
