#include "widget/list_view.h"

#include <thread>

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/uiaction.h>

#include "tests/support/wx_test.h"
#include "widget/controls.h"

namespace widget {
namespace {

using zentrik_test::WaitUntil;

// Three rows: a name, an editable real and a text that may not be edited.
std::shared_ptr<WTreeItemModel> MakeModel() {
    auto model = std::make_shared<WTreeItemModel>();
    model->headers = {L"Name", L"Value", L"Fixed"};
    model->root->columnCount = 3;
    for (int r = 0; r < 3; ++r) {
        auto item = std::make_shared<WTreeItem>(L"row" + std::to_wstring(r));
        model->root->AppendRow(item);
        model->root->rows[r][1]->value = Variant::FromR8(r + 0.5);
        model->root->rows[r][2]->value = Variant::FromBstr(L"fixed");
        model->root->rows[r][2]->flags = 0;
    }
    return model;
}

class ListViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        frame = zentrik_test::ShowTestFrame();
        // On a panel: a frame stretches a single child over its client area.
        auto* panel = new wxPanel(frame, wxID_ANY, wxPoint(0, 0), frame->GetClientSize());
        list = new WListView(panel, wxID_ANY, wxPoint(0, 0), wxSize(600, 300));
        model = MakeModel();
        list->SetModel(model);
        delegate = std::make_shared<WEditDelegate>();
        list->SetItemDelegateForColumn(1, delegate);
        list->SetItemDelegateForColumn(2, delegate);
        list->Rebuild();
        list->SetFocus();
        zentrik_test::DispatchPending();
    }
    void TearDown() override {
        frame->Destroy();
        zentrik_test::DispatchPending();
    }

    wxPoint CellCentre(int row, int column) {
        wxRect rect;
        list->GetSubItemRect(row, column, rect, wxLIST_RECT_BOUNDS);
        return rect.GetPosition() + wxPoint(rect.width / 2, rect.height / 2);
    }
    WEdit* OpenEditor() {
        return list->editEditor ? dynamic_cast<WEdit*>(list->editEditor->window.get()) : nullptr;
    }
    // Clicks a cell and waits for its editor to have the focus.
    WEdit* ClickEditor(int row, int column) {
        zentrik_test::ClickAt(list, CellCentre(row, column));
        EXPECT_TRUE(WaitUntil([&] {
            return list->editIndex.row == row && list->editIndex.column == column &&
                   OpenEditor() != nullptr && wxWindow::FindFocus() == OpenEditor();
        }));
        return OpenEditor();
    }

    wxFrame* frame = nullptr;
    WListView* list = nullptr;
    std::shared_ptr<WTreeItemModel> model;
    std::shared_ptr<WEditDelegate> delegate;
    wxUIActionSimulator sim;
};

TEST_F(ListViewTest, RebuildShowsRowsAndEqualColumns) {
    ASSERT_EQ(list->GetItemCount(), 3);
    ASSERT_EQ(list->GetColumnCount(), 3);
    const int width = list->GetClientSize().GetWidth() / 3;
    for (int c = 0; c < 3; ++c) EXPECT_EQ(list->GetColumnWidth(c), width);
    EXPECT_EQ(list->GetItemText(1, 0), "row1");
    EXPECT_EQ(list->GetItemText(1, 1), "1.5");
    EXPECT_EQ(list->GetItemText(1, 2), "fixed");

    // Fitted, a column is as wide as its longest text and the last one fills the rest.
    model->root->rows[0][1]->SetData(Variant::FromBstr(std::wstring(20, L'w')));
    list->SetFitColumnsToTexts(true);
    EXPECT_GT(list->GetColumnWidth(1), list->GetTextExtent(wxString(20, 'w')).x);
    EXPECT_GT(list->GetColumnWidth(2), list->GetClientSize().x / 3);
    EXPECT_EQ(list->GetColumnWidth(0) + list->GetColumnWidth(1) + list->GetColumnWidth(2),
              list->GetClientSize().x);
    list->SetFitColumnsToTexts(false);

    // A value on a column-0 item replaces the row's text; removals follow the model.
    model->root->rows[1][0]->SetData(Variant::FromI4(7));
    EXPECT_EQ(list->GetItemText(1, 0), "7");
    model->RemoveRow(2, model->root.get());
    EXPECT_EQ(list->GetItemCount(), 2);
    list->OnRowRemoved(model->root.get(), 5);
    EXPECT_EQ(list->GetItemCount(), 2);
}

TEST_F(ListViewTest, ClicksSelectOrEditAndTypedTextIsStored) {
    int selectionSignals = 0;
    list->selectionModel->selectionChanged.connect([&] { ++selectionSignals; });

    zentrik_test::ClickAt(list, CellCentre(1, 0));
    ASSERT_TRUE(WaitUntil([&] { return list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED) == 1; }));
    EXPECT_GE(selectionSignals, 1);
    wxWindow* listFocus = wxWindow::FindFocus();

    // A click on the fixed cell opens nothing and keeps the selection.
    zentrik_test::ClickAt(list, CellCentre(0, 2));
    zentrik_test::ClickAt(list, CellCentre(0, 1));
    WEdit* edit = ClickEditor(0, 1);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(list->editIndex.row, 0);
    EXPECT_EQ(list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED), 1);
    EXPECT_EQ(edit->GetValue(), "0.5");
    EXPECT_TRUE(list->GetRect().Contains(edit->GetRect().GetPosition()));

    int returns = 0;
    edit->returnPressed.connect([&] { ++returns; });
    sim.Char(WXK_END);
    sim.Text("abc");
    sim.Char(WXK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !edit->IsShown(); }));
    EXPECT_EQ(returns, 1);
    const Variant stored = model->root->rows[0][1]->value;
    ASSERT_EQ(stored.Type(), VT_BSTR);
    EXPECT_EQ(stored.Bstr(), L"0.5abc");
    EXPECT_EQ(list->GetItemText(0, 1), "0.5abc");
    EXPECT_EQ(wxWindow::FindFocus(), listFocus);
    EXPECT_EQ(list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED), 1);
}

TEST_F(ListViewTest, EscapeCommitsOnceWithoutReturn) {
    WEdit* edit = ClickEditor(2, 1);
    ASSERT_NE(edit, nullptr);
    int returns = 0;
    int writes = 0;
    edit->returnPressed.connect([&] { ++returns; });
    model->dataChanged.connect([&](WTreeItem*) { ++writes; });
    sim.Char(WXK_END);
    sim.Text("7");
    sim.Char(WXK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !edit->IsShown(); }));
    zentrik_test::DispatchPending();
    EXPECT_EQ(returns, 0);
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(model->root->rows[2][1]->value.Bstr(), L"2.57");
}

// An editor that loses the focus to a newer editor writes its own cell.
TEST_F(ListViewTest, LateCommitWritesTheEditorsOwnCell) {
    WEdit* first = ClickEditor(0, 1);
    ASSERT_NE(first, nullptr);
    sim.Char(WXK_END);
    sim.Text("x");
    ASSERT_TRUE(WaitUntil([&] { return first->GetValue() == "0.5x"; })) << first->GetValue();
    WEdit* second = ClickEditor(1, 1);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(second, first);
    EXPECT_EQ(model->root->rows[0][1]->value.Bstr(), L"0.5x");
    EXPECT_EQ(model->root->rows[1][1]->value, Variant::FromR8(1.5));
    EXPECT_EQ(second->GetValue(), "1.5");

    // An editor whose cell was removed writes nothing.
    second->SetValue("lost");
    model->RemoveRow(1, model->root.get());
    sim.Char(WXK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !second->IsShown(); }));
    EXPECT_EQ(model->root->rows[0][1]->value.Bstr(), L"0.5x");
    EXPECT_EQ(model->root->rows[1][1]->value, Variant::FromR8(2.5));
}

// A choice made in the open list by real keys is the one written: GTK
// reports the choice after the list has closed.
TEST_F(ListViewTest, DropDownChoiceByKeysIsWritten) {
    auto combos = std::make_shared<WComboBoxDelegate>();
    combos->SetOptionListProvider([](const WModelIndex&) {
        return std::vector<wxString>{"A", "B", "C"};
    });
    bool dropped = false;
    combos->SetEditorFactory([&]() -> wxWindow* {
        auto* combo = new WDropDownListComboBox();
        combo->Bind(wxEVT_COMBOBOX_DROPDOWN, [&](wxCommandEvent& event) {
            event.Skip();
            dropped = true;
        });
        return combo;
    });
    list->SetItemDelegateForColumn(1, combos);
    for (int r = 0; r < 2; ++r) model->root->rows[r][1]->value = Variant::FromBstr(L"B");

    const auto open = [&](int row) {
        dropped = false;
        zentrik_test::ClickAt(list, CellCentre(row, 1));
        EXPECT_TRUE(WaitUntil([&] { return dropped; }));
        return list->editEditor ? list->editEditor->window.get() : nullptr;
    };
    wxWindow* first = open(0);
    ASSERT_NE(first, nullptr);
    sim.Char(WXK_DOWN);
    sim.Char(WXK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return !first->IsShown(); }));
    EXPECT_TRUE(WaitUntil([&] { return model->root->rows[0][1]->value.Bstr() == L"C"; }))
        << model->root->rows[0][1]->value.Bstr();
    EXPECT_EQ(list->GetItemText(0, 1), "C");

    // The entries lie below the shown one, a row of the list apart.
    wxWindow* second = open(1);
    ASSERT_NE(second, nullptr);
    sim.Char(WXK_UP);
    sim.Char(WXK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return model->root->rows[1][1]->value.Bstr() == L"A"; }))
        << model->root->rows[1][1]->value.Bstr();
}

// A row with fewer cells than headers shows empty and opens no editor.
TEST_F(ListViewTest, MissingCellShowsEmptyAndOpensNothing) {
    model->headers.push_back(L"Extra");
    list->SetItemDelegateForColumn(3, delegate);
    list->Rebuild();
    ASSERT_EQ(list->GetColumnCount(), 4);
    EXPECT_EQ(list->GetItemText(0, 3), "");
    list->BeginEdit(0, 3);
    EXPECT_FALSE(list->editEditor);
}

// The model's signal from a worker thread updates the list on the UI thread.
TEST_F(ListViewTest, WorkerDataChangedUpdatesTheList) {
    bool done = false;
    std::thread worker([&] {
        model->root->rows[2][2]->SetData(Variant::FromBstr(L"from worker"));
        done = true;
    });
    EXPECT_TRUE(WaitUntil([&] { return list->GetItemText(2, 2) == "from worker"; }));
    worker.join();
    EXPECT_TRUE(done);
}

TEST_F(ListViewTest, ModelOutlivesItsView) {
    list->Destroy();
    zentrik_test::DispatchPending();
    model->root->rows[0][1]->SetData(Variant::FromI4(3));
    model->RemoveRow(0, model->root.get());
    EXPECT_EQ(model->root->rows.size(), 2u);
}

}  // namespace
}  // namespace widget
