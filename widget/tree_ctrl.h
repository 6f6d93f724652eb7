#pragma once

#include <memory>
#include <vector>

#include <boost/signals2/connection.hpp>
#include <boost/signals2/signal.hpp>
#include <wx/treectrl.h>

#include "widget/tree_item.h"

namespace widget {

// A tree of the column-0 items of an item model, one node per item below a hidden root.
// Nodes refer to their items weakly; the control follows the model's signals, writes
// check-box changes into the items and reports selection and expand events.
class WTreeCtrl : public wxTreeCtrl {
public:
    WTreeCtrl() = default;
    WTreeCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
              const wxSize& size = wxDefaultSize, long style = wxTR_DEFAULT_STYLE);
    ~WTreeCtrl() override;

    // wxTR_HIDE_ROOT is added to `style`.
    bool Create(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = wxTR_DEFAULT_STYLE);

    // Check boxes as state images 0 (clear) and 1 (ticked).
    void SetCheckBoxes(bool enable);
    bool HasCheckBoxes() const { return checkBoxes_; }

    void SetModel(std::shared_ptr<WTreeItemModel> model);
    void Rebuild();
    // Children (recursively) before their parent.
    void ExpandAll();
    void InsertItemTree(const wxTreeItemId& parent, const std::shared_ptr<WTreeItem>& item);
    // Depth first, a node before its descendants; an invalid id when none shows `item`.
    wxTreeItemId FindTreeItem(const WTreeItem* item) const;
    // The item a node shows; null for the hidden root or an item that is gone.
    std::shared_ptr<WTreeItem> NodeItem(const wxTreeItemId& node) const;

    void OnRowInserted(WTreeItem* parent, int row);
    void OnRowRemoved(WTreeItem* parent, int row);
    void OnItemDataChanged(WTreeItem* item);

    // The paint hook; the control paints itself.
    virtual void DrawControl() {}

    boost::signals2::signal<void(wxTreeItemId)> selChanged;
    boost::signals2::signal<void(wxTreeItemId)> itemCollapsed;
    boost::signals2::signal<void(wxTreeItemId)> itemCollapsing;
    boost::signals2::signal<void(wxTreeItemId)> itemExpanded;
    boost::signals2::signal<void(wxTreeItemId)> itemExpanding;
    std::shared_ptr<WTreeItemModel> treeModel;
    std::shared_ptr<WItemSelectionModel> selectionModel;
    bool notificationsEnabled = true;

private:
    void BindEvents();
    wxTreeItemId HiddenRoot();
    wxTreeItemId FindBelow(const wxTreeItemId& node, const WTreeItem* item) const;
    void ExpandBelow(const wxTreeItemId& node);
    wxTreeItemId InsertNode(const wxTreeItemId& parent, const wxTreeItemId& after, size_t position,
                            const std::shared_ptr<WTreeItem>& item, bool withImage);
    // The check-box rule: the state image changed from `oldState` to `newState`.
    void OnItemStateChanged(const wxTreeItemId& node, int oldState, int newState);
    void OnStateImageClick(wxTreeEvent& event);
    void OnKeyDown(wxTreeEvent& event);
    void ToggleCheck(const wxTreeItemId& node);

    bool checkBoxes_ = false;
    std::vector<boost::signals2::scoped_connection> modelConnections_;
};

}  // namespace widget
