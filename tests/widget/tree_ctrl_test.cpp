#include "widget/tree_ctrl.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/uiaction.h>
#include <wx/frame.h>
#include <wx/panel.h>

#include "tests/support/wx_test.h"

namespace widget {
namespace {

using zentrik_test::WaitUntil;

std::shared_ptr<WTreeItem> Item(const std::wstring& text) {
    return std::make_shared<WTreeItem>(text);
}

// A (A1 (A1a), A2 (A2a)), B.
std::shared_ptr<WTreeItemModel> MakeModel() {
    auto model = std::make_shared<WTreeItemModel>();
    auto a = Item(L"A");
    auto a1 = Item(L"A1");
    auto a2 = Item(L"A2");
    a1->AppendRow(Item(L"A1a"));
    a2->AppendRow(Item(L"A2a"));
    a->AppendRow(a1);
    a->AppendRow(a2);
    model->AppendRow(a);
    model->AppendRow(Item(L"B"));
    return model;
}

class TreeCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        frame = zentrik_test::ShowTestFrame();
        auto* panel = new wxPanel(frame, wxID_ANY, wxPoint(0, 0), frame->GetClientSize());
        tree = new WTreeCtrl(panel, wxID_ANY, wxPoint(0, 0), wxSize(300, 400));
        model = MakeModel();
        tree->SetModel(model);
        tree->Rebuild();
        tree->ExpandAll();
        zentrik_test::DispatchPending();
    }
    void TearDown() override {
        frame->Destroy();
        zentrik_test::DispatchPending();
    }
    // Node texts depth first, children indented.
    void Collect(const wxTreeItemId& node, const std::string& indent, std::vector<std::string>& out) {
        wxTreeItemIdValue cookie;
        for (auto child = tree->GetFirstChild(node, cookie); child.IsOk();
             child = tree->GetNextChild(node, cookie)) {
            out.push_back(indent + tree->GetItemText(child).ToStdString());
            Collect(child, indent + " ", out);
        }
    }
    std::vector<std::string> Nodes() {
        std::vector<std::string> out;
        Collect(tree->GetRootItem(), "", out);
        return out;
    }

    wxFrame* frame = nullptr;
    WTreeCtrl* tree = nullptr;
    std::shared_ptr<WTreeItemModel> model;
};

TEST_F(TreeCtrlTest, NodesFollowRebuildAndRowSignals) {
    EXPECT_EQ(Nodes(), (std::vector<std::string>{"A", " A1", "  A1a", " A2", "  A2a", "B"}));
    auto a = model->root->rows[0][0];
    EXPECT_EQ(tree->NodeItem(tree->FindTreeItem(a.get())), a);
    EXPECT_FALSE(tree->FindTreeItem(model->root.get()).IsOk());

    // Rows inserted at the top level wait for the next Rebuild.
    model->AppendRow(Item(L"C"));
    EXPECT_EQ(Nodes().size(), 6u);

    auto x = Item(L"X");
    a->InsertRow(1, x);
    model->rowInserted(a.get(), 1);
    model->RemoveRow(2, a.get());
    EXPECT_EQ(Nodes(), (std::vector<std::string>{"A", " A1", "  A1a", " X", "B"}));

    x->text = L"X2";
    x->SetData(Variant::FromI4(1));
    EXPECT_EQ(tree->GetItemText(tree->FindTreeItem(x.get())), "X2");
}

TEST_F(TreeCtrlTest, SelectionSignalsButNotDuringRebuild) {
    int selChanged = 0;
    int selectionChanged = 0;
    tree->selChanged.connect([&](wxTreeItemId) { ++selChanged; });
    tree->selectionModel->selectionChanged.connect([&] { ++selectionChanged; });
    int expanded = 0;
    int collapsed = 0;
    tree->itemExpanded.connect([&](wxTreeItemId) { ++expanded; });
    tree->itemCollapsed.connect([&](wxTreeItemId) { ++collapsed; });

    const wxTreeItemId a = tree->FindTreeItem(model->root->rows[0][0].get());
    tree->SelectItem(a);
    zentrik_test::DispatchPending();
    EXPECT_EQ(selChanged, 1);
    EXPECT_EQ(selectionChanged, 1);
    tree->Collapse(a);
    tree->Expand(a);
    EXPECT_EQ(collapsed, 1);
    EXPECT_EQ(expanded, 1);

    tree->Rebuild();
    zentrik_test::DispatchPending();
    EXPECT_EQ(selChanged, 1);
}

TEST_F(TreeCtrlTest, CheckBoxClickSetsCheckStateWithOneDataChanged) {
    tree->SetCheckBoxes(true);
    auto b = model->root->rows[1][0];
    tree->Rebuild();
    zentrik_test::DispatchPending();
    const wxTreeItemId node = tree->FindTreeItem(b.get());
    tree->ScrollTo(node);
    zentrik_test::DispatchPending();
    const wxPoint onBox = zentrik_test::PointOnTreeItem(tree, node, wxTREE_HITTEST_ONITEMSTATEICON);
    ASSERT_GT(onBox.x, 0);

    int changes = 0;
    model->dataChanged.connect([&](WTreeItem* item) {
        EXPECT_EQ(item, b.get());
        ++changes;
    });
    zentrik_test::ClickAt(tree, onBox);
    ASSERT_TRUE(WaitUntil([&] { return b->checkState; }));
    zentrik_test::DispatchPending();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(tree->GetItemState(node), 1);

    // Space toggles the check box of the node with the focus, as a check box of its own.
    tree->SetFocus();
    ASSERT_TRUE(WaitUntil([&] { return wxWindow::FindFocus() == tree; }));
    wxUIActionSimulator().Char(WXK_SPACE);
    ASSERT_TRUE(WaitUntil([&] { return !b->checkState; }));
    zentrik_test::DispatchPending();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(tree->GetItemState(node), 0);
}

TEST_F(TreeCtrlTest, AQuickSecondClickOnTheExpandButtonTogglesTheNodeAgain) {
    const wxTreeItemId node = tree->FindTreeItem(model->root->rows[0][0].get());
    const wxPoint onButton = zentrik_test::PointOnTreeItem(tree, node, wxTREE_HITTEST_ONITEMBUTTON);
    ASSERT_GT(onButton.x, 0);
    zentrik_test::ClickAt(tree, onButton);
    ASSERT_TRUE(WaitUntil([&] { return !tree->IsExpanded(node); }));
    EXPECT_TRUE(zentrik_test::SecondClickAt(tree, onButton, [&] { return tree->IsExpanded(node); }));
}

TEST_F(TreeCtrlTest, ModelOutlivesItsTree) {
    tree->Destroy();
    zentrik_test::DispatchPending();
    auto a = model->root->rows[0][0];
    a->SetData(Variant::FromI4(2));
    model->RemoveRow(0, a.get());
    EXPECT_EQ(a->rows.size(), 1u);
}

}  // namespace
}  // namespace widget
