#include "widget/tree_ctrl.h"

#include <wx/dcmemory.h>
#include <wx/imaglist.h>
#include <wx/renderer.h>

namespace widget {

namespace {

// A node's link to the item it shows; weak, since the model may drop the item first.
class NodeData : public wxTreeItemData {
public:
    explicit NodeData(std::weak_ptr<WTreeItem> shown) : item(std::move(shown)) {}
    std::weak_ptr<WTreeItem> item;
};

constexpr int kStateClear = 0;
constexpr int kStateTicked = 1;

wxImageList* MakeCheckBoxImages(wxWindow* window) {
    const wxSize size = wxRendererNative::Get().GetCheckBoxSize(window);
    auto* images = new wxImageList(size.GetWidth(), size.GetHeight(), true);
    for (int state : {kStateClear, kStateTicked}) {
        wxBitmap bitmap(size);
        wxMemoryDC dc(bitmap);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        wxRendererNative::Get().DrawCheckBox(window, dc, wxRect(size),
                                             state == kStateTicked ? int(wxCONTROL_CHECKED) : 0);
        dc.SelectObject(wxNullBitmap);
        images->Add(bitmap);
    }
    return images;
}

}  // namespace

WTreeCtrl::WTreeCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                     long style) {
    Create(parent, id, pos, size, style);
}

WTreeCtrl::~WTreeCtrl() {
    modelConnections_.clear();
    // The nodes go while the signals still exist, reporting nothing.
    notificationsEnabled = false;
    DeleteAllItems();
}

bool WTreeCtrl::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                       long style) {
    if (!wxTreeCtrl::Create(parent, id, pos, size, style | wxTR_HIDE_ROOT)) return false;
    BindEvents();
    AddRoot(wxEmptyString);
    return true;
}

void WTreeCtrl::BindEvents() {
    Bind(wxEVT_TREE_SEL_CHANGED, [this](wxTreeEvent& event) {
        event.Skip();
        if (!notificationsEnabled) return;
        selChanged(event.GetItem());
        if (selectionModel) selectionModel->selectionChanged();
    });
    Bind(wxEVT_TREE_ITEM_EXPANDED, [this](wxTreeEvent& event) {
        event.Skip();
        itemExpanded(event.GetItem());
    });
    Bind(wxEVT_TREE_ITEM_EXPANDING, [this](wxTreeEvent& event) {
        event.Skip();
        itemExpanding(event.GetItem());
    });
    Bind(wxEVT_TREE_ITEM_COLLAPSED, [this](wxTreeEvent& event) {
        event.Skip();
        itemCollapsed(event.GetItem());
    });
    Bind(wxEVT_TREE_ITEM_COLLAPSING, [this](wxTreeEvent& event) {
        event.Skip();
        itemCollapsing(event.GetItem());
    });
    Bind(wxEVT_TREE_STATE_IMAGE_CLICK, &WTreeCtrl::OnStateImageClick, this);
    // A press soon after another comes as a double click, on which the control leaves the
    // expand button alone; it opens or closes the node as any click does.
    Bind(wxEVT_LEFT_DCLICK, [this](wxMouseEvent& event) {
        int flags = 0;
        const wxTreeItemId node = HitTest(event.GetPosition(), flags);
        if (!node.IsOk() || (flags & wxTREE_HITTEST_ONITEMBUTTON) == 0) {
            event.Skip();
            return;
        }
        Toggle(node);
    });
    Bind(wxEVT_TREE_KEY_DOWN, &WTreeCtrl::OnKeyDown, this);
    Bind(wxEVT_PAINT, [this](wxPaintEvent& event) {
        event.Skip();
        DrawControl();
    });
}

void WTreeCtrl::SetCheckBoxes(bool enable) {
    checkBoxes_ = enable;
    if (enable) {
        AssignStateImageList(MakeCheckBoxImages(this));
    } else {
        SetStateImageList(nullptr);
    }
}

wxTreeItemId WTreeCtrl::HiddenRoot() {
    wxTreeItemId root = GetRootItem();
    if (!root.IsOk()) root = AddRoot(wxEmptyString);
    return root;
}

void WTreeCtrl::SetModel(std::shared_ptr<WTreeItemModel> model) {
    modelConnections_.clear();
    treeModel = std::move(model);
    if (treeModel) {
        modelConnections_.emplace_back(treeModel->rowInserted.connect(
            [this](WTreeItem* parent, int row) { OnRowInserted(parent, row); }));
        modelConnections_.emplace_back(treeModel->rowRemoved.connect(
            [this](WTreeItem* parent, int row) { OnRowRemoved(parent, row); }));
        modelConnections_.emplace_back(
            treeModel->dataChanged.connect([this](WTreeItem* item) { OnItemDataChanged(item); }));
    }
    selectionModel = MakeItemSelectionModel(treeModel);
}

void WTreeCtrl::Rebuild() {
    notificationsEnabled = false;
    DeleteAllItems();
    notificationsEnabled = true;
    const wxTreeItemId root = HiddenRoot();
    if (!treeModel || !treeModel->root) return;
    for (const auto& row : treeModel->root->rows) {
        if (!row.empty() && row[0]) InsertItemTree(root, row[0]);
    }
}

wxTreeItemId WTreeCtrl::InsertNode(const wxTreeItemId& parent, const wxTreeItemId& after,
                                   size_t position, const std::shared_ptr<WTreeItem>& item,
                                   bool withImage) {
    const int image = withImage && GetImageList() != nullptr ? item->image : -1;
    auto* data = new NodeData(item);
    wxTreeItemId node;
    if (after.IsOk()) {
        node = InsertItem(parent, after, wxString(item->text), image, image, data);
    } else {
        node = InsertItem(parent, position, wxString(item->text), image, image, data);
    }
    if (checkBoxes_) SetItemState(node, item->checkState ? kStateTicked : kStateClear);
    return node;
}

void WTreeCtrl::InsertItemTree(const wxTreeItemId& parent, const std::shared_ptr<WTreeItem>& item) {
    if (!item || !parent.IsOk()) return;
    const wxTreeItemId node =
        InsertNode(parent, wxTreeItemId(), GetChildrenCount(parent, false), item, true);
    for (const auto& row : item->rows) {
        if (!row.empty() && row[0]) InsertItemTree(node, row[0]);
    }
}

std::shared_ptr<WTreeItem> WTreeCtrl::NodeItem(const wxTreeItemId& node) const {
    if (!node.IsOk()) return nullptr;
    auto* data = dynamic_cast<NodeData*>(GetItemData(node));
    return data != nullptr ? data->item.lock() : nullptr;
}

wxTreeItemId WTreeCtrl::FindBelow(const wxTreeItemId& node, const WTreeItem* item) const {
    wxTreeItemIdValue cookie;
    for (wxTreeItemId child = GetFirstChild(node, cookie); child.IsOk();
         child = GetNextChild(node, cookie)) {
        if (NodeItem(child).get() == item) return child;
        const wxTreeItemId below = FindBelow(child, item);
        if (below.IsOk()) return below;
    }
    return wxTreeItemId();
}

wxTreeItemId WTreeCtrl::FindTreeItem(const WTreeItem* item) const {
    const wxTreeItemId root = GetRootItem();
    if (item == nullptr || !root.IsOk()) return wxTreeItemId();
    return FindBelow(root, item);
}

void WTreeCtrl::ExpandBelow(const wxTreeItemId& node) {
    wxTreeItemIdValue cookie;
    for (wxTreeItemId child = GetFirstChild(node, cookie); child.IsOk();
         child = GetNextChild(node, cookie)) {
        ExpandBelow(child);
        if (ItemHasChildren(child)) Expand(child);
    }
}

void WTreeCtrl::ExpandAll() {
    const wxTreeItemId root = GetRootItem();
    if (root.IsOk()) ExpandBelow(root);
}

void WTreeCtrl::OnRowInserted(WTreeItem* parent, int row) {
    const wxTreeItemId parentNode = FindTreeItem(parent);
    if (!parentNode.IsOk()) return;
    const auto cell = parent->Child(row, 0);
    if (!cell) return;
    wxTreeItemId after;
    if (row > 0) {
        wxTreeItemIdValue cookie;
        after = GetFirstChild(parentNode, cookie);
        for (int i = 1; i < row && after.IsOk(); ++i) after = GetNextSibling(after);
        if (!after.IsOk()) after = GetLastChild(parentNode);
    }
    // No image yet: the client's dataChanged after setting it brings it.
    InsertNode(parentNode, after, 0, cell, false);
}

void WTreeCtrl::OnRowRemoved(WTreeItem* parent, int row) {
    const wxTreeItemId parentNode = FindTreeItem(parent);
    if (!parentNode.IsOk() || row < 0) return;
    wxTreeItemIdValue cookie;
    wxTreeItemId node = GetFirstChild(parentNode, cookie);
    for (int i = 0; i < row && node.IsOk(); ++i) node = GetNextSibling(node);
    if (node.IsOk()) Delete(node);
}

void WTreeCtrl::OnItemDataChanged(WTreeItem* item) {
    const wxTreeItemId node = FindTreeItem(item);
    if (!node.IsOk()) return;
    SetItemText(node, wxString(item->text));
    if (GetImageList() != nullptr) {
        SetItemImage(node, item->image, wxTreeItemIcon_Normal);
        SetItemImage(node, item->image, wxTreeItemIcon_Selected);
    }
    if (checkBoxes_) SetItemState(node, item->checkState ? kStateTicked : kStateClear);
}

void WTreeCtrl::OnStateImageClick(wxTreeEvent& event) { ToggleCheck(event.GetItem()); }

// Space toggles the selected node's check box, as it does a check box of its own.
void WTreeCtrl::OnKeyDown(wxTreeEvent& event) {
    if (!checkBoxes_ || event.GetKeyCode() != WXK_SPACE || event.GetKeyEvent().HasModifiers() ||
        !GetFocusedItem().IsOk()) {
        event.Skip();
        return;
    }
    ToggleCheck(GetFocusedItem());
}

void WTreeCtrl::ToggleCheck(const wxTreeItemId& node) {
    if (!checkBoxes_ || !node.IsOk()) return;
    const int oldState = GetItemState(node);
    const int newState = oldState == kStateTicked ? kStateClear : kStateTicked;
    SetItemState(node, newState);
    OnItemStateChanged(node, oldState, newState);
}

void WTreeCtrl::OnItemStateChanged(const wxTreeItemId& node, int oldState, int newState) {
    if (oldState == newState || !treeModel) return;
    const auto item = NodeItem(node);
    if (!item) return;
    if (newState == kStateClear) {
        item->checkState = false;
    } else if (newState == kStateTicked) {
        item->checkState = true;
    }
    if (item->model != nullptr) item->model->dataChanged(item.get());
}

}  // namespace widget
