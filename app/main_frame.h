#pragma once

#include <memory>
#include <string>

#include <wx/aui/framemanager.h>
#include <wx/frame.h>

#include "app/shell_frame.h"

class FileView;
class HelpView;
class OutputView;
class PartFileOperations;
class PartsView;
class PreviewView;
class ProgramSettings;
class PropertiesView;
class wxUpdateUIEvent;

// The program's one top-level window: the menu bar, the 3-D preview in the centre and the
// docking panes around it (file tree, properties, help, components, output).
class MainFrame : public wxFrame, public ShellFrame {
public:
    // `settings` and `operations` belong to the application and outlive the frame.
    // `highColorIcons` picks the high-colour images of the pane icons.
    MainFrame(ProgramSettings& settings, PartFileOperations& operations,
              bool highColorIcons = true);
    ~MainFrame() override;

    // Floats the output pane at the client area's bottom-right on a first start, or restores
    // the saved layout. Call once the frame is shown: a hidden frame has no screen position.
    void ArrangeFloatingPanes();

    OutputView* GetOutputView() override { return output_; }
    void Reload() override;
    void SetPreviewModel(std::shared_ptr<const pkg::Group> root) override;

    wxAuiManager& Docking() { return manager_; }
    PreviewView* Preview() const { return preview_; }
    FileView* Files() const { return files_; }
    PropertiesView* Properties() const { return properties_; }
    HelpView* Help() const { return help_; }
    PartsView* Components() const { return components_; }

    // The registry values under the product key that keep the window's place and layout.
    static const wchar_t kRectValue[];
    static const wchar_t kLayoutValue[];

private:
    void BuildMenuBar();
    void CreateDockingWindows(bool highColorIcons);
    void RestoreRectangle();
    void SaveLayout();
    wxWindow* PaneOfCommand(int commandId) const;

    void OnClose(wxCloseEvent& event);
    void OnSysColourChanged(wxSysColourChangedEvent& event);
    void OnViewPane(int commandId);
    void OnUpdateViewPane(wxUpdateUIEvent& event, int commandId);
    void SetMouseMode(int mode);
    void SetOneButtonOperation(int operation);

    ProgramSettings& settings_;
    PartFileOperations& operations_;
    wxAuiManager manager_;
    PreviewView* preview_ = nullptr;
    PartsView* components_ = nullptr;
    FileView* files_ = nullptr;
    HelpView* help_ = nullptr;
    OutputView* output_ = nullptr;
    PropertiesView* properties_ = nullptr;
};
