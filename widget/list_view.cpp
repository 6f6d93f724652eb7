#include "widget/list_view.h"

#include <algorithm>

#include "widget/ui_thread.h"

namespace widget {

WListView::WListView(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                     long style) {
    Create(parent, id, pos, size, style);
}

WListView::~WListView() {
    // Editors go before the control so that none reports to a half-destroyed view.
    modelConnections_.clear();
    delegateConnections_.clear();
    openEditors_.clear();
    editEditor.reset();
}

bool WListView::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                       long style) {
    if (!wxListCtrl::Create(parent, id, pos, size, style | wxLC_REPORT)) return false;
    UpdateFont();
    BindRowsWindow();
    Bind(wxEVT_LIST_ITEM_SELECTED, &WListView::OnSelection, this);
    Bind(wxEVT_LIST_ITEM_DESELECTED, &WListView::OnSelection, this);
    Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        event.Skip();
        if (fitColumns_) FitColumnsToTexts();
    });
    // A column the user has dragged to a width keeps it: fitting the columns to their texts
    // again would undo the drag at the next change of a cell or of the list's size.
    Bind(wxEVT_LIST_COL_END_DRAG, [this](wxListEvent& event) {
        event.Skip();
        fitColumns_ = false;
    });
    return true;
}

void WListView::SetFitColumnsToTexts(bool fit) {
    fitColumns_ = fit;
    if (fit) FitColumnsToTexts();
}

void WListView::FitColumnsToTexts() {
    const int columns = GetColumnCount();
    if (columns == 0) return;
    int used = 0;
    for (int c = 0; c < columns; ++c) {
        SetColumnWidth(c, wxLIST_AUTOSIZE_USEHEADER);
        if (c + 1 < columns) used += GetColumnWidth(c);
    }
    const int rest = GetClientSize().GetWidth() - used;
    if (rest > GetColumnWidth(columns - 1)) SetColumnWidth(columns - 1, rest);
}

// The generic list draws its rows in a child window of its own, which receives the
// clicks; the header is the other, shorter child (created after it, so a tie at creation
// keeps the rows window).
void WListView::BindRowsWindow() {
    for (wxWindow* child : GetChildren()) {
        if (rowsWindow_ == nullptr || child->GetSize().GetHeight() > rowsWindow_->GetSize().GetHeight()) {
            rowsWindow_ = child;
        }
    }
    if (rowsWindow_ == nullptr) rowsWindow_ = this;
    rowsWindow_->Bind(wxEVT_LEFT_DOWN, &WListView::OnRowsLeftDown, this);
    // The control draws its header again before a sideways scroll by the wheel has moved
    // the rows, so the header stood a step behind its columns: it is drawn again whenever
    // the rows are drawn at another sideways position.
    rowsWindow_->Bind(wxEVT_PAINT, [this](wxPaintEvent& event) {
        event.Skip();
        int x = 0;
        GetViewStart(&x, nullptr);
        if (x == headerScroll_) return;
        headerScroll_ = x;
        for (wxWindow* child : GetChildren()) {
            if (child != rowsWindow_) child->Refresh();
        }
    });
}

bool WListView::UpdateFont() {
    if (GetParent() != nullptr && GetParent()->GetFont().IsOk()) {
        editorFont = GetParent()->GetFont();
    }
    return true;
}

void WListView::SetModel(std::shared_ptr<WTreeItemModel> model) {
    modelConnections_.clear();
    listModel = std::move(model);
    if (listModel) {
        modelConnections_.emplace_back(listModel->dataChanged.connect(
            [this](WTreeItem* item) { RunOnUiThread(this, [=] { OnItemDataChanged(item); }); }));
        modelConnections_.emplace_back(listModel->rowRemoved.connect(
            [this](WTreeItem* parent, int row) {
                RunOnUiThread(this, [=] { OnRowRemoved(parent, row); });
            }));
        modelConnections_.emplace_back(listModel->rowInserted.connect(
            [this](WTreeItem* parent, int row) {
                RunOnUiThread(this, [=] { OnRowInserted(parent, row); });
            }));
    }
    selectionModel = MakeItemSelectionModel(listModel);
}

void WListView::SetItemDelegateForColumn(int column,
                                         std::shared_ptr<WAbstractItemDelegate> delegate) {
    if (column < 0) return;
    delegateConnections_.erase(column);
    columnDelegates[column] = delegate;
    if (delegate) {
        delegateConnections_[column] =
            delegate->commitRequested.connect([this](wxWindow* editor) { OnCommitEditor(editor); });
    }
}

std::shared_ptr<WTreeItem> WListView::CellItem(int row, int column) const {
    if (!listModel || !listModel->root) return nullptr;
    return listModel->root->Child(row, column);
}

bool WListView::IsShownItem(const WTreeItem* item) const {
    return item != nullptr && listModel && item->parent == listModel->root.get();
}

void WListView::SetCellText(int row, int column, const wxString& text) {
    if (column == 0) {
        SetItemText(row, text);
    } else {
        SetItem(row, column, text);
    }
}

void WListView::Rebuild() {
    DeleteAllItems();
    while (GetColumnCount() > 0) DeleteColumn(0);
    if (!listModel) return;

    const int headers = static_cast<int>(listModel->headers.size());
    if (headers > 0) {
        const int width = GetClientSize().GetWidth() / headers;
        for (int i = 0; i < headers; ++i) {
            InsertColumn(i, wxString(listModel->headers[i]), wxLIST_FORMAT_LEFT, width);
        }
    }
    const int rows = listModel->root ? static_cast<int>(listModel->root->rows.size()) : 0;
    for (int r = 0; r < rows; ++r) {
        // A missing cell shows empty.
        const auto first = CellItem(r, 0);
        InsertItem(r, first ? wxString(first->text) : wxString());
        for (int c = 1; c < headers; ++c) {
            if (const auto cell = CellItem(r, c)) SetItem(r, c, VariantText(cell->value));
        }
    }
    if (fitColumns_) FitColumnsToTexts();
}

void WListView::OnRowsLeftDown(wxMouseEvent& event) {
    if (GetItemCount() == 0) {
        event.Skip();
        return;
    }
    const wxPoint point = ScreenToClient(rowsWindow_->ClientToScreen(event.GetPosition()));
    const int columns = GetColumnCount();
    for (int r = 0; r < GetItemCount(); ++r) {
        for (int c = 1; c < columns; ++c) {
            wxRect rect;
            if (!GetSubItemRect(r, c, rect, wxLIST_RECT_BOUNDS) || !rect.Contains(point)) continue;
            const auto delegate = columnDelegates.find(c);
            if (delegate == columnDelegates.end() || !delegate->second) continue;
            // Not skipped: the list keeps its selection.
            BeginEdit(r, c);
            return;
        }
    }
    event.Skip();
}

void WListView::BeginEdit(int row, int column) {
    const auto found = columnDelegates.find(column);
    if (found == columnDelegates.end() || !found->second) return;
    std::shared_ptr<WAbstractItemDelegate> delegate = found->second;
    const auto cell = CellItem(row, column);
    if (!cell || (cell->flags & kItemEditable) == 0) return;

    WViewItemOption option;
    option.enabled = 1;
    option.rect = CellRectInView(row, column);
    option.view = this;
    WModelIndex index;
    index.column = column;
    index.row = row;
    index.model = listModel.get();

    auto editor = delegate->CreateEditor(this, option, index);
    if (!editor || !editor->window) return;
    wxWindow* window = editor->window.get();

    // Editors whose windows are gone are forgotten; the new one is known before it takes
    // the focus, so the focus leaving an earlier editor commits that editor into its cell.
    openEditors_.erase(std::remove_if(openEditors_.begin(), openEditors_.end(),
                                      [](const auto& open) { return open->editor.expired(); }),
                       openEditors_.end());
    auto open = std::make_unique<OpenEditor>();
    open->editor = editor;
    open->window = window;
    open->cell = cell;
    open->delegate = delegate;
    open->closeConnection = editor->closeRequested.connect([this, window] { OnEditorClosed(window); });
    openEditors_.push_back(std::move(open));

    if (editorFont.IsOk()) window->SetFont(editorFont);
    window->Refresh();
    window->SetFocus();

    editDelegate = delegate;
    editIndex = index;
    editEditor = editor;

    delegate->SetEditorData(window, index);
    // Taken again: the focus leaving an earlier editor commits it, and the columns may have
    // been fitted to the committed text since.
    delegate->UpdateEditorGeometry(editor, CellRectInView(row, column));
    delegate->EditorEvent(0, listModel.get(), index);
}

wxRect WListView::CellRectInView(int row, int column) const {
    wxRect rect;
    GetSubItemRect(row, column, rect, wxLIST_RECT_BOUNDS);
    // Only the part of the cell in view: an editor reaching past the list's edge makes the
    // toolkit scroll the list's contents by itself when the editor takes the focus, without
    // the list knowing, and the editor then stands off its cell and is cut off.
    const wxRect visible = rect.Intersect(wxRect(GetClientSize()));
    return visible.IsEmpty() ? rect : visible;
}

WListView::OpenEditor* WListView::FindOpenEditor(wxWindow* window) {
    for (auto& open : openEditors_) {
        if (open->window == window && !open->editor.expired()) return open.get();
    }
    return nullptr;
}

bool WListView::CurrentPlace(const WTreeItem* item, WModelIndex& index) const {
    if (!IsShownItem(item)) return false;
    const auto& rows = listModel->root->rows;
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        for (int c = 0; c < static_cast<int>(rows[r].size()); ++c) {
            if (rows[r][c].get() == item) {
                index.row = r;
                index.column = c;
                index.model = listModel.get();
                return true;
            }
        }
    }
    return false;
}

void WListView::OnCommitEditor(wxWindow* editor) {
    // A hidden editor has already been committed or closed: its focus leaving it, or a
    // second close of its list, writes nothing more.
    OpenEditor* open = FindOpenEditor(editor);
    if (open == nullptr || !editor->IsShown()) return;
    const auto cell = open->cell.lock();
    const auto delegate = open->delegate.lock();
    WModelIndex index;
    if (cell && delegate && CurrentPlace(cell.get(), index)) {
        delegate->SetModelData(editor, listModel.get(), index);
    }
    // The write may have released the editor (a slot rebuilding the view).
    if (FindOpenEditor(editor) != nullptr) {
        editor->Disable();
        editor->Hide();
    }
}

void WListView::OnEditorClosed(wxWindow* editor) {
    if (FindOpenEditor(editor) == nullptr) return;
    editor->Disable();
    editor->Hide();
}

void WListView::OnRowInserted(WTreeItem* parent, int row) {
    if (!listModel || parent != listModel->root.get()) return;
    const auto cell = parent->Child(row, 0);
    if (!cell || row > GetItemCount()) return;
    InsertItem(row, wxString(cell->text));
    if (fitColumns_) FitColumnsToTexts();
}

void WListView::OnRowRemoved(WTreeItem* parent, int row) {
    if (!listModel || parent != listModel->root.get()) return;
    if (row >= 0 && row < GetItemCount()) DeleteItem(row);
    if (fitColumns_) FitColumnsToTexts();
}

void WListView::OnItemDataChanged(WTreeItem* item) {
    if (!IsShownItem(item)) return;
    if (item->row < 0 || item->row >= GetItemCount()) return;
    if (item->column < 0 || item->column >= GetColumnCount()) return;
    SetCellText(item->row, item->column, VariantText(item->value));
    if (fitColumns_) FitColumnsToTexts();
}

void WListView::OnSelection(wxListEvent& event) {
    event.Skip();
    if (selectionModel) selectionModel->selectionChanged();
}

}  // namespace widget
