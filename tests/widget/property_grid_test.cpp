#include "widget/property_grid_ctrl.h"

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/propgrid/props.h>
#include <wx/uiaction.h>

#include "tests/support/wx_test.h"

namespace widget {
namespace {

using zentrik_test::WaitUntil;

std::shared_ptr<WTreeItem> Valued(const std::wstring& text, const Variant& value) {
    auto item = std::make_shared<WTreeItem>(text);
    item->value = value;
    return item;
}

class PropertyGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        frame = zentrik_test::ShowTestFrame();
        auto* panel = new wxPanel(frame, wxID_ANY, wxPoint(0, 0), frame->GetClientSize());
        grid = new WPropertyGridCtrl(panel, wxID_ANY, wxPoint(0, 0), wxSize(400, 500));
        // A: a real and a group of an integer and a text; B: empty.
        model = std::make_shared<WTreeItemModel>();
        auto a = std::make_shared<WTreeItem>(L"A");
        real = Valued(L"Real", Variant::FromR8(1.5));
        auto group = std::make_shared<WTreeItem>(L"Group");
        group->AppendRow(Valued(L"Count", Variant::FromI4(2)));
        group->AppendRow(Valued(L"Name", Variant::FromBstr(L"s")));
        a->AppendRow(real);
        a->AppendRow(group);
        model->AppendRow(a);
        model->AppendRow(std::make_shared<WTreeItem>(L"B"));
        grid->gridModel = model;
    }
    void TearDown() override {
        frame->Destroy();
        zentrik_test::DispatchPending();
    }
    wxFrame* frame = nullptr;
    WPropertyGridCtrl* grid = nullptr;
    std::shared_ptr<WTreeItemModel> model;
    std::shared_ptr<WTreeItem> real;
};

TEST_F(PropertyGridTest, ExampleModelGivesItsTree) {
    grid->Rebuild();
    wxPGProperty* a = model->root->rows[0][0]->property;
    wxPGProperty* b = model->root->rows[1][0]->property;
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(a->IsCategory());
    EXPECT_EQ(a->GetLabel(), "A");
    EXPECT_EQ(b->GetChildCount(), 0u);
    ASSERT_EQ(a->GetChildCount(), 2u);
    EXPECT_NE(dynamic_cast<wxFloatProperty*>(a->Item(0)), nullptr);
    EXPECT_EQ(WPropertyGridCtrl::PropertyItem(a->Item(0)), real.get());
    wxPGProperty* group = a->Item(1);
    ASSERT_EQ(group->GetChildCount(), 2u);
    EXPECT_NE(dynamic_cast<wxIntProperty*>(group->Item(0)), nullptr);
    EXPECT_NE(dynamic_cast<wxStringProperty*>(group->Item(1)), nullptr);
    EXPECT_EQ(group->GetValueAsString(), "2; s");

    // A sub-property of a group is written back as its item's type.
    auto count = model->root->rows[0][0]->rows[1][0]->rows[0][0];
    grid->ChangePropertyValue(group->Item(0), 5L);
    EXPECT_EQ(count->value, Variant::FromI4(5));
    EXPECT_EQ(group->GetValueAsString(), "5; s");
}

TEST_F(PropertyGridTest, OptionsGiveUniqueChoicesAndDisabledItems) {
    auto a = model->root->rows[0][0];
    auto choice = Valued(L"Choice", Variant::FromBstr(L"y"));
    for (const wchar_t* option : {L"x", L"y", L"x"}) choice->AddOption(option);
    auto wiring = Valued(L"Wiring", Variant::FromI4(3));
    for (const wchar_t* option : {L"1", L"2"}) wiring->AddOption(option);
    real->enabled = false;
    a->AppendRow(choice);
    a->AppendRow(wiring);
    grid->Rebuild();

    auto* choiceProperty = dynamic_cast<wxEnumProperty*>(choice->property);
    ASSERT_NE(choiceProperty, nullptr);
    EXPECT_EQ(choiceProperty->GetChoices().GetCount(), 2u);
    EXPECT_EQ(choiceProperty->GetValueAsString(), "y");
    EXPECT_EQ(choiceProperty->GetEditorClass(), wxPGEditor_Choice);
    // A value outside the options is one more choice, so that it shows.
    auto* wiringProperty = dynamic_cast<wxEnumProperty*>(wiring->property);
    ASSERT_NE(wiringProperty, nullptr);
    EXPECT_EQ(wiringProperty->GetChoices().GetCount(), 3u);
    EXPECT_EQ(wiringProperty->GetValueAsString(), "3");
    EXPECT_FALSE(real->property->IsEnabled());

    // A choice is written back as the item's own type.
    grid->ChangePropertyValue(wiringProperty, 1L);
    EXPECT_EQ(wiring->value, Variant::FromI4(2));
}

TEST_F(PropertyGridTest, TypedValueKeepsItsTypeThenRestoreAndCommit) {
    grid->Rebuild();
    zentrik_test::DispatchPending();
    int changes = 0;
    model->dataChanged.connect([&](WTreeItem* item) {
        EXPECT_EQ(item, real.get());
        ++changes;
    });
    wxPGProperty* property = real->property;
    const wxRect rect = grid->GetPropertyRect(property, property);
    const wxPoint value = grid->CalcScrolledPosition(
        wxPoint(grid->GetSplitterPosition() + 30, rect.y + rect.height / 2));
    zentrik_test::ClickAt(grid, value);
    ASSERT_TRUE(WaitUntil([&] { return grid->GetEditorControl() != nullptr; }));
    wxUIActionSimulator sim;
    sim.Char(WXK_END);
    sim.Text("25");
    sim.Char(WXK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return changes > 0; }));
    zentrik_test::DispatchPending();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(real->value, Variant::FromR8(1.525));
    EXPECT_TRUE(grid->IsModified());

    wxPGProperty* a = model->root->rows[0][0]->property;
    grid->RestoreModifiedProperty(a);
    grid->ResetOriginalValues();
    EXPECT_EQ(real->value, Variant::FromR8(1.5));
    EXPECT_EQ(property->GetValue().GetDouble(), 1.5);
    EXPECT_FALSE(grid->IsModified());

    // A committed value is the new reference: a reset keeps it.
    grid->ChangePropertyValue(property, 4.0);
    EXPECT_EQ(real->value, Variant::FromR8(4.0));
    grid->CommitModifiedProperty(a);
    grid->RestoreModifiedProperty(a);
    grid->ResetOriginalValues();
    EXPECT_EQ(real->value, Variant::FromR8(4.0));
    EXPECT_EQ(property->GetValue().GetDouble(), 4.0);
}

TEST_F(PropertyGridTest, NameColumnFollowsTheWidthFromANarrowStart) {
    grid->SetSize(wxSize(60, 500));
    grid->Rebuild();
    zentrik_test::DispatchPending();
    grid->SetSize(wxSize(400, 500));
    zentrik_test::DispatchPending();
    EXPECT_NEAR(grid->GetSplitterPosition(), grid->GetClientSize().x / 2, 2);
    EXPECT_GE(grid->GetSplitterPosition(), grid->GetTextExtent("Count").x);
}

}  // namespace
}  // namespace widget
