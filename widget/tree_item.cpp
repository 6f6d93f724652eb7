#include "widget/tree_item.h"

#include <algorithm>
#include <new>

namespace widget {

Variant WTreeItem::Data() const {
    try {
        return value;
    } catch (const std::bad_alloc&) {
        throw ComError(E_OUTOFMEMORY);
    }
}

void WTreeItem::SetData(const Variant& v) {
    try {
        value = v;
    } catch (const std::bad_alloc&) {
        throw ComError(E_OUTOFMEMORY);
    }
    if (model) model->dataChanged(this);
}

std::shared_ptr<WTreeItem> WTreeItem::Child(int r, int c) const {
    if (r < 0 || r >= static_cast<int>(rows.size())) return nullptr;
    if (c < 0 || c >= ChildGridColumnCount(rows)) return nullptr;
    if (c >= static_cast<int>(rows[r].size())) return nullptr;
    return rows[r][c];
}

// A row always has room for its column-0 item, even if a client set columnCount below 1.
int WTreeItem::CellsPerRow() const { return std::max(columnCount, 1); }

void WTreeItem::NormaliseGrid() {
    const int cells = CellsPerRow();
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        WTreeItemRow& cellsOfRow = rows[r];
        const int old = static_cast<int>(cellsOfRow.size());
        cellsOfRow.resize(cells);
        for (int c = 0; c < cells; ++c) {
            if (c < old && cellsOfRow[c]) continue;
            auto item = MakeTreeItem();
            item->parent = this;
            item->row = r;
            item->column = c;
            item->model = model;
            cellsOfRow[c] = std::move(item);
        }
    }
}

// Puts `first` into column 0 of row r and fresh items into the other columns.
void WTreeItem::FillRow(int r, std::shared_ptr<WTreeItem> first) {
    WTreeItemRow& cells = rows[r];
    first->parent = this;
    first->model = model;
    cells[0] = std::move(first);
    for (int c = 1; c < static_cast<int>(cells.size()); ++c) {
        auto item = MakeTreeItem();
        item->parent = this;
        item->model = model;
        cells[c] = std::move(item);
    }
    for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
        cells[c]->row = r;
        cells[c]->column = c;
    }
}

void WTreeItem::AppendRow(std::shared_ptr<WTreeItem> item) {
    if (!item) return;
    NormaliseGrid();
    rows.emplace_back(CellsPerRow());
    FillRow(static_cast<int>(rows.size()) - 1, std::move(item));
}

void WTreeItem::InsertRow(int position, std::shared_ptr<WTreeItem> item) {
    const int n = static_cast<int>(rows.size());
    if (!item || position < 0 || position > n) return;
    NormaliseGrid();
    rows.emplace(rows.begin() + position, CellsPerRow());
    FillRow(position, std::move(item));
    for (int r = position + 1; r <= n; ++r) {
        for (const auto& cell : rows[r]) cell->row = r;
    }
}

bool WTreeItem::RemoveRow(int r) {
    const int n = static_cast<int>(rows.size());
    if (r < 0 || r >= n) return false;
    NormaliseGrid();
    rows.erase(rows.begin() + r);
    for (int i = r; i < n - 1; ++i) {
        for (const auto& cell : rows[i]) cell->row = i;
    }
    return true;
}

void WTreeItem::AddOption(const std::wstring& option) {
    hasOptions = true;
    options.push_back(option);
}

std::shared_ptr<WTreeItem> MakeTreeItem() { return std::make_shared<WTreeItem>(); }

void ResizeChildGrid(WTreeItemGrid& grid, int n, int m) {
    if (n <= 0) {
        grid.clear();
        return;
    }
    grid.resize(n);
    for (WTreeItemRow& row : grid) row.resize(std::max(m, 0));
}

int ChildGridColumnCount(const WTreeItemGrid& grid) {
    return grid.empty() ? 0 : static_cast<int>(grid[0].size());
}

WTreeItemModel::WTreeItemModel() : root(MakeTreeItem()) { root->model = this; }

void WTreeItemModel::AppendRow(std::shared_ptr<WTreeItem> item) {
    if (!item) return;
    AttachItem(item);
    root->AppendRow(std::move(item));
    rowInserted(root.get(), static_cast<int>(root->rows.size()) - 1);
}

void WTreeItemModel::AttachItem(const std::shared_ptr<WTreeItem>& item) {
    if (!item) return;
    item->model = this;
    for (const WTreeItemRow& row : item->rows) {
        if (!row.empty()) AttachItem(row[0]);
    }
}

std::shared_ptr<WTreeItem> WTreeItemModel::Cell(const WModelIndex& index) const {
    if (index.row < 0 || index.row >= static_cast<int>(root->rows.size())) return nullptr;
    if (index.column < 0 || index.column >= static_cast<int>(headers.size())) return nullptr;
    return root->Child(index.row, index.column);
}

Variant WTreeItemModel::Data(const WModelIndex& index) const {
    const auto cell = Cell(index);
    return cell ? cell->Data() : Variant();
}

bool WTreeItemModel::SetData(const WModelIndex& index, const Variant& v) {
    const auto cell = Cell(index);
    if (!cell) return false;
    cell->SetData(v);
    return true;
}

void WTreeItemModel::RemoveRow(int row, WTreeItem* parent) {
    if (parent && parent->RemoveRow(row)) rowRemoved(parent, row);
}

std::shared_ptr<WItemSelectionModel> MakeItemSelectionModel(std::shared_ptr<WTreeItemModel> model) {
    return std::make_shared<WItemSelectionModel>(std::move(model));
}

}  // namespace widget
