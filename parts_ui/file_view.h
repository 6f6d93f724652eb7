#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <boost/signals2/connection.hpp>
#include <boost/signals2/signal.hpp>
#include <wx/panel.h>

#include "parts_ui/property_model.h"
#include "widget/tree_ctrl.h"

class FileViewModel;
class PartFileOperations;
class ProgramSettings;

namespace widget {
class DragImage;
class WButton;
}

// The file tree's control: a tree of the parts folder whose labels can be edited in place.
// A label edit is checked against the part-name rules and the names beside it before it
// is taken; selecting another item can be refused by a listener.
class ViewTree : public widget::WTreeCtrl {
public:
    ViewTree(wxWindow* parent, wxWindowID id);
    ~ViewTree() override;

    // After an accepted label edit: the item (its text and stored path already new) and
    // its text before the edit.
    boost::signals2::signal<void(widget::WTreeItem*, const std::wstring&)> labelEdited;
    // Before the selection moves to the item; a false answer keeps the selection where it is.
    boost::signals2::signal<bool(widget::WTreeItem*)> selectionChanging;

private:
    friend class FileView;

    void OnSelChanging(wxTreeEvent& event);
    void OnBeginLabelEdit(wxTreeEvent& event);
    void OnEndLabelEdit(wxTreeEvent& event);
    // Asks the listeners (never from inside the control's own notification) and, when they
    // allow it, selects the item's node; true when the node is selected afterwards.
    bool ChangeSelectionTo(const std::shared_ptr<widget::WTreeItem>& item);
    // Drops a selection change that is still waiting to be asked about.
    void CancelPendingSelection() { ++selectionRequest_; }
    // Shows why a label was refused and edits it again, once the edit control is gone.
    void RefuseLabel(const std::shared_ptr<widget::WTreeItem>& item, const std::wstring& message);

    // Renames on disk; true when it did. The item changes only after that.
    std::function<bool(const std::wstring& oldPath, const std::wstring& newPath)> renameOnDisk_;
    // Set while the selection moves by our own SelectItem, which asks nobody.
    bool selectingInCode_ = false;
    // Set from the removal of the selected node until the next idle time, in which the
    // control selects a neighbour of its own accord; that change asks and opens nothing.
    bool selectionRemoved_ = false;
    // Numbers the deferred selection requests; only the newest one is carried out.
    unsigned selectionRequest_ = 0;
};

// The file-tree pane: "New Part" and "Export" above the tree of the parts folder.
// Selecting a part file opens it as the current part, after asking to save unsaved
// edits of the one that is open.
class FileView : public wxPanel {
public:
    // `operations` and `settings` belong to the application and outlive the pane.
    FileView(wxWindow* parent, wxWindowID id, PartFileOperations& operations,
             ProgramSettings& settings);
    ~FileView() override;

    // Shows `model` (the one the part-file operations keep in step with the disk), all
    // folders expanded.
    void SetModel(std::shared_ptr<FileViewModel> model);
    // The selected folder, or the folder of the selected part file; empty without a selection.
    std::wstring GetSelectedFolder() const;
    // A folder (not a part file) is selected.
    bool IsFolderSelected() const;
    // The stored path of the selected item; empty without a selection.
    std::wstring GetSelectedPath() const;
    // The selected item may be renamed, moved and deleted.
    bool IsRenamableSelected() const;
    // Selects the node of the item stored with exactly `path`, which opens a part file;
    // nothing when there is none.
    void SelectItemByPath(const std::wstring& path);
    // The node of the first item (depth first, a node before its children) whose stored
    // path equals `path` exactly; an invalid id when none.
    wxTreeItemId FindItemByPath(const std::wstring& path) const;
    // Starts editing the selected item's label.
    void OnRename();

    // Makes the part file of `item` the current part: loads it, shows its model in the
    // preview, its properties in the properties pane, its components and help pictures.
    // Folders and files no loader reads leave everything as it was.
    void OpenPart(const std::shared_ptr<widget::WTreeItem>& item);
    // Takes the grid's values into the current part when they pass the checks, rebuilds
    // its model and repaints the preview. Nothing without a current part.
    void ApplyPropertyChanges();
    // Takes the grid's values into the current part and writes its part file; false when
    // there is no current part or the file was not written (it then stays as it was).
    bool SavePart();

    // The current part's type name ("pbga", "qfp", "TO-263", ...), empty when none was opened.
    const std::string& CurrentTypeName() const { return currentTypeName_; }
    // The value items of the current part's property model by key.
    const parts_ui::PropertyItemIndex& CurrentItemIndex() const { return currentItemIndex_; }

    ViewTree* Tree() const { return tree_; }
    widget::WButton* NewPartButton() const { return newPart_; }
    widget::WButton* ExportButton() const { return export_; }

    // The parts folder the tree shows, ending with '/'.
    std::wstring RootFolder;

private:
    void CreateControls();
    void AdjustLayout();
    void OnPaint(wxPaintEvent& event);
    void OnSetFocus(wxFocusEvent& event);
    bool OnSelectionChanging(widget::WTreeItem* item);
    void OnSelectionChanged(const wxTreeItemId& node);
    // Selects the open part's node, or no node when no part is open.
    void SelectOpenPart();
    bool RenameOnDisk(const std::wstring& oldPath, const std::wstring& newPath);
    void OnContextMenu(wxTreeEvent& event);
    void ShowContextMenu(const wxPoint& treePoint);
    void OnTreeLeftDown(wxMouseEvent& event);
    void OnBeginDrag(wxTreeEvent& event);
    void OnMouseMove(wxMouseEvent& event);
    void OnEndDrag(wxTreeEvent& event);
    // The folder node at a point of the tree; invalid over a part file or empty space.
    wxTreeItemId FolderNodeAt(const wxPoint& treePoint) const;
    void SetDropTarget(const wxTreeItemId& node);
    void EndDrag();
    // The selected node's item; null when nothing (or only the hidden root) is selected.
    std::shared_ptr<widget::WTreeItem> SelectedItem() const;
    // The last opened item while a part is open; null once the current part was cleared.
    std::shared_ptr<widget::WTreeItem> LastOpened() const;
    // `item` shows the part that is open now.
    bool IsOpenPart(const widget::WTreeItem& item) const;

    ViewTree* tree_ = nullptr;
    widget::WButton* newPart_ = nullptr;
    widget::WButton* export_ = nullptr;

    PartFileOperations& operations_;
    ProgramSettings& settings_;
    std::shared_ptr<FileViewModel> model_;
    // The item whose part was last opened from the tree; weak, so an item of a model that
    // was replaced never matches a new item at the same address.
    std::weak_ptr<widget::WTreeItem> lastOpened_;

    // The current part's property state, kept from one open to the next.
    std::string currentTypeName_;
    parts_ui::PropertyItemIndex currentItemIndex_;
    bool connected_ = false;
    std::vector<boost::signals2::scoped_connection> connections_;
    // The wiring-layer rule on the open BGA part's item model; replaced by the next open.
    boost::signals2::scoped_connection wiringConnection_;

    // The tree's selection signals, connected once for the pane's life.
    std::vector<boost::signals2::scoped_connection> treeConnections_;
    // Drag state: the node pressed last (the drag starts there), the dragged item and its
    // image while a drag runs, and the folder node marked as drop target.
    wxTreeItemId pressedNode_;
    std::weak_ptr<widget::WTreeItem> dragged_;
    widget::DragImage* dragImage_ = nullptr;
    bool dragging_ = false;
    wxTreeItemId dropTarget_;
};
