#include "parts_ui/file_view.h"

#include <wx/dcclient.h>
#include <wx/menu.h>
#include <wx/settings.h>

#include <algorithm>

#include "app/command_ids.h"
#include "app/message_box.h"
#include "app/output_view.h"
#include "app/program_settings.h"
#include "parts_ui/file_tree_images.h"
#include "parts_ui/file_view_model.h"
#include "parts_ui/part_file_operations.h"
#include "parts_ui/part_name_rules.h"
#include "parts_ui/properties_view.h"
#include "platform/wide_string.h"
#include "resources/string_ids.h"
#include "resources/string_table.h"
#include "widget/controls.h"
#include "widget/drag_image.h"

namespace {

constexpr wxWindowID kNewPartButtonId = 1;
constexpr wxWindowID kExportButtonId = 2;
constexpr int kButtonStripHeight = 25;

// Part files are told from folders by their stored path alone: folder names may hold dots.
bool IsPartItem(const widget::WTreeItem& item) { return IsPartFileName(StoredPath(item)); }

bool IsRenamable(const widget::WTreeItem& item) { return (item.flags & widget::kItemMovable) != 0; }

std::wstring ParentFolder(const std::wstring& path) {
    return platform::PathToWide(platform::PathFromWide(path).parent_path());
}

// The items below a renamed folder keep pointing into it.
void ReplacePathPrefix(widget::WTreeItem& item, const std::wstring& oldPrefix,
                       const std::wstring& newPrefix) {
    for (const auto& row : item.rows) {
        if (row.empty() || !row[0]) continue;
        widget::WTreeItem& child = *row[0];
        const std::wstring& path = StoredPath(child);
        if (path.size() > oldPrefix.size() && path.compare(0, oldPrefix.size(), oldPrefix) == 0 &&
            path[oldPrefix.size()] == L'/') {
            child.value = widget::Variant::FromBstr(newPrefix + path.substr(oldPrefix.size()));
        }
        ReplacePathPrefix(child, oldPrefix, newPrefix);
    }
}

wxString AppTitle() { return wxString(resources::LoadText(resources::IDS_APP_TITLE)); }

}  // namespace

ViewTree::ViewTree(wxWindow* parent, wxWindowID id)
    : widget::WTreeCtrl(parent, id, wxDefaultPosition, wxDefaultSize,
                        wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_EDIT_LABELS | wxBORDER_NONE) {
    Bind(wxEVT_TREE_SEL_CHANGING, &ViewTree::OnSelChanging, this);
    Bind(wxEVT_TREE_BEGIN_LABEL_EDIT, &ViewTree::OnBeginLabelEdit, this);
    Bind(wxEVT_TREE_END_LABEL_EDIT, &ViewTree::OnEndLabelEdit, this);
    // The control drops its selection when the selected node goes and selects another node
    // of its own accord at the next idle time, before this window's idle event.
    Bind(wxEVT_TREE_DELETE_ITEM, [this](wxTreeEvent& event) {
        event.Skip();
        if (!GetSelection().IsOk()) selectionRemoved_ = true;
    });
    Bind(wxEVT_IDLE, [this](wxIdleEvent& event) {
        event.Skip();
        selectionRemoved_ = false;
    });
}

ViewTree::~ViewTree() {
    // The nodes go while this class's handlers can still see its members.
    notificationsEnabled = false;
    DeleteAllItems();
}

// A modal question inside the control's own notification would run while the control is
// half way through its click; so the change is refused here, asked about afterwards and
// made in code when it is allowed.
void ViewTree::OnSelChanging(wxTreeEvent& event) {
    if (selectingInCode_ || selectionRemoved_) return;
    const std::shared_ptr<widget::WTreeItem> item = NodeItem(event.GetItem());
    if (!item) return;
    event.Veto();
    const unsigned request = ++selectionRequest_;
    const std::weak_ptr<widget::WTreeItem> target = item;
    CallAfter([this, request, target] {
        if (request != selectionRequest_) return;
        if (const auto wanted = target.lock()) ChangeSelectionTo(wanted);
    });
}

bool ViewTree::ChangeSelectionTo(const std::shared_ptr<widget::WTreeItem>& item) {
    CancelPendingSelection();
    wxTreeItemId node = FindTreeItem(item.get());
    if (!node.IsOk()) return false;
    if (GetSelection() == node) return true;
    const boost::optional<bool> allowed = selectionChanging(item.get());
    if (allowed && !*allowed) return false;
    // The question may have given the tree time to change.
    node = FindTreeItem(item.get());
    if (!node.IsOk()) return false;
    selectingInCode_ = true;
    SelectItem(node);
    selectingInCode_ = false;
    return GetSelection() == node;
}

void ViewTree::OnBeginLabelEdit(wxTreeEvent& event) {
    const std::shared_ptr<widget::WTreeItem> item = NodeItem(event.GetItem());
    if (!item || !IsRenamable(*item)) event.Veto();
}

void ViewTree::RefuseLabel(const std::shared_ptr<widget::WTreeItem>& item,
                           const std::wstring& message) {
    const std::weak_ptr<widget::WTreeItem> edited = item;
    CallAfter([this, edited, message] {
        ShowMessageBox(message, AppTitle(), wxOK | wxICON_STOP);
        const auto again = edited.lock();
        if (!again) return;
        const wxTreeItemId node = FindTreeItem(again.get());
        if (node.IsOk()) EditLabel(node);
    });
}

void ViewTree::OnEndLabelEdit(wxTreeEvent& event) {
    const std::shared_ptr<widget::WTreeItem> item = NodeItem(event.GetItem());
    // Refused unless the rename below is made; the label then follows the item's text.
    event.Veto();
    if (event.IsEditCancelled() || !item || !IsRenamable(*item)) return;
    const std::wstring text = event.GetLabel().ToStdWstring();
    // A name with bytes that are not UTF-8 shows them as U+FFFD, which cannot give them back:
    // a label still holding one leaves the name as it is.
    if (text.find(L'\uFFFD') != std::wstring::npos && platform::HasEscapedBytes(item->text)) {
        return;
    }

    std::wstring message;
    if (!CheckPartFileName(text, message)) {
        RefuseLabel(item, message);
        return;
    }
    widget::WTreeItem* parent = item->parent;
    if (parent != nullptr && !(treeModel && parent == treeModel->root.get())) {
        for (const auto& row : parent->rows) {
            if (row.empty() || !row[0] || row[0] == item) continue;
            if (wxString(row[0]->text).CmpNoCase(wxString(text)) == 0) {
                RefuseLabel(item, resources::FormatString1(
                                      resources::LoadText(resources::IDS_PART_EXISTS), text));
                return;
            }
        }
    }
    if (text == item->text) return;

    // The stored path names the file as it is on disk, its extension's case included.
    const std::wstring oldPath = StoredPath(*item);
    std::wstring newPath = JoinPath(ParentFolder(oldPath), text);
    if (IsPartFileName(oldPath)) newPath += oldPath.substr(oldPath.size() - 4);
    if (!renameOnDisk_ || !renameOnDisk_(oldPath, newPath)) return;

    const std::wstring oldText = item->text;
    item->text = text;
    item->value = widget::Variant::FromBstr(newPath);
    ReplacePathPrefix(*item, oldPath, newPath);
    if (item->model != nullptr) {
        item->model->dataChanged(item.get());
    } else {
        OnItemDataChanged(item.get());
    }
    event.Allow();
    labelEdited(item.get(), oldText);
}

FileView::FileView(wxWindow* parent, wxWindowID id, PartFileOperations& operations,
                   ProgramSettings& settings)
    : wxPanel(parent, id), operations_(operations), settings_(settings) {
    CreateControls();

    treeConnections_.emplace_back(
        tree_->selChanged.connect([this](wxTreeItemId node) { OnSelectionChanged(node); }));
    treeConnections_.emplace_back(tree_->selectionChanging.connect(
        [this](widget::WTreeItem* item) { return OnSelectionChanging(item); }));
    tree_->renameOnDisk_ = [this](const std::wstring& oldPath, const std::wstring& newPath) {
        return RenameOnDisk(oldPath, newPath);
    };

    tree_->Bind(wxEVT_TREE_ITEM_RIGHT_CLICK, &FileView::OnContextMenu, this);
    tree_->Bind(wxEVT_LEFT_DOWN, &FileView::OnTreeLeftDown, this);
    // A press soon after another comes as the second click of a double click; it counts as
    // a click all the same.
    tree_->Bind(wxEVT_LEFT_DCLICK, &FileView::OnTreeLeftDown, this);
    tree_->Bind(wxEVT_TREE_BEGIN_DRAG, &FileView::OnBeginDrag, this);
    tree_->Bind(wxEVT_MOTION, &FileView::OnMouseMove, this);
    tree_->Bind(wxEVT_TREE_END_DRAG, &FileView::OnEndDrag, this);
    tree_->Bind(wxEVT_MOUSE_CAPTURE_LOST, [this](wxMouseCaptureLostEvent& event) {
        event.Skip();
        EndDrag();
    });

    Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnRename(); }, WxId(ID_RENAME));
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { operations_.NewFolder(); }, WxId(ID_NEW_FOLDER));
    Bind(wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& event) { event.Enable(IsRenamableSelected()); },
         WxId(ID_RENAME));
    Bind(wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& event) { event.Enable(IsFolderSelected()); },
         WxId(ID_NEW_FOLDER));

    Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        event.Skip();
        AdjustLayout();
        Refresh();
    });
    Bind(wxEVT_PAINT, &FileView::OnPaint, this);
    Bind(wxEVT_SET_FOCUS, &FileView::OnSetFocus, this);
    AdjustLayout();
}

FileView::~FileView() = default;

// The tree is made first, so that the pane's focus goes to it rather than to a button.
void FileView::CreateControls() {
    tree_ = new ViewTree(this, 4);
    tree_->AssignImageList(MakeFileTreeImages());

    newPart_ = new widget::WButton(this, kNewPartButtonId,
                                   resources::LoadText(resources::IDS_FILE_VIEW_NEW_PART));
    newPart_->clicked.connect([this] { operations_.NewPart(); });
    export_ = new widget::WButton(this, kExportButtonId,
                                  resources::LoadText(resources::IDS_FILE_VIEW_EXPORT));
    export_->clicked.connect([this] { operations_.Export(); });

    // The toolkit's menu font is its GUI font here; GTK reports no change of it, so it is
    // set once.
    const wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    newPart_->SetFont(font);
    export_->SetFont(font);
}

void FileView::AdjustLayout() {
    if (tree_ == nullptr || newPart_ == nullptr || export_ == nullptr) return;
    const wxSize client = GetClientSize();
    const int half = client.x / 2;
    newPart_->SetSize(0, 0, half, kButtonStripHeight);
    export_->SetSize(half, 0, client.x - half, kButtonStripHeight);
    tree_->SetSize(1, kButtonStripHeight + 1, std::max(0, client.x - 2),
                   std::max(0, client.y - kButtonStripHeight - 2));
}

void FileView::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    wxRect frame = tree_->GetRect();
    frame.Inflate(1);
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW)));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRectangle(frame);
}

void FileView::OnSetFocus(wxFocusEvent& event) {
    event.Skip();
    tree_->SetFocus();
}

void FileView::SetModel(std::shared_ptr<FileViewModel> model) {
    model_ = model;
    tree_->SetModel(model);
    tree_->Rebuild();
    tree_->ExpandAll();
}

std::shared_ptr<widget::WTreeItem> FileView::SelectedItem() const {
    return tree_->NodeItem(tree_->GetSelection());
}

std::shared_ptr<widget::WTreeItem> FileView::LastOpened() const {
    if (settings_.CurrentPartPath.empty()) return nullptr;
    return lastOpened_.lock();
}

bool FileView::IsOpenPart(const widget::WTreeItem& item) const {
    if (&item == LastOpened().get()) return true;
    // A move gives the open part a new item; its stored path still names the open part.
    return !settings_.CurrentPartPath.empty() && StoredPath(item) == settings_.CurrentPartPath;
}

std::wstring FileView::GetSelectedFolder() const {
    const auto item = SelectedItem();
    if (!item) return {};
    const std::wstring& path = StoredPath(*item);
    return IsPartFileName(path) ? ParentFolder(path) : path;
}

bool FileView::IsFolderSelected() const {
    const auto item = SelectedItem();
    return item && !IsPartItem(*item);
}

std::wstring FileView::GetSelectedPath() const {
    const auto item = SelectedItem();
    return item ? StoredPath(*item) : std::wstring();
}

bool FileView::IsRenamableSelected() const {
    const auto item = SelectedItem();
    return item && IsRenamable(*item);
}

void FileView::SelectItemByPath(const std::wstring& path) {
    const wxTreeItemId node = FindItemByPath(path);
    if (!node.IsOk()) return;
    if (const auto item = tree_->NodeItem(node)) tree_->ChangeSelectionTo(item);
}

wxTreeItemId FileView::FindItemByPath(const std::wstring& path) const {
    const wxTreeItemId root = tree_->GetRootItem();
    if (!root.IsOk()) return {};
    std::vector<wxTreeItemId> stack{root};
    while (!stack.empty()) {
        const wxTreeItemId node = stack.back();
        stack.pop_back();
        if (node != root) {
            const auto item = tree_->NodeItem(node);
            if (item && StoredPath(*item) == path) return node;
        }
        std::vector<wxTreeItemId> children;
        wxTreeItemIdValue cookie;
        for (wxTreeItemId child = tree_->GetFirstChild(node, cookie); child.IsOk();
             child = tree_->GetNextChild(node, cookie)) {
            children.push_back(child);
        }
        stack.insert(stack.end(), children.rbegin(), children.rend());
    }
    return {};
}

void FileView::OnRename() {
    const wxTreeItemId node = tree_->GetSelection();
    const auto item = tree_->NodeItem(node);
    if (item && IsRenamable(*item)) tree_->EditLabel(node);
}

bool FileView::OnSelectionChanging(widget::WTreeItem* item) {
    if (item == nullptr || !SelectedItem()) return true;
    // Asked in every case, folders included: asking ends an open edit of the grid.
    PropertiesView* properties = operations_.Properties;
    const bool modified = properties != nullptr && properties->IsModified();
    if (!IsPartItem(*item) || IsOpenPart(*item) || !modified) return true;
    const std::wstring name =
        platform::PathToWide(platform::PathFromWide(settings_.CurrentPartPath).stem());
    const int answer = ShowMessageBox(
        resources::FormatString1(resources::LoadText(resources::IDS_PART_MODIFIED_OVERWRITE), name),
        AppTitle(), wxYES_NO | wxCANCEL | wxICON_QUESTION);
    if (answer == wxCANCEL) return false;
    // No leaves the grid alone: the part about to open replaces its model.
    if (answer == wxYES) return properties->Save();
    return true;
}

void FileView::OnSelectionChanged(const wxTreeItemId& node) {
    if (tree_->selectionRemoved_) {
        // The control chose a neighbour of the removed node of its own accord, which opens
        // nothing: the selection goes back to what is open, or to none.
        if (!tree_->selectingInCode_) CallAfter(&FileView::SelectOpenPart);
        return;
    }
    const auto item = tree_->NodeItem(node);
    if (!item || !IsPartItem(*item)) return;
    const bool alreadyOpen = IsOpenPart(*item);
    lastOpened_ = item;
    if (!alreadyOpen) OpenPart(item);
}

void FileView::SelectOpenPart() {
    wxTreeItemId node;
    if (const auto open = LastOpened()) node = tree_->FindTreeItem(open.get());
    if (!node.IsOk() && !settings_.CurrentPartPath.empty())
        node = FindItemByPath(settings_.CurrentPartPath);
    // The hidden root stands for no selection; the control would select a node otherwise.
    if (!node.IsOk()) node = tree_->GetRootItem();
    if (!node.IsOk() || tree_->GetSelection() == node) return;
    tree_->CancelPendingSelection();
    tree_->selectingInCode_ = true;
    tree_->SelectItem(node);
    tree_->selectingInCode_ = false;
}

bool FileView::RenameOnDisk(const std::wstring& oldPath, const std::wstring& newPath) {
    if (operations_.CheckChangedOnDisk(oldPath) == PartFileChoice::Cancelled) return false;
    std::wstring line;
    const bool renamed = settings_.RenamePartFile(oldPath, newPath, line);
    if (!line.empty()) {
        LogToOutput("%s", line);
    } else if (!renamed) {
        LogToOutput("failed to rename %s: it does not exist", oldPath);
    }
    return renamed;
}

// Only a mouse click on an item opens the menu; the keyboard's menu key and clicks on
// empty space are left to the window's default handling.
void FileView::OnContextMenu(wxTreeEvent& event) {
    const auto item = tree_->NodeItem(event.GetItem());
    if (!item) {
        event.Skip();
        return;
    }
    // The control asked to select the item already; that request is taken over here so
    // the question comes once and the menu follows the answer.
    tree_->CancelPendingSelection();
    const std::weak_ptr<widget::WTreeItem> clicked = item;
    const wxPoint point = event.GetPoint();
    CallAfter([this, clicked, point] {
        const auto target = clicked.lock();
        // A refused change leaves another item selected, which the menu must not act on.
        if (!target || !tree_->ChangeSelectionTo(target)) return;
        tree_->SetFocus();
        ShowContextMenu(point);
    });
}

void FileView::ShowContextMenu(const wxPoint& treePoint) {
    wxMenu menu;
    menu.Append(WxId(ID_DELETE), resources::LoadText(resources::IDS_EXPLORER_DELETE));
    menu.Append(WxId(ID_RENAME), resources::LoadText(resources::IDS_EXPLORER_RENAME));
    menu.AppendSeparator();
    menu.Append(WxId(ID_NEW_FOLDER), resources::LoadText(resources::IDS_EXPLORER_NEW_FOLDER));
    // The toolkit shows a popup menu without asking its owner first.
    menu.UpdateUI(GetEventHandler());
    PopupMenu(&menu, tree_->GetPosition() + treePoint);
}

void FileView::OnTreeLeftDown(wxMouseEvent& event) {
    int flags = 0;
    pressedNode_ = tree_->HitTest(event.GetPosition(), flags);
    const auto item = tree_->NodeItem(pressedNode_);
    const bool onLabel = (flags & (wxTREE_HITTEST_ONITEMLABEL | wxTREE_HITTEST_ONITEMICON)) != 0;
    // A click on the selected row would start renaming it; on a part that is not open (its
    // opening failed, or the tree was rebuilt) it opens the part instead.
    if (onLabel && item && pressedNode_ == tree_->GetSelection() && IsPartItem(*item) &&
        !IsOpenPart(*item)) {
        tree_->SetFocus();
        const std::weak_ptr<widget::WTreeItem> clicked = item;
        CallAfter([this, clicked] {
            // The second click of a double click may come before the first one's opening.
            const auto part = clicked.lock();
            if (!part || IsOpenPart(*part) || !OnSelectionChanging(part.get())) return;
            lastOpened_ = part;
            OpenPart(part);
        });
        return;
    }
    event.Skip();
}

// The control reports the drag on its current node, which need not be the one pressed
// while a selection change waits for its answer; the pressed node is the dragged one.
void FileView::OnBeginDrag(wxTreeEvent& event) {
    const wxTreeItemId node = pressedNode_.IsOk() ? pressedNode_ : event.GetItem();
    const auto item = tree_->NodeItem(node);
    // Type folders cannot move: only what may be renamed may be dragged.
    if (!item || !IsRenamable(*item)) return;
    dragImage_ = widget::DragImage::OfTreeNode(tree_, node);
    if (dragImage_ == nullptr) return;
    dragImage_->FollowPointer(wxGetMousePosition());
    // The control hides its selection for the drag and marks that node again when the
    // drag ends; a selection change still waiting for the press would mark a second row
    // that stays marked.
    tree_->CancelPendingSelection();
    event.Allow();
    dragged_ = item;
    dragging_ = true;
}

void FileView::SetDropTarget(const wxTreeItemId& node) {
    if (node == dropTarget_) return;
    if (dropTarget_.IsOk()) tree_->SetItemDropHighlight(dropTarget_, false);
    dropTarget_ = node;
    if (dropTarget_.IsOk()) tree_->SetItemDropHighlight(dropTarget_, true);
}

// While dragging, the mark is ours: the control would mark any node under the cursor.
void FileView::OnMouseMove(wxMouseEvent& event) {
    if (!dragging_) {
        event.Skip();
        return;
    }
    if (dragImage_ != nullptr)
        dragImage_->FollowPointer(tree_->ClientToScreen(event.GetPosition()));
    SetDropTarget(FolderNodeAt(event.GetPosition()));
}

wxTreeItemId FileView::FolderNodeAt(const wxPoint& treePoint) const {
    int flags = 0;
    const wxTreeItemId node = tree_->HitTest(treePoint, flags);
    const auto item = tree_->NodeItem(node);
    return item && !IsPartItem(*item) ? node : wxTreeItemId();
}

void FileView::EndDrag() {
    dragging_ = false;
    if (dragImage_ != nullptr) dragImage_->Destroy();
    dragImage_ = nullptr;
    SetDropTarget(wxTreeItemId());
    pressedNode_ = wxTreeItemId();
}

void FileView::OnEndDrag(wxTreeEvent& event) {
    if (!dragging_) return;
    const auto source = dragged_.lock();
    dragged_.reset();
    const auto target = tree_->NodeItem(FolderNodeAt(event.GetPoint()));
    EndDrag();
    // The mark goes at once, not when the tree next paints.
    tree_->Update();
    if (!source || !target || target == source) return;
    // After the control has let the mouse go: a message box opened while it still holds
    // the pointer waits for the grab to end.
    const std::weak_ptr<widget::WTreeItem> moved = source;
    const std::weak_ptr<widget::WTreeItem> into = target;
    CallAfter([this, moved, into] {
        const auto part = moved.lock();
        const auto folder = into.lock();
        if (part && folder) operations_.MovePartFile(part, folder);
    });
}
