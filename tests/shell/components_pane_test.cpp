#include "shell/main_frame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/preview_view.h"
#include "app/program_settings.h"
#include "parts_ui/part_file_operations.h"
#include "parts_ui/parts_view.h"
#include "resources/string_table.h"
#include "tests/shell/shown_main_frame.h"
#include "tests/support/wx_test.h"
#include "widget/tree_ctrl.h"
#include "widget/tree_item.h"

namespace {

using Keys = std::vector<std::string>;

class ComponentsPane : public ShownMainFrame {
protected:
    ComponentsPane() : ShownMainFrame("zentrik-components-") {}

    void SetUp() override {
        ShownMainFrame::SetUp();
        if (HasFatalFailure()) return;
        tree = frame->Components()->Tree();
    }
    void TearDown() override {
        resources::SetThreadLanguage(resources::kLanguageEnglish);
        ShownMainFrame::TearDown();
    }

    void Open(const std::string& type) {
        frame->ComponentKeysForType(type);
        frame->BuildComponentsTree();
    }
    std::vector<std::wstring> Texts() const {
        std::vector<std::wstring> texts;
        for (const auto& row : tree->treeModel->root->rows) texts.push_back(row[0]->text);
        return texts;
    }
    Keys TableKeys() const {
        Keys keys;
        for (const ComponentEntry& entry : frame->ComponentTable()) keys.push_back(entry.key);
        return keys;
    }
    const Keys& PreviewKeys() const { return frame->Preview()->VisibleComponentKeys; }

    // A real click on the check box of `item`'s row.
    void ClickCheckBox(const widget::WTreeItem* item) {
        const wxTreeItemId node = tree->FindTreeItem(item);
        ASSERT_TRUE(node.IsOk());
        tree->ScrollTo(node);
        zentrik_test::DispatchPending();
        const wxPoint point =
            zentrik_test::PointOnTreeItem(tree, node, wxTREE_HITTEST_ONITEMSTATEICON);
        ASSERT_GT(point.x, 0) << "no check box on the row";
        const bool before = item->checkState;
        zentrik_test::ClickAt(tree, point);
        ASSERT_TRUE(zentrik_test::WaitUntil([&] { return item->checkState != before; }));
    }

    widget::WTreeCtrl* tree = nullptr;
};

TEST_F(ComponentsPane, PbgaTicksAllAndCheckBoxClicksDropKeysFromThePreview) {
    Open("pbga");
    const Keys all = {"mold", "chip", "bonded_part", "wire", "board", "via", "solder"};
    EXPECT_EQ(Texts(), (std::vector<std::wstring>{L"Mold", L"Chip", L"Die bonding", L"Wire",
                                                  L"Wiring", L"Via", L"Solder ball"}));
    EXPECT_EQ(PreviewKeys(), all);
    const auto& rows = tree->treeModel->root->rows;
    for (const auto& row : rows) {
        EXPECT_TRUE(row[0]->checkState);
        EXPECT_EQ(row[0]->value.Type(), widget::VT_UINT);
        EXPECT_EQ(tree->GetItemState(tree->FindTreeItem(row[0].get())), 1);
    }

    wxRect inner(frame->Components()->GetClientSize());
    EXPECT_EQ(tree->GetRect(), inner.Deflate(1));

    ClickCheckBox(rows[4][0].get());  // Wiring
    const Keys withoutBoard = {"mold", "chip", "bonded_part", "wire", "via", "solder"};
    EXPECT_EQ(PreviewKeys(), withoutBoard);
    EXPECT_EQ(tree->GetItemState(tree->FindTreeItem(rows[4][0].get())), 0);
    // A new model root (Apply) keeps what is ticked.
    frame->SetPreviewModel(nullptr);
    EXPECT_EQ(PreviewKeys(), withoutBoard);

    for (const auto& row : rows) {
        if (row[0]->checkState) ClickCheckBox(row[0].get());
    }
    EXPECT_TRUE(PreviewKeys().empty());
    EXPECT_TRUE(MainFrame::TickedComponentItems(tree->treeModel.get()).empty());

    // Opening again ticks everything afresh; the old model's slots are gone with it.
    const std::weak_ptr<widget::WTreeItemModel> old = tree->treeModel;
    Open("fcbga");
    EXPECT_TRUE(old.expired());
    EXPECT_EQ(PreviewKeys(), (Keys{"mold", "chip", "bump", "board", "via", "solder"}));
}

TEST_F(ComponentsPane, JapaneseTextsKeepTheKeys) {
    resources::SetThreadLanguage(resources::kLanguageJapanese);
    Open("pbga");
    EXPECT_EQ(Texts(), (std::vector<std::wstring>{L"封止樹脂", L"チップ", L"ダイボンディング",
                                                  L"ワイヤ", L"配線", L"ビア", L"はんだボール"}));
    EXPECT_EQ(PreviewKeys(), (Keys{"mold", "chip", "bonded_part", "wire", "board", "via", "solder"}));
}

TEST_F(ComponentsPane, TypeNamesAreComparedExactly) {
    const Keys leadFrame = {"mold",       "chip",       "die_pad", "bonded_part",
                            "outer_lead", "inner_lead", "wire",    "suspension"};
    EXPECT_EQ(TableKeys(), leadFrame);  // before any part is opened
    for (const char* type : {"qfp", "QFP", "PBGA", "sop", "to-263"}) {
        frame->ComponentKeysForType(type);
        EXPECT_EQ(TableKeys(), leadFrame) << type;
    }
    frame->ComponentKeysForType("SOT-223");
    EXPECT_EQ(TableKeys(), (Keys{"mold", "chip", "diepad", "bonded_part", "lead", "plate"}));
    frame->ComponentKeysForType("TO-263");
    EXPECT_EQ(TableKeys(), (Keys{"mold", "chip", "bonded_part", "lead", "plate"}));
}

TEST_F(ComponentsPane, KeysFollowTheTableAndSkipValuesThatAreNoId) {
    Open("SOT-223");
    auto model = tree->treeModel;
    model->root->rows[0][0]->value = widget::Variant::FromBstr(L"not an id");
    model->root->rows[1][0]->value = widget::Variant::FromUInt(9999);
    EXPECT_EQ(frame->CollectTickedComponentKeys(model.get()),
              (Keys{"diepad", "bonded_part", "lead", "plate"}));
    EXPECT_TRUE(frame->CollectTickedComponentKeys(nullptr).empty());
}

}  // namespace
