#pragma once

#include <map>
#include <memory>
#include <vector>

#include <boost/signals2/connection.hpp>
#include <wx/font.h>
#include <wx/listctrl.h>

#include "widget/item_delegate.h"
#include "widget/tree_item.h"

namespace widget {

// A report list of the top-level rows of an item model, with the headers as columns. It
// follows the model's signals (from any thread), edits cells in place through per-column
// delegates and reports selection changes through its selection model.
class WListView : public wxListCtrl {
public:
    WListView() = default;
    WListView(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
              const wxSize& size = wxDefaultSize, long style = 0);
    ~WListView() override;

    // Creates the window in report mode (wxLC_REPORT is added to `style`).
    bool Create(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = 0);

    // Follows `model` from now on (an earlier model's signals no longer reach the view).
    // The list is filled by Rebuild, once the delegates are set.
    void SetModel(std::shared_ptr<WTreeItemModel> model);
    // A negative column is ignored.
    void SetItemDelegateForColumn(int column, std::shared_ptr<WAbstractItemDelegate> delegate);
    void Rebuild();
    // Opens the column's editor over the cell when the column has a delegate and the
    // cell's item exists and has the editable flag.
    void BeginEdit(int row, int column);
    // Takes a copy of the parent's font for the editors.
    bool UpdateFont();
    // Columns as wide as their texts (header included), the last one filling what is left
    // of the width; done again as the texts and the view's size change. Off: the columns
    // share the width equally when the list is rebuilt.
    void SetFitColumnsToTexts(bool fit);
    void FitColumnsToTexts();

    void OnRowInserted(WTreeItem* parent, int row);
    void OnRowRemoved(WTreeItem* parent, int row);
    void OnItemDataChanged(WTreeItem* item);
    // Writes the editor's value into the cell that editor was opened for, then disables and
    // hides it. An editor the view does not know, or whose cell is gone, writes nothing.
    void OnCommitEditor(wxWindow* editor);
    void OnEditorClosed(wxWindow* editor);

    std::shared_ptr<WTreeItemModel> listModel;
    std::shared_ptr<WItemSelectionModel> selectionModel;
    std::map<int, std::shared_ptr<WAbstractItemDelegate>> columnDelegates;
    WModelIndex editIndex;
    std::shared_ptr<WAbstractItemDelegate> editDelegate;
    std::shared_ptr<WDelegateEditor> editEditor;
    wxFont editorFont;

private:
    // An editor opened by BeginEdit and the cell it writes, for as long as it lives.
    struct OpenEditor {
        std::weak_ptr<WDelegateEditor> editor;
        wxWindow* window = nullptr;
        std::weak_ptr<WTreeItem> cell;
        std::weak_ptr<WAbstractItemDelegate> delegate;
        boost::signals2::scoped_connection closeConnection;
    };

    void BindRowsWindow();
    void OnRowsLeftDown(wxMouseEvent& event);
    void OnSelection(wxListEvent& event);
    // The item of cell (row, column) of the root; empty when that row has no such cell.
    std::shared_ptr<WTreeItem> CellItem(int row, int column) const;
    // Where a shown item sits now: false when it is no longer a cell of the root.
    bool CurrentPlace(const WTreeItem* item, WModelIndex& index) const;
    bool IsShownItem(const WTreeItem* item) const;
    // The part of a cell in the list's view, where an editor of the cell is placed.
    wxRect CellRectInView(int row, int column) const;
    OpenEditor* FindOpenEditor(wxWindow* window);
    void SetCellText(int row, int column, const wxString& text);

    bool fitColumns_ = false;
    wxWindow* rowsWindow_ = nullptr;
    // The horizontal scroll position the header was last drawn for.
    int headerScroll_ = 0;
    std::vector<std::unique_ptr<OpenEditor>> openEditors_;
    std::vector<boost::signals2::scoped_connection> modelConnections_;
    std::map<int, boost::signals2::scoped_connection> delegateConnections_;
};

}  // namespace widget
