#include "parts_ui/properties_view.h"

#include <clocale>
#include <string>

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/toolbar.h>
#include <wx/uiaction.h>

#include "models/bga/bga_detailed_model.h"
#include "models/pdevice/power_device_detailed_model.h"
#include "models/qfp/qfp_detailed_model.h"
#include "parts_ui/bga_property_model.h"
#include "parts_ui/part_property_grid_ctrl.h"
#include "parts_ui/power_device_property_model.h"
#include "parts_ui/qfp_property_model.h"
#include "app/message_box.h"
#include "resources/string_table.h"
#include "tests/parts_ui/grid_test_util.h"
#include "tests/support/wx_test.h"
#include "widget/controls.h"

namespace {

using widget::Variant;
using zentrik_test::WaitUntil;

class PropertiesViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        frame = zentrik_test::ShowTestFrame(601, 700);
        view = new PropertiesView(frame);
        view->SetSize(frame->GetClientSize());
        package = std::make_shared<pkg::qfp::QFPDetailedModel>(false);
        model = parts_ui::BuildQFPPropertyTree(*package);
        view->SetModel(model.model);
        view->Changed.connect([this] { ++changed; });
        zentrik_test::DispatchPending();
    }
    void TearDown() override {
        frame->Destroy();
        zentrik_test::DispatchPending();
    }
    std::shared_ptr<widget::WTreeItem> Item(const std::wstring& key) { return model.index.at(key); }
    std::wstring Key(std::uint32_t g, std::uint32_t i) { return parts_ui::PropertyKey(g, i); }
    PartPropertyGridCtrl* Grid() { return view->Grid(); }

    // Types a new mold thickness into the grid's editor.
    void TypeMoldThickness(const char* text) {
        wxPGProperty* property = Item(Key(199, 181))->property;
        ASSERT_NE(property, nullptr);
        zentrik_test::TypeIntoGrid(view, property, text);
    }

    wxFrame* frame = nullptr;
    PropertiesView* view = nullptr;
    std::shared_ptr<pkg::qfp::QFPDetailedModel> package;
    parts_ui::PropertyModel model;
    int changed = 0;
};

TEST_F(PropertiesViewTest, LayoutGivesThreeButtonsInOneRow) {
    EXPECT_EQ(view->SaveButton()->GetRect(), wxRect(0, 0, 200, 25));
    EXPECT_EQ(view->ResetButton()->GetRect(), wxRect(200, 0, 200, 25));
    EXPECT_EQ(view->PreviewButton()->GetRect(), wxRect(400, 0, 201, 25));
    EXPECT_EQ(view->ToolBar()->GetPosition().y, 25);
    EXPECT_EQ(Grid()->GetPosition().y, 25 + view->ToolBar()->GetSize().y);
    EXPECT_FALSE(view->SaveButton()->IsEnabled());
    EXPECT_FALSE(view->ResetButton()->IsEnabled());
    EXPECT_TRUE(view->PreviewButton()->IsEnabled());

    // A pane narrower than the three buttons keeps them at their least width (clipped).
    view->SetSize(60, 300);
    EXPECT_GE(view->SaveButton()->GetSize().x, view->SaveButton()->GetBestSize().x);
    EXPECT_GE(view->PreviewButton()->GetSize().x, view->PreviewButton()->GetBestSize().x);
    view->SetSize(frame->GetClientSize());

    // The tool bar has its natural height, so its button can be seen and clicked.
    wxToolBar* tools = view->ToolBar();
    EXPECT_GE(tools->GetSize().y, tools->GetBestSize().y);
    EXPECT_GE(tools->GetSize().y, 15 + 4);
    Grid()->Collapse(Item(Key(199, 181))->property->GetParent());
    zentrik_test::ClickAt(tools, wxPoint(tools->GetToolSize().x / 2 + 2, tools->GetSize().y / 2));
    EXPECT_TRUE(WaitUntil([&] { return Item(Key(199, 181))->property->GetParent()->IsExpanded(); }));
}

TEST_F(PropertiesViewTest, TypedValueMarksThenResetRestores) {
    TypeMoldThickness("2.5");
    wxPGProperty* property = Item(Key(199, 181))->property;
    EXPECT_EQ(Item(Key(199, 181))->value, Variant::FromR8(2.5));
    EXPECT_TRUE(property->HasFlag(wxPG_PROP_MODIFIED));
    EXPECT_TRUE(Grid()->HasFlag(wxPG_BOLD_MODIFIED));  // so the marked value is drawn bold
    EXPECT_TRUE(view->SaveButton()->IsEnabled());
    EXPECT_TRUE(view->ResetButton()->IsEnabled());

    // Preview shows the values and keeps the marks.
    view->PreviewButton()->clicked();
    EXPECT_EQ(changed, 1);
    EXPECT_TRUE(view->IsModified());

    changed = 0;
    view->ResetButton()->clicked();
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(Item(Key(199, 181))->value, Variant::FromR8(package->mold.thickness));
    EXPECT_EQ(property->GetValue().GetDouble(), package->mold.thickness);
    EXPECT_FALSE(Grid()->IsModified());
    EXPECT_FALSE(view->SaveButton()->IsEnabled());
    EXPECT_FALSE(view->ResetButton()->IsEnabled());
}

// Under a comma locale a number still shows and reads with a point; text that is no number
// is refused with a message and stays in its editor, never stored as another value.
TEST_F(PropertiesViewTest, NumbersReadAndShowWithAPointUnderACommaLocale) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
        << "scripts/setup provides de_DE.UTF-8";
    std::vector<wxString> refused;
    SetMessageBoxAnswerer([&](const wxString& text, const wxString&, long) {
        refused.push_back(text);
        return wxOK;
    });
    package->mold.thickness = 1.25;
    model = parts_ui::BuildQFPPropertyTree(*package);
    view->SetModel(model.model);
    wxPGProperty* property = Item(Key(199, 181))->property;
    EXPECT_EQ(property->GetValueAsString(), "1.25");

    zentrik_test::TypeIntoGrid(view, property, "2.5", false);
    EXPECT_TRUE(view->SaveButton()->IsEnabled()) << "typing alone is a change";
    EXPECT_TRUE(view->IsModified());
    EXPECT_EQ(Item(Key(199, 181))->value, Variant::FromR8(2.5));
    EXPECT_EQ(property->GetValueAsString(), "2.5");

    // The refusal is ours, in the UI language, not the toolkit's English.
    const std::shared_ptr<widget::WTreeItem> thickness = Item(Key(199, 181));
    for (const char* text : {"2,5", "abc"}) {
        const bool japanese = text[0] == 'a';
        resources::SetThreadLanguage(japanese ? resources::kLanguageJapanese
                                              : resources::kLanguageEnglish);
        zentrik_test::TypeIntoGrid(view, property, text, false);
        EXPECT_TRUE(view->IsModified());
        ASSERT_EQ(refused.size(), 1u) << text;
        EXPECT_EQ(refused[0],
                  japanese ? wxString::FromUTF8("入力された値は正しくありません。ESC キーを押すと編集を取り消します。")
                           : wxString("You have entered invalid value. Press ESC to cancel editing."));
        EXPECT_EQ(thickness->value, Variant::FromR8(2.5)) << text;
        EXPECT_NE(Grid()->GetEditorControl(), nullptr) << "the text stays to be corrected";
        refused.clear();
    }
    resources::SetThreadLanguage(resources::kLanguageEnglish);
    changed = 0;
    view->PreviewButton()->clicked();
    EXPECT_EQ(changed, 0) << "nothing to show while the text is refused";
    EXPECT_EQ(refused.size(), 1u);
    view->Reset();
    EXPECT_EQ(Item(Key(199, 181))->value, Variant::FromR8(1.25));
    EXPECT_FALSE(view->IsModified());

    SetMessageBoxAnswerer({});
    std::setlocale(LC_ALL, before.c_str());
}

// The pane may be given a new model while an edit is open and the old model has no other
// holder: the edit goes with it, unwritten, and nothing points into it afterwards.
TEST_F(PropertiesViewTest, ANewModelMayComeWhileAnEditIsOpen) {
    const std::shared_ptr<widget::WTreeItem> thickness = Item(Key(199, 181));
    const Variant stored = thickness->value;
    zentrik_test::TypeIntoGrid(view, thickness->property, "9", false);
    std::weak_ptr<widget::WTreeItemModel> old = model.model;
    model = parts_ui::PropertyModel();
    view->SetModel(std::make_shared<widget::WTreeItemModel>());
    zentrik_test::DispatchPending();
    EXPECT_TRUE(old.expired());
    EXPECT_EQ(thickness->value, stored);
    EXPECT_EQ(thickness->property, nullptr);
    EXPECT_FALSE(view->IsModified());
}

TEST_F(PropertiesViewTest, SaveCommitsOnlyWhenAListenerSaved) {
    TypeMoldThickness("3");
    EXPECT_FALSE(view->Save());  // nobody listens
    bool answer = false;
    int asked = 0;
    view->SaveRequested.connect([&] {
        ++asked;
        return answer;
    });
    changed = 0;
    EXPECT_FALSE(view->Save());
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(changed, 0);
    EXPECT_TRUE(view->IsModified());
    EXPECT_TRUE(view->SaveButton()->IsEnabled());

    answer = true;
    EXPECT_TRUE(view->Save());
    EXPECT_EQ(changed, 1);
    EXPECT_FALSE(view->IsModified());
    EXPECT_FALSE(view->SaveButton()->IsEnabled());
    // The saved value is the new reference: a reset keeps it.
    view->Reset();
    EXPECT_EQ(Item(Key(199, 181))->value, Variant::FromR8(3.0));
}

TEST_F(PropertiesViewTest, TabWalksDepthFirst) {
    wxPGProperty* mold = Item(Key(199, 179))->property->GetParent()->GetParent();
    Grid()->Collapse(mold);
    Grid()->SelectProperty(mold, false);
    Grid()->SetFocus();
    ASSERT_TRUE(WaitUntil([&] { return Grid()->HasFocus() || wxWindow::FindFocus() != nullptr; }));
    wxUIActionSimulator sim;
    sim.Char(WXK_TAB);
    ASSERT_TRUE(WaitUntil([&] { return Grid()->GetSelection() != mold; }));
    EXPECT_TRUE(mold->IsExpanded());
    EXPECT_EQ(Grid()->GetSelection(), mold->Item(0));  // the "Size" sub-group

    // The last item of "Size" goes on to the next item of the group.
    Grid()->SelectProperty(Item(Key(199, 180))->property, false);
    EXPECT_TRUE(Grid()->HandleTab());
    EXPECT_EQ(Grid()->GetSelection(), Item(Key(199, 181))->property);

    // The last item of the last group is left to the grid.
    wxPGProperty* last = Item(Key(280, 208))->property;
    Grid()->SelectProperty(last, false);
    EXPECT_FALSE(Grid()->HandleTab());
    EXPECT_EQ(Grid()->GetSelection(), last);
    EXPECT_EQ(Grid()->NextSibling(nullptr), nullptr);
}

TEST_F(PropertiesViewTest, ChoicesOutsideTheirOptionsShowAsStored) {
    pkg::bga::BGADetailedModel bga(false);
    bga.board.number_of_layer = 3;
    const parts_ui::PropertyModel bgaModel = parts_ui::BuildBGAPropertyTree(bga);
    view->SetModel(bgaModel.model);
    EXPECT_EQ(bgaModel.index.at(Key(222, 228))->property->GetValueAsString(), "3");

    pkg::pdevice::TO263DetailedModel to263;
    to263.composition.lead_type = 7;
    const parts_ui::PropertyModel to263Model = parts_ui::BuildPowerDevicePropertyTree(to263);
    view->SetModel(to263Model.model);
    wxPGProperty* variation = to263Model.index.at(Key(267, 274))->property;
    EXPECT_EQ(variation->GetValueAsString(), "7");
    EXPECT_FALSE(view->IsModified());
}

TEST_F(PropertiesViewTest, YesOrNoValuesInTheUiLanguage) {
    for (const bool japanese : {false, true}) {
        resources::SetThreadLanguage(japanese ? resources::kLanguageJapanese
                                              : resources::kLanguageEnglish);
        auto tree = std::make_shared<widget::WTreeItemModel>();
        auto group = widget::MakeTreeItem();
        group->text = L"group";
        auto item = widget::MakeTreeItem();
        item->text = L"flag";
        item->value = Variant::FromBool(false);
        // A parent lists its children's values in their own texts too.
        auto parent = widget::MakeTreeItem();
        parent->text = L"pair";
        auto other = widget::MakeTreeItem();
        other->text = L"other";
        other->value = Variant::FromBool(true);
        parent->AppendRow(other);
        group->AppendRow(item);
        group->AppendRow(parent);
        tree->AppendRow(group);
        view->SetModel(tree);
        ASSERT_NE(item->property, nullptr);
        EXPECT_EQ(item->property->GetValueAsString(),
                  japanese ? wxString::FromUTF8("いいえ") : wxString("False"));
        item->property->SetValue(true);
        EXPECT_EQ(item->property->GetValueAsString(),
                  japanese ? wxString::FromUTF8("はい") : wxString("True"));
        ASSERT_NE(parent->property, nullptr);
        EXPECT_EQ(parent->property->GetValueAsString(),
                  japanese ? wxString::FromUTF8("はい") : wxString("True"));
        // The composed text reads back into the child.
        parent->property->SetValueFromString(japanese ? wxString::FromUTF8("いいえ") : "False");
        EXPECT_FALSE(other->property->GetValue().GetBool());
    }
    resources::SetThreadLanguage(resources::kLanguageEnglish);
}

}  // namespace
