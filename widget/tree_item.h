#pragma once

#include <memory>
#include <string>
#include <vector>

#include <boost/signals2/signal.hpp>

#include "widget/variant.h"

class wxPGProperty;

namespace widget {

class WTreeItemModel;
class WTreeItem;

using WTreeItemRow = std::vector<std::shared_ptr<WTreeItem>>;
using WTreeItemGrid = std::vector<WTreeItemRow>;

// Item flag bits.
constexpr int kItemEditable = 0x20;   // edited in place, drawn in the normal text colour
constexpr int kItemMovable = 0x02;    // the user may rename, move and delete it

// One node of an item tree: a text, an image, a value, a few states and a grid of
// child items (rows × columns). A parent owns its children; `parent` and `model` are
// plain back pointers.
class WTreeItem {
public:
    WTreeItem() = default;
    explicit WTreeItem(std::wstring itemText) : text(std::move(itemText)) {}
    WTreeItem(const WTreeItem&) = delete;
    WTreeItem& operator=(const WTreeItem&) = delete;
    virtual ~WTreeItem() = default;

    // A copy of the value; a failed copy throws ComError.
    Variant Data() const;
    // Stores v and, with a model, emits its dataChanged even when the value is the same.
    // A failed copy throws ComError and emits nothing.
    virtual void SetData(const Variant& v);

    // The cell's item; empty outside the grid.
    std::shared_ptr<WTreeItem> Child(int row, int column) const;

    // Before each row operation every row is given `columnCount` cells, new cells holding
    // fresh items with their place and model set, so no row is ever shorter or longer than
    // the others after `columnCount` changed. None of them emits a signal.
    void AppendRow(std::shared_ptr<WTreeItem> item);
    // Does nothing for a position < 0 or > the number of rows.
    void InsertRow(int position, std::shared_ptr<WTreeItem> item);
    // False, with nothing changed, for a row outside the grid.
    bool RemoveRow(int row);

    void AddOption(const std::wstring& option);

    WTreeItemModel* model = nullptr;
    int image = 0;
    std::wstring text;
    WTreeItem* parent = nullptr;
    WTreeItemGrid rows;
    Variant value;
    int columnCount = 1;
    int row = -1;
    int column = -1;
    int flags = kItemEditable;
    bool checkState = false;
    bool hasOptions = false;
    std::vector<std::wstring> options;
    bool enabled = true;
    wxPGProperty* property = nullptr;  // set by the property grid that shows the item

private:
    int CellsPerRow() const;
    void NormaliseGrid();
    void FillRow(int r, std::shared_ptr<WTreeItem> first);
};

std::shared_ptr<WTreeItem> MakeTreeItem();

// With n ≠ 0 the grid gets n rows of m cells each (new cells empty, surplus dropped from
// the end); with n = 0 it is emptied.
void ResizeChildGrid(WTreeItemGrid& grid, int n, int m);
// The size of row 0; 0 without rows.
int ChildGridColumnCount(const WTreeItemGrid& grid);

// A top-level cell of a model: row and column of the root's grid.
struct WModelIndex {
    int column = -1;
    int row = -1;
    WTreeItemModel* model = nullptr;

    bool IsValid() const { return model != nullptr && row >= 0 && column >= 0; }
};

// The tree shown by a list, tree or property grid: an invisible root, the column
// headers and the signals through which views follow changes. Slots run on the
// emitting thread, in connection order.
class WTreeItemModel {
public:
    WTreeItemModel();
    WTreeItemModel(const WTreeItemModel&) = delete;
    WTreeItemModel& operator=(const WTreeItemModel&) = delete;

    // Attaches the tree, appends it to the root and emits one rowInserted.
    void AppendRow(std::shared_ptr<WTreeItem> item);
    // Gives the item and, recursively, the column-0 item of each of its rows this model.
    void AttachItem(const std::shared_ptr<WTreeItem>& item);
    // The value of a top-level cell; empty outside the rows and the header columns.
    Variant Data(const WModelIndex& index) const;
    bool SetData(const WModelIndex& index, const Variant& v);
    // Removes the row of `parent` and emits rowRemoved when it existed.
    void RemoveRow(int row, WTreeItem* parent);

    boost::signals2::signal<void(WTreeItem*, int)> rowInserted;
    boost::signals2::signal<void(WTreeItem*, int)> rowRemoved;
    boost::signals2::signal<void(WTreeItem*)> dataChanged;
    std::shared_ptr<WTreeItem> root;
    std::vector<std::wstring> headers;

private:
    std::shared_ptr<WTreeItem> Cell(const WModelIndex& index) const;
};

// Made by a view for its model; the view emits selectionChanged when its selection
// changes, and a receiver asks the view what is selected.
class WItemSelectionModel {
public:
    explicit WItemSelectionModel(std::shared_ptr<WTreeItemModel> itemModel)
        : model(std::move(itemModel)) {}
    virtual ~WItemSelectionModel() = default;

    boost::signals2::signal<void()> selectionChanged;
    std::shared_ptr<WTreeItemModel> model;
};

std::shared_ptr<WItemSelectionModel> MakeItemSelectionModel(std::shared_ptr<WTreeItemModel> model);

}  // namespace widget
