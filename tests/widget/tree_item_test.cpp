#include "widget/tree_item.h"

#include <vector>

#include <gtest/gtest.h>

namespace {

using widget::MakeTreeItem;
using widget::Variant;
using widget::WTreeItem;
using widget::WTreeItemModel;

std::shared_ptr<WTreeItem> Named(const wchar_t* text) { return std::make_shared<WTreeItem>(text); }

// Every row has `columnCount` cells, each an item that knows its place and model.
void ExpectWellFormed(const WTreeItem& parent) {
    for (int r = 0; r < static_cast<int>(parent.rows.size()); ++r) {
        ASSERT_EQ(static_cast<int>(parent.rows[r].size()), parent.columnCount) << "row " << r;
        for (int c = 0; c < parent.columnCount; ++c) {
            const auto& cell = parent.rows[r][c];
            ASSERT_TRUE(cell) << r << "," << c;
            EXPECT_EQ(cell->row, r);
            EXPECT_EQ(cell->column, c);
            EXPECT_EQ(cell->parent, &parent);
            EXPECT_EQ(cell->model, parent.model);
        }
    }
}

std::vector<std::wstring> Texts(const WTreeItem& parent) {
    std::vector<std::wstring> texts;
    for (const auto& row : parent.rows) texts.push_back(row[0]->text);
    return texts;
}

TEST(TreeItem, RowsOfAThreeColumnGrid) {
    WTreeItemModel model;
    auto parent = Named(L"p");
    parent->model = &model;
    parent->columnCount = 3;
    parent->AppendRow(Named(L"A"));
    ExpectWellFormed(*parent);
    const auto cell = parent->Child(0, 2);
    ASSERT_TRUE(cell);
    EXPECT_TRUE(cell->Data().IsEmpty());
    EXPECT_EQ(cell->flags, widget::kItemEditable);
    EXPECT_TRUE(cell->enabled);

    parent->AppendRow(Named(L"B"));
    parent->InsertRow(0, Named(L"c"));
    EXPECT_EQ(Texts(*parent), (std::vector<std::wstring>{L"c", L"A", L"B"}));
    ExpectWellFormed(*parent);

    parent->InsertRow(4, Named(L"x"));
    parent->InsertRow(-1, Named(L"x"));
    EXPECT_EQ(parent->rows.size(), 3u);
    parent->InsertRow(3, Named(L"D"));
    EXPECT_EQ(Texts(*parent), (std::vector<std::wstring>{L"c", L"A", L"B", L"D"}));

    EXPECT_FALSE(parent->RemoveRow(4));
    EXPECT_FALSE(parent->RemoveRow(-1));
    EXPECT_TRUE(parent->RemoveRow(1));
    EXPECT_EQ(Texts(*parent), (std::vector<std::wstring>{L"c", L"B", L"D"}));
    ExpectWellFormed(*parent);
    EXPECT_FALSE(parent->Child(0, 3));
    EXPECT_FALSE(parent->Child(3, 0));
    EXPECT_FALSE(parent->Child(-1, 0));
}

TEST(TreeItem, RemovingTheOnlyRowLeavesNoColumns) {
    auto parent = MakeTreeItem();
    parent->AppendRow(Named(L"only"));
    EXPECT_EQ(widget::ChildGridColumnCount(parent->rows), 1);
    EXPECT_TRUE(parent->RemoveRow(0));
    EXPECT_EQ(widget::ChildGridColumnCount(parent->rows), 0);
    EXPECT_FALSE(parent->Child(0, 0));
}

TEST(TreeItem, ChangingTheColumnCountKeepsEveryRowFull) {
    auto parent = MakeTreeItem();
    parent->AppendRow(Named(L"A"));
    parent->AppendRow(Named(L"B"));
    parent->columnCount = 3;  // rows A and B have one cell each until the next operation
    parent->InsertRow(1, Named(L"C"));
    ExpectWellFormed(*parent);
    parent->columnCount = 2;
    EXPECT_TRUE(parent->RemoveRow(0));
    ExpectWellFormed(*parent);
    EXPECT_EQ(Texts(*parent), (std::vector<std::wstring>{L"C", L"B"}));
    parent->columnCount = 0;
    parent->AppendRow(Named(L"D"));
    EXPECT_EQ(parent->Child(2, 0)->text, L"D");

    widget::WTreeItemGrid grid;
    widget::ResizeChildGrid(grid, 2, 4);
    EXPECT_EQ(widget::ChildGridColumnCount(grid), 4);
    EXPECT_FALSE(grid[1][3]);
    widget::ResizeChildGrid(grid, 0, 4);
    EXPECT_TRUE(grid.empty());
}

TEST(TreeItemModel, AttachesDetachedTreesAndAnnouncesTheTopRowOnly) {
    WTreeItemModel model;
    std::vector<std::pair<WTreeItem*, int>> inserted;
    model.rowInserted.connect([&](WTreeItem* p, int r) { inserted.emplace_back(p, r); });

    auto top = Named(L"top");
    top->columnCount = 2;
    auto child = Named(L"child");
    child->AppendRow(Named(L"grandchild"));
    top->AppendRow(child);
    const auto valueCell = top->Child(0, 1);
    model.AppendRow(top);

    EXPECT_EQ(inserted, (std::vector<std::pair<WTreeItem*, int>>{{model.root.get(), 0}}));
    EXPECT_EQ(top->model, &model);
    EXPECT_EQ(child->model, &model);
    EXPECT_EQ(child->Child(0, 0)->model, &model);
    EXPECT_EQ(valueCell->model, nullptr);  // columns 1 and up keep the model they had
    EXPECT_EQ(top->parent, model.root.get());
}

TEST(TreeItemModel, DataChangesAndRemovals) {
    auto detached = MakeTreeItem();
    detached->SetData(Variant::FromR8(1.5));
    EXPECT_EQ(detached->Data(), Variant::FromR8(1.5));

    WTreeItemModel model;
    model.headers = {L"Part name", L"State"};
    model.root->columnCount = 3;
    std::vector<WTreeItem*> changed;
    model.dataChanged.connect([&](WTreeItem* item) { changed.push_back(item); });
    model.AppendRow(Named(L"row"));
    const auto state = model.root->Child(0, 1);
    state->SetData(Variant::FromBstr(L"Waiting"));
    state->SetData(Variant::FromBstr(L"Waiting"));
    EXPECT_EQ(changed, (std::vector<WTreeItem*>{state.get(), state.get()}));

    EXPECT_EQ(model.Data({1, 0, &model}), Variant::FromBstr(L"Waiting"));
    model.root->Child(0, 2)->SetData(Variant::FromI4(7));
    EXPECT_TRUE(model.Data({2, 0, &model}).IsEmpty());  // beyond the headers
    EXPECT_TRUE(model.Data({0, 1, &model}).IsEmpty());
    EXPECT_FALSE(model.SetData({2, 0, &model}, Variant::FromI4(1)));
    EXPECT_TRUE(model.SetData({1, 0, &model}, Variant::FromBstr(L"Running")));
    EXPECT_EQ(state->Data(), Variant::FromBstr(L"Running"));

    std::vector<int> removed;
    model.rowRemoved.connect([&](WTreeItem*, int r) { removed.push_back(r); });
    model.RemoveRow(1, model.root.get());
    model.RemoveRow(0, model.root.get());
    EXPECT_EQ(removed, std::vector<int>{0});
    EXPECT_TRUE(model.root->rows.empty());
}

TEST(TreeItemModel, SelectionModelHoldsItsModel) {
    auto model = std::make_shared<WTreeItemModel>();
    auto selection = widget::MakeItemSelectionModel(model);
    int calls = 0;
    selection->selectionChanged.connect([&] { ++calls; });
    selection->selectionChanged();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(selection->model, model);
    EXPECT_FALSE(widget::WModelIndex().IsValid());
}

}  // namespace
