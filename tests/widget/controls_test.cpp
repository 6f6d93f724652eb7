#include "widget/controls.h"

#include <future>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/uiaction.h>

#include "tests/support/wx_test.h"
#include "widget/item_delegate.h"
#include "widget/ui_thread.h"

namespace widget {
namespace {

using zentrik_test::WaitUntil;

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        frame = zentrik_test::ShowTestFrame();
        panel = new wxPanel(frame, wxID_ANY, wxPoint(0, 0), frame->GetClientSize());
    }
    void TearDown() override {
        frame->Destroy();
        zentrik_test::DispatchPending();
    }
    wxFrame* frame = nullptr;
    wxPanel* panel = nullptr;
    wxUIActionSimulator sim;
};

void Inject(wxWindow* window, wxEventType type) {
    wxCommandEvent event(type, window->GetId());
    event.SetEventObject(window);
    window->GetEventHandler()->ProcessEvent(event);
}

TEST_F(ControlsTest, EditSignalsForTypingEnterAndEscape) {
    auto* button = new WButton(panel, wxID_ANY, "Back", wxPoint(10, 10), wxSize(100, 30));
    auto* edit = new WEdit();
    edit->Create(panel, wxID_ANY, wxEmptyString, wxPoint(10, 60), wxSize(200, 30));
    std::vector<std::string> log;
    int clicks = 0;
    button->clicked.connect([&] { ++clicks; });
    edit->editingFinished.connect([&] { log.push_back("finished"); });
    edit->returnPressed.connect([&] { log.push_back("return"); });
    edit->focusLost.connect([&] { log.push_back("lost"); });
    edit->textChanged.connect([&](const wxString& text) { log.push_back("text " + text.ToStdString()); });

    zentrik_test::ClickAt(button, wxPoint(50, 15));
    ASSERT_TRUE(WaitUntil([&] { return clicks == 1; }));
    button->SetFocus();
    ASSERT_TRUE(WaitUntil([&] { return wxWindow::FindFocus() == button; }));
    zentrik_test::ClickAt(edit, wxPoint(20, 15));
    ASSERT_TRUE(WaitUntil([&] { return wxWindow::FindFocus() == edit; }));
    EXPECT_EQ(edit->previousFocus.get(), button);

    sim.Text("ab");
    ASSERT_TRUE(WaitUntil([&] { return edit->GetValue() == "ab"; }));
    edit->SetValue("ab");
    EXPECT_EQ(log, (std::vector<std::string>{"text a", "text ab"}));

    log.clear();
    sim.Char(WXK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return wxWindow::FindFocus() == button && log.size() >= 4; }));
    zentrik_test::DispatchPending();
    EXPECT_EQ(log, (std::vector<std::string>{"finished", "return", "finished", "lost"}));

    zentrik_test::ClickAt(edit, wxPoint(20, 15));
    ASSERT_TRUE(WaitUntil([&] { return wxWindow::FindFocus() == edit; }));
    log.clear();
    sim.Char(WXK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return wxWindow::FindFocus() == button && log.size() >= 2; }));
    zentrik_test::DispatchPending();
    EXPECT_EQ(log, (std::vector<std::string>{"finished", "lost"}));
    EXPECT_EQ(edit->GetValue(), "ab");
}

TEST_F(ControlsTest, ComboSignalsFromSelectionCloseUpAndFocus) {
    auto* combo = new WComboBox();
    combo->Create(panel, wxID_ANY, wxPoint(10, 10), wxSize(150, 30));
    EXPECT_TRUE(combo->HasFlag(wxCB_READONLY));
    combo->Append("one");
    combo->Append("two");
    std::vector<std::string> log;
    combo->activated.connect([&](int s) { log.push_back("activated " + std::to_string(s)); });
    combo->selectionChanged.connect([&](int s) { log.push_back("changed " + std::to_string(s)); });
    combo->focusLost.connect([&] { log.push_back("lost"); });

    Inject(combo, wxEVT_COMBOBOX_CLOSEUP);
    zentrik_test::DispatchPending();
    // GTK closes the list before it reports the choice made in it: the choice comes first.
    Inject(combo, wxEVT_COMBOBOX_CLOSEUP);
    combo->SetSelection(1);
    Inject(combo, wxEVT_COMBOBOX);
    zentrik_test::DispatchPending();
    wxFocusEvent lost(wxEVT_KILL_FOCUS, combo->GetId());
    combo->GetEventHandler()->ProcessEvent(lost);
    EXPECT_EQ(log, (std::vector<std::string>{"activated -1", "activated 1", "changed 1",
                                             "activated 1", "lost"}));

    auto* dropDown = new WDropDownListComboBox();
    EXPECT_TRUE(dropDown->editFrame);
    EXPECT_FALSE(dropDown->hot);
    dropDown->Create(panel, wxID_ANY, wxPoint(10, 60), wxSize(150, 30));
    wxMouseEvent enter(wxEVT_ENTER_WINDOW);
    dropDown->GetEventHandler()->ProcessEvent(enter);
    EXPECT_TRUE(dropDown->hot);
    wxMouseEvent leave(wxEVT_LEAVE_WINDOW);
    dropDown->GetEventHandler()->ProcessEvent(leave);
    EXPECT_FALSE(dropDown->hot);
}

// A model of one row whose cell (0, 1) holds `value`.
std::shared_ptr<WTreeItemModel> OneCellModel(const Variant& value) {
    auto model = std::make_shared<WTreeItemModel>();
    model->headers = {L"Name", L"Kind"};
    model->root->columnCount = 2;
    model->root->AppendRow(std::make_shared<WTreeItem>(L"part"));
    model->root->rows[0][1]->value = value;
    return model;
}

TEST_F(ControlsTest, ComboDelegateOptionsSelectionAndCommits) {
    auto model = OneCellModel(Variant::FromBstr(L"B"));
    const WModelIndex index{1, 0, model.get()};
    WComboBoxDelegate delegate;
    delegate.SetOptionListProvider(
        [](const WModelIndex&) { return std::vector<wxString>{"A", "b", "B"}; });
    int writes = 0;
    model->dataChanged.connect([&](WTreeItem*) { ++writes; });
    delegate.commitRequested.connect(
        [&](wxWindow* editor) { delegate.SetModelData(editor, model.get(), index); });
    WViewItemOption option;
    option.rect = wxRect(10, 10, 150, 30);

    auto editor = delegate.CreateEditor(panel, option, index);
    auto* combo = dynamic_cast<WComboBox*>(editor->window.get());
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->GetCount(), 3u);
    EXPECT_EQ(combo->GetString(0), "A");
    EXPECT_EQ(combo->GetString(2), "B");
    EXPECT_EQ(combo->GetSelection(), 0);
    delegate.SetEditorData(combo, index);
    EXPECT_EQ(combo->GetSelection(), 2);

    // A value differing only in case matches nothing: the first entry stays and is written.
    model->root->rows[0][1]->value = Variant::FromBstr(L"a");
    auto second = delegate.CreateEditor(panel, option, index);
    auto* other = dynamic_cast<WComboBox*>(second->window.get());
    delegate.SetEditorData(other, index);
    EXPECT_EQ(other->GetSelection(), 0);
    int closes = 0;
    second->closeRequested.connect([&] { ++closes; });
    wxFocusEvent lost(wxEVT_KILL_FOCUS, other->GetId());
    other->GetEventHandler()->ProcessEvent(lost);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(writes, 0);
    Inject(other, wxEVT_COMBOBOX_CLOSEUP);
    zentrik_test::DispatchPending();
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(model->root->rows[0][1]->value.Bstr(), L"A");

    // The first editor's window goes once the view lets go of it too.
    EXPECT_EQ(delegate.currentEditor, second);
    wxWeakRef<wxWindow> firstWindow(combo);
    editor.reset();
    EXPECT_FALSE(firstWindow);

    // Without options there is no selection and nothing to write.
    delegate.SetOptionListProvider([](const WModelIndex&) { return std::vector<wxString>(); });
    auto empty = delegate.CreateEditor(panel, option, index);
    auto* none = dynamic_cast<WComboBox*>(empty->window.get());
    EXPECT_EQ(none->GetSelection(), wxNOT_FOUND);
    Inject(none, wxEVT_COMBOBOX_CLOSEUP);
    zentrik_test::DispatchPending();
    EXPECT_EQ(writes, 1);

    delegate.SetOptionListProvider(nullptr);
    EXPECT_THROW(delegate.CreateEditor(panel, option, index), std::bad_function_call);
    delegate.SetEditorFactory(nullptr);
    EXPECT_THROW(delegate.CreateEditor(panel, option, index), std::bad_function_call);
}

TEST_F(ControlsTest, EditDelegateStoresTextOfANumber) {
    auto model = OneCellModel(Variant::FromR8(2.5));
    const WModelIndex index{1, 0, model.get()};
    WEditDelegate delegate;
    WViewItemOption option;
    option.rect = wxRect(10, 10, 150, 30);
    auto editor = delegate.CreateEditor(panel, option, index);
    auto* edit = dynamic_cast<WEdit*>(editor->window.get());
    ASSERT_NE(edit, nullptr);
    delegate.SetEditorData(edit, index);
    EXPECT_EQ(edit->GetValue(), "2.5");
    int commits = 0;
    delegate.commitRequested.connect([&](wxWindow* window) {
        EXPECT_EQ(window, edit);
        ++commits;
        delegate.SetModelData(window, model.get(), index);
    });
    edit->editingFinished();
    EXPECT_EQ(commits, 1);
    EXPECT_EQ(model->root->rows[0][1]->value, Variant::FromBstr(L"2.5"));
}

// The update's handler is destroyed before the update could run: the waiting thread goes
// on and nothing runs.
TEST_F(ControlsTest, UiThreadCallWhoseHandlerGoesReleasesTheCaller) {
    struct Handler : wxEvtHandler {
        std::promise<void>* queued = nullptr;
        void QueueEvent(wxEvent* event) override {
            wxEvtHandler::QueueEvent(event);
            queued->set_value();
        }
    };
    std::promise<void> queued;
    auto* handler = new Handler;
    handler->queued = &queued;
    bool ran = false;
    std::thread caller([&] { RunOnUiThread(handler, [&] { ran = true; }); });
    queued.get_future().wait();
    delete handler;
    caller.join();
    EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace widget
