#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <boost/signals2/connection.hpp>

#include <wx/aui/framemanager.h>
#include <wx/bitmap.h>
#include <wx/frame.h>

#include "shell/pane_layout.h"
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

namespace widget {
class WTreeItem;
class WTreeItemModel;
}  // namespace widget

// One row of the components pane: the string-table id of its display name and the
// component key that the preview matches against the model's group names.
struct ComponentEntry {
    std::uint32_t id;
    std::string key;
};

// The picture of one of the program's PNG icons; an empty bitmap when it cannot be decoded.
wxBitmap IconBitmap(const unsigned char* bytes, std::size_t size);

// The program's one top-level window: the menu bar, the 3-D preview in the centre and the
// docking panes around it (file tree, properties, help, components, output).
class MainFrame : public wxFrame, public ShellFrame {
public:
    // `settings` and `operations` belong to the application and outlive the frame.
    // `highColorIcons` picks the high-colour images of the pane icons.
    MainFrame(ProgramSettings& settings, PartFileOperations& operations,
              bool highColorIcons = true);
    ~MainFrame() override;

    bool Show(bool show = true) override;

    // Floats the output pane at the client area's bottom-right on a first start, or restores
    // the saved layout. Call once the frame is shown: a hidden frame has no screen position.
    void ArrangeFloatingPanes();
    // Arranges them once the shown frame is placed on screen, for a frame just shown: under a
    // window manager Show returns before the manager has taken the frame, and a pane shown
    // then is placed from a position not yet known and is not kept above the frame.
    void ArrangeFloatingPanesWhenPlaced();
    // Puts the shown floating panes above the frame, leaving the keyboard focus where it is;
    // nothing unless the frame is active and no modal window of the program is open.
    void RaiseFloatingPanes();
    static bool IsModalWindowOpen();

    OutputView* GetOutputView() override { return output_; }
    void Reload() override;
    void SetPreviewModel(std::shared_ptr<const pkg::Group> root) override;
    bool HasPreview() const override { return preview_ != nullptr; }

    // Empties the component table and fills it with the components of the package type
    // `typeName`, compared exactly; an unknown name gets the lead-frame list.
    void ComponentKeysForType(const std::string& typeName) override;
    const std::vector<ComponentEntry>& ComponentTable() const { return componentTable_; }
    // A model of the component table: per entry one top-level item, its text in the UI
    // language, its value the id (VT_UINT), not ticked.
    std::shared_ptr<widget::WTreeItemModel> MakeComponentsModel() const;
    // Shows a new model of the component table in the components pane, follows its
    // check boxes and ticks every component.
    void BuildComponentsTree() override;
    void ClearComponentsTree() override;
    // The ticked top-level items of `model` in row order; none for no model.
    static std::vector<std::shared_ptr<widget::WTreeItem>> TickedComponentItems(
        const widget::WTreeItemModel* model);
    // The keys of the ticked items, by the first table entry with the item's id; an item
    // whose value is no id of the table adds nothing.
    std::vector<std::string> CollectTickedComponentKeys(const widget::WTreeItemModel* model) const;
    // The slots on the components model's data-changed signal.
    void UpdateVisibleComponents(widget::WTreeItem* changed);
    void PostPreviewPaint(widget::WTreeItem* changed);

    PaneLayout& Docking() { return manager_; }
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
    void KeepNormalRect();
    void KeepNormalRectLater();
    void SaveLayout();
    wxWindow* PaneOfCommand(int commandId) const;

    void OnClose(wxCloseEvent& event);
    void OnActivate(wxActivateEvent& event);
    void OnSysColourChanged(wxSysColourChangedEvent& event);
    void OnViewPane(int commandId);
    void OnUpdateViewPane(wxUpdateUIEvent& event, int commandId);
    void SetMouseMode(int mode);
    void SetOneButtonOperation(int operation);

    ProgramSettings& settings_;
    PartFileOperations& operations_;
    PaneLayout manager_;
    PreviewView* preview_ = nullptr;
    PartsView* components_ = nullptr;
    FileView* files_ = nullptr;
    HelpView* help_ = nullptr;
    OutputView* output_ = nullptr;
    PropertiesView* properties_ = nullptr;
    std::vector<ComponentEntry> componentTable_;
    // The components model's slots; dropped with the frame or when the next model comes.
    std::vector<boost::signals2::scoped_connection> componentConnections_;
    wxRect normalRect_;
    bool normalRectPending_ = false;
    bool floatingArranged_ = false;
    bool closing_ = false;
};
