#pragma once

#include <functional>
#include <memory>
#include <string>

#include <wx/app.h>

class HelpImageCatalog;
class MainFrame;
class PartFileOperations;
class ProgramSettings;

// The application object: owns the program settings and the part-file operations, runs
// the start-up sequence that ends with the main window on screen, and saves the settings
// when a run that started ends cleanly.
class TrelvoApp : public wxApp {
public:
    TrelvoApp();
    ~TrelvoApp() override;

    bool OnInit() override;
    int OnExit() override;
    // Keeps the main frame's floating panes above it when a click brings the frame forward.
    int FilterEvent(wxEvent& event) override;

    // The main frame while it exists.
    MainFrame* Frame() const;

    int HighColorIcons = 1;
    std::unique_ptr<ProgramSettings> Settings;
    std::unique_ptr<PartFileOperations> PartOperations;
    // Freed at exit, once no window can paint a picture any more.
    std::unique_ptr<HelpImageCatalog> HelpImages;
    int UiLanguage = 17;

private:
    void BindCommands();
    void OnAppAbout();
    // Start-up care for what an earlier run left: a settings file that could not be read
    // is renamed aside (with a line in the output pane), and temporaries of killed runs
    // are removed.
    void KeepUnusableSettingsAside();
    void RemoveStaleTemporaries();
    // At exit, with no output pane left: a message box, and the same text on standard error.
    void ReportFailedSettingsSave() const;

    bool started_ = false;
};

// Binds the file-tree commands (New Part, Export, New Folder, Delete, Rename) and the
// enabling of New Folder, Delete and Rename on `handler`; `frame` gives the main frame
// while it exists. `operations` outlives the handler.
void BindFileCommands(wxEvtHandler& handler, PartFileOperations& operations,
                      std::function<MainFrame*()> frame);

// The about box in the UI language `language` (17 Japanese, 9 English): the program's
// name and version, and a link to the installed manual when there is one.
void ShowAboutDialog(wxWindow* parent, int language);

// The file URL of the manual's start page in `language` below `programFolder` (ending with
// '/'); empty when that page is not installed.
wxString AboutManualTarget(const std::wstring& programFolder, int language);

// "Zentrik_Du64 Version " followed by the program's version.
wxString AboutVersionText();
