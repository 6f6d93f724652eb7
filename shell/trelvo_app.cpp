#include "shell/trelvo_app.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/filename.h>
#include <wx/filesys.h>
#include <wx/hyperlink.h>
#include <wx/log.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "app/command_ids.h"
#include "app/help_image_catalog.h"
#include "app/home_folder.h"
#include "app/message_box.h"
#include "app/output_view.h"
#include "shell/geometry_dump.h"
#include "shell/main_frame.h"
#include "shell/program_configurations.h"
#include "app/program_settings.h"
#include "app/sample_parts.h"
#include "app/ui_language.h"
#include "export/compact_computation.h"
#include "export/exporter/cab_exporter.h"
#include "parts_ui/file_view.h"
#include "parts_ui/file_view_model.h"
#include "parts_ui/part_file_operations.h"
#include "platform/temp_files.h"
#include "platform/wide_string.h"
#include "resources/icons.h"
#include "resources/string_ids.h"
#include "resources/string_table.h"

namespace {

constexpr wxWindowID kAboutVersionId = 1023;
constexpr wxWindowID kAboutLinkId = 1022;
constexpr char kVersion[] = "2020.00001.20261209";

}  // namespace

TrelvoApp::TrelvoApp()
    : Settings(std::make_unique<ProgramSettings>()),
      PartOperations(std::make_unique<PartFileOperations>()),
      HelpImages(std::make_unique<HelpImageCatalog>()) {
    SetAppName("Zentrik_Du64");
}

TrelvoApp::~TrelvoApp() = default;

MainFrame* TrelvoApp::Frame() const { return dynamic_cast<MainFrame*>(GetTopWindow()); }

bool TrelvoApp::OnInit() {
    // Errors of wx's file and configuration classes go to standard error, never to a
    // modal box nobody asked for.
    delete wxLog::SetActiveTarget(new wxLogStderr);

    UiLanguage = ChooseUiLanguage(GetProgramFolder(), UserDefaultLanguageId());
    SetUILanguage(UiLanguage);
    LoadToolkitTranslations(UiLanguage);
    // GTK reads its own texts (stock buttons, choosers) through LC_MESSAGES, which wx never
    // sets; only that category changes, and numbers never follow the locale.
    SetMessagesLocale(UiLanguage);

    std::vector<std::wstring> homeNotes;
    Settings->HomeFolder = InitHomeDirectory(&homeNotes);
    const SettingsFileState settingsFile = Settings->Load();

    auto* frame = new MainFrame(*Settings, *PartOperations, HighColorIcons != 0);
    SetTopWindow(frame);
    BindCommands();
    HelpImages->Build();
    PartOperations->HelpImages = HelpImages.get();

    try {
        if (settingsFile == SettingsFileState::Missing) {
            InstallSamples(Settings->PartsFolder);
            frame->Reload();
        }
    } catch (const std::exception&) {
        // A settings file whose state cannot be read: start without the samples.
    }

    if (settingsFile == SettingsFileState::Unusable) KeepUnusableSettingsAside();
    if (const std::wstring line = RefusedProductKeyLine(); !line.empty()) LogToOutput("%s", line);
    for (const std::wstring& line : homeNotes) LogToOutput("%s", line);
    RemoveStaleTemporaries();

    frame->Show();
    frame->Update();
    frame->ArrangeFloatingPanesWhenPlaced();
    StartGeometryDumpIfAsked(*this);
    started_ = true;
    return true;
}

void TrelvoApp::KeepUnusableSettingsAside() {
    const std::wstring aside = Settings->KeepUnusableFileAside();
    if (!aside.empty()) {
        LogToOutput("settings file could not be read, defaults are used; it was kept as %s",
                    aside);
    } else {
        LogToOutput("settings file could not be read, defaults are used; %s is left as it "
                    "is and the settings are not saved over it",
                    Settings->GetFilePath());
    }
}

void TrelvoApp::RemoveStaleTemporaries() {
    // Only names our own writers give, and only those whose process has ended: the hidden
    // temporaries beside the settings file, part files and cabinets, the export's staging
    // folders and the solver's input files in the temporary folder.
    platform::RemoveStaleTemporariesBeside(platform::PathFromWide(Settings->GetFilePath()));
    platform::RemoveStaleTemporaries(
        platform::PathFromWide(Settings->PartsFolder), kMaxScanDepth + 1,
        [](std::string_view prefix, bool is_folder) {
            return !is_folder && platform::IsBesideFilePrefixOf(prefix, {".qvx"});
        });
    // Cabinets and their list files lie in the export folder itself, never below it.
    platform::RemoveStaleTemporaries(
        platform::PathFromWide(Settings->ExportFolder), 0,
        [](std::string_view prefix, bool is_folder) {
            return !is_folder && platform::IsBesideFilePrefixOf(prefix, {".cab", ".cab.l"});
        });
    platform::RemoveStaleTemporaries(
        platform::TempDirectory(), 0, [](std::string_view prefix, bool is_folder) {
            return is_folder ? pkg::exporter::IsTempExportFolderPrefix(prefix)
                             : prefix == pkg::kSolverInputPrefix;
        });
}

void TrelvoApp::ReportFailedSettingsSave() const {
    const std::wstring text = resources::FormatString1(
        resources::LoadText(resources::IDS_SETTINGS_SAVE_FAILED), Settings->GetFilePath());
    std::fprintf(stderr, "%s\n", platform::WideToUtf8(text).c_str());
    ShowMessageBox(text, resources::LoadText(resources::IDS_APP_TITLE), wxOK | wxICON_ERROR);
}

int TrelvoApp::OnExit() {
    if (started_ && !Settings->Save()) ReportFailedSettingsSave();
    PartOperations->HelpImages = nullptr;
    HelpImages.reset();
    return wxApp::OnExit();
}

int TrelvoApp::FilterEvent(wxEvent& event) {
    const wxEventType type = event.GetEventType();
    if (type == wxEVT_LEFT_DOWN || type == wxEVT_MIDDLE_DOWN || type == wxEVT_RIGHT_DOWN) {
        // A window manager raises the frame on the click, before the program sees it.
        MainFrame* frame = Frame();
        auto* window = wxDynamicCast(event.GetEventObject(), wxWindow);
        if (frame != nullptr && window != nullptr && wxGetTopLevelParent(window) == frame)
            frame->CallAfter(&MainFrame::RaiseFloatingPanes);
    }
    return Event_Skip;
}

void TrelvoApp::BindCommands() {
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnAppAbout(); }, WxId(ID_APP_ABOUT));
    Bind(wxEVT_MENU,
         [this](wxCommandEvent&) {
             // A reload reopens the part from its file: unsaved values would go unasked.
             MainFrame* frame = Frame();
             if (frame != nullptr && PartOperations->CheckSaveModifiedPart()) frame->Reload();
         },
         WxId(ID_REFRESH));
    Bind(wxEVT_MENU,
         [this](wxCommandEvent&) { RunProgramConfigurations(Frame(), *Settings, *PartOperations); },
         WxId(ID_PROGRAM_CONFIGURATIONS));
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { OpenManual(UiLanguage); }, WxId(ID_MANUAL));
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { OpenUsersGuide(UiLanguage); },
         WxId(ID_USERS_GUIDE));
    BindFileCommands(*this, *PartOperations, [this] { return Frame(); });
}

void BindFileCommands(wxEvtHandler& handler, PartFileOperations& operations,
                      std::function<MainFrame*()> frame) {
    PartFileOperations* ops = &operations;
    handler.Bind(wxEVT_MENU, [ops](wxCommandEvent&) { ops->NewPart(); }, WxId(ID_NEW_PART));
    handler.Bind(wxEVT_MENU, [ops](wxCommandEvent&) { ops->Export(); }, WxId(ID_EXPORT));
    handler.Bind(wxEVT_MENU, [ops](wxCommandEvent&) { ops->NewFolder(); }, WxId(ID_NEW_FOLDER));
    handler.Bind(wxEVT_MENU,
                 [ops, frame](wxCommandEvent&) {
                     MainFrame* main = frame();
                     if (main != nullptr && main->Files()->IsRenamableSelected())
                         ops->DeletePartFile(main->Files()->GetSelectedPath());
                 },
                 WxId(ID_DELETE));
    handler.Bind(wxEVT_MENU,
                 [ops](wxCommandEvent&) {
                     if (ops->Files != nullptr) ops->Files->OnRename();
                 },
                 WxId(ID_RENAME));
    handler.Bind(wxEVT_UPDATE_UI,
                 [frame](wxUpdateUIEvent& event) {
                     MainFrame* main = frame();
                     event.Enable(main != nullptr && main->Files()->IsFolderSelected());
                 },
                 WxId(ID_NEW_FOLDER));
    for (int command : {ID_DELETE, ID_RENAME}) {
        handler.Bind(wxEVT_UPDATE_UI,
                     [frame](wxUpdateUIEvent& event) {
                         MainFrame* main = frame();
                         event.Enable(main != nullptr && main->Files()->IsRenamableSelected());
                     },
                     WxId(command));
    }
}

void TrelvoApp::OnAppAbout() { ShowAboutDialog(GetTopWindow(), UiLanguage); }

wxString AboutVersionText() {
    return wxString::Format("%s Version %s", "Zentrik_Du64", kVersion);
}

wxString AboutManualTarget(const std::wstring& programFolder, int language) {
    const std::filesystem::path page =
        platform::PathFromWide(ManualPath(programFolder, language));
    std::error_code error;
    if (!std::filesystem::is_regular_file(page, error)) return wxString();
    return wxFileSystem::FileNameToURL(wxFileName(wxString::FromUTF8(page.string())));
}

void ShowAboutDialog(wxWindow* parent, int language) {
    wxDialog dialog(parent, wxID_ANY, wxString(resources::LoadText(resources::IDS_ABOUT_TITLE)));
    auto* top = new wxBoxSizer(wxHORIZONTAL);
    top->Add(new wxStaticBitmap(&dialog, wxID_ANY,
                                IconBitmap(resources::kIcon128, resources::kIcon128Size)),
             0, wxALL, 10);
    auto* texts = new wxBoxSizer(wxVERTICAL);
    texts->Add(new wxStaticText(&dialog, wxID_ANY, "Zentrik V2020"), 0, wxBOTTOM, 4);
    texts->Add(new wxStaticText(&dialog, kAboutVersionId, AboutVersionText()), 0, wxBOTTOM, 4);
    const wxString manual = AboutManualTarget(GetProgramFolder(), language);
    if (!manual.empty()) {
        auto* link = new wxHyperlinkCtrl(
            &dialog, kAboutLinkId,
            wxString(resources::LoadText(resources::IDS_ABOUT_MANUAL_LINK)), manual);
        // Opened as the Manual command opens it, so a failed launch is said in the output.
        link->Bind(wxEVT_HYPERLINK, [language](wxHyperlinkEvent&) { OpenManual(language); });
        texts->Add(link);
    }
    top->Add(texts, 1, wxALL, 10);
    auto* buttons = new wxBoxSizer(wxVERTICAL);
    buttons->Add(new wxButton(&dialog, wxID_OK), 0, wxALL, 10);
    top->Add(buttons);
    dialog.SetSizerAndFit(top);
    // Placed by us, over the middle of the main window: without a window manager nothing
    // else would place it, and with one it would be left wherever the manager chose.
    dialog.CentreOnParent();
    dialog.ShowModal();
}
