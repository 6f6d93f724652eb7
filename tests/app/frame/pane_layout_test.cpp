#include "app/frame/pane_layout.h"

#include <gtest/gtest.h>

#include <wx/aui/auibook.h>
#include <wx/aui/dockart.h>
#include <wx/menu.h>
#include <wx/uiaction.h>

#include "app/command_ids.h"
#include "app/help_view.h"
#include "app/home_folder.h"
#include "app/output_view.h"
#include "app/preview_view.h"
#include "parts_ui/file_view.h"
#include "parts_ui/parts_view.h"
#include "parts_ui/properties_view.h"
#include "platform/registry.h"
#include "tests/app/frame/shown_main_frame.h"
#include "tests/support/wx_test.h"

namespace {

using zentrik_test::DispatchPending;
using zentrik_test::WaitUntil;

class Panes : public ShownMainFrame {
protected:
    Panes() : ShownMainFrame("zentrik-panes-") {}

    PaneLayout& Layout() { return frame->Docking(); }
    void Command(int commandId) {
        wxCommandEvent event(wxEVT_MENU, WxId(commandId));
        frame->GetEventHandler()->ProcessEvent(event);
        frame->DoMenuUpdates();
    }
    bool Ticked(int commandId) {
        frame->DoMenuUpdates();
        return frame->GetMenuBar()->IsChecked(WxId(commandId));
    }
    // The centre of a caption button of a docked pane, or of the pane slid out; the pin
    // lies left of the close button at the caption's right end.
    wxPoint CaptionButton(wxWindow* pane, int fromRight) {
        wxAuiDockArt* art = Layout().GetArtProvider();
        const int button = art->GetMetric(wxAUI_DOCKART_PANE_BUTTON_SIZE);
        const int caption = art->GetMetric(wxAUI_DOCKART_CAPTION_SIZE);
        const wxRect window = pane->GetScreenRect();
        return wxPoint(window.GetRight() - 3 - fromRight * button - button / 2,
                       window.y - caption / 2 - 1);
    }
    void RealClick(const wxPoint& screen) {
        wxUIActionSimulator sim;
        sim.MouseMove(screen);
        DispatchPending();
        sim.MouseClick();
        DispatchPending();
    }
    void RealDrag(const wxPoint& from, const wxPoint& to) {
        wxUIActionSimulator sim;
        sim.MouseMove(from);
        DispatchPending();
        sim.MouseDown();
        DispatchPending();
        for (int step = 1; step <= 12; ++step) {
            sim.MouseMove(from + (to - from) * step / 12);
            WaitUntil([&] { return wxGetMousePosition() == from + (to - from) * step / 12; },
                      std::chrono::seconds(2));
            DispatchPending();
        }
        sim.MouseUp();
        DispatchPending();
    }
    // Closes the frame as the user does (the layout is saved) and opens a new one that
    // restores it.
    void Restart() {
        frame->Close(true);
        DispatchPending();
        frame = new MainFrame(settings, operations);
        wxTheApp->SetTopWindow(frame);
        frame->Show();
        ASSERT_TRUE(WaitUntil([&] { return frame->IsShownOnScreen(); }));
        frame->ArrangeFloatingPanes();
    }
};

TEST_F(Panes, CaptionDropMakesTabsViewFollowsAndAPulledTabFloats) {
    const wxPoint filesCaption = frame->Files()->GetScreenPosition() + wxPoint(30, -8);
    const wxPoint componentsCaption = frame->Components()->GetScreenPosition() + wxPoint(30, -8);
    RealDrag(componentsCaption, filesCaption + wxPoint(2, 0));
    ASSERT_TRUE(WaitUntil([&] { return Layout().TabsOf(frame->Components()) != nullptr; }));
    wxAuiNotebook* book = Layout().TabsOf(frame->Files());
    ASSERT_EQ(book, Layout().TabsOf(frame->Components()));
    EXPECT_EQ(book->GetPageCount(), 2u);
    EXPECT_TRUE(Layout().GetPane(book).IsDocked());
    EXPECT_EQ(Layout().GetPane(book).dock_direction, wxAUI_DOCK_LEFT);

    // Hidden and shown again by View, the tab comes back to its group.
    Command(ID_VIEW_COMPONENTS);
    EXPECT_FALSE(Ticked(ID_VIEW_COMPONENTS));
    EXPECT_TRUE(Ticked(ID_FILE_VIEW));
    EXPECT_EQ(book->GetPageCount(), 1u);
    Command(ID_VIEW_COMPONENTS);
    EXPECT_TRUE(Ticked(ID_VIEW_COMPONENTS));
    EXPECT_EQ(book->GetPageCount(), 2u);

    // A third pane joins through any member; pulled out, it floats where it was dropped.
    Layout().GroupAsTabs(frame->Files(), frame->Help());
    EXPECT_EQ(book->GetPageCount(), 3u);
    Layout().PullOutOfTabs(frame->Help(), wxPoint(500, 300));
    EXPECT_TRUE(Layout().GetPane(frame->Help()).IsFloating());
    EXPECT_TRUE(Ticked(ID_HELP_VIEW));

    // The last tab but one leaves: the other takes the group's place.
    Layout().PullOutOfTabs(frame->Files(), wxPoint(400, 300));
    EXPECT_EQ(Layout().TabsOf(frame->Components()), nullptr);
    const wxAuiPaneInfo& components = Layout().GetPane(frame->Components());
    EXPECT_TRUE(components.IsDocked() && components.IsShown());
    EXPECT_EQ(components.dock_direction, wxAUI_DOCK_LEFT);
    EXPECT_FALSE(Layout().GetPane("tabs0").IsOk());
}

TEST_F(Panes, PinnedPaneHidesToItsSideSlidesOverThePreviewAndDocksAgain) {
    wxWindow* pane = frame->Properties();
    const int sides[] = {wxAUI_DOCK_LEFT, wxAUI_DOCK_TOP, wxAUI_DOCK_RIGHT, wxAUI_DOCK_BOTTOM};
    for (int side : sides) {
        SCOPED_TRACE(side);
        Layout().GetPane(pane).Direction(side).Layer(0).Row(0).Position(0);
        Layout().Update();
        DispatchPending();
        RealClick(CaptionButton(pane, 1));
        ASSERT_TRUE(WaitUntil([&] { return Layout().IsAutoHidden(pane); }));
        wxWindow* button = Layout().BarButton(pane);
        ASSERT_TRUE(WaitUntil([&] { return button->IsShownOnScreen(); }));
        EXPECT_EQ(button->GetParent(), Layout().SideBar(side));
        EXPECT_TRUE(Ticked(ID_VIEW_PROPERTIES));

        const wxSize preview = frame->Preview()->GetSize();
        wxUIActionSimulator sim;
        sim.MouseMove(button->GetScreenRect().GetPosition() + wxPoint(4, 4));
        ASSERT_TRUE(WaitUntil([&] { return Layout().SlidOutPane() == pane; }));
        ASSERT_TRUE(WaitUntil([&] { return pane->IsShownOnScreen(); }));
        EXPECT_EQ(frame->Preview()->GetSize(), preview);
        const wxRect bar = Layout().SideBar(side)->GetScreenRect();
        const wxRect out = Layout().SlideOutWindow()->GetScreenRect();
        const wxRect client(frame->ClientToScreen(wxPoint(0, 0)), frame->GetClientSize());
        EXPECT_TRUE(client.Contains(out));
        EXPECT_FALSE(out.Intersects(bar));
        EXPECT_TRUE(out.Intersects(wxRect(bar).Inflate(1)));

        // The pointer on the pane keeps it out; off it (and its button), it slides back.
        const wxPoint middle = out.GetPosition() + wxPoint(out.width / 2, out.height / 2);
        sim.MouseMove(middle);
        WaitUntil([&] { return wxGetMousePosition() == middle; });
        Layout().CheckSlideBack();
        EXPECT_EQ(Layout().SlidOutPane(), pane);
        RealClick(CaptionButton(pane, 0));  // the pin: no close button here
        ASSERT_TRUE(WaitUntil([&] { return !Layout().IsAutoHidden(pane); }));
        EXPECT_EQ(Layout().SlidOutPane(), nullptr);
        const wxAuiPaneInfo& docked = Layout().GetPane(pane);
        EXPECT_TRUE(docked.IsDocked() && docked.IsShown());
        EXPECT_EQ(docked.dock_direction, side);
        EXPECT_FALSE(Layout().GetPane(Layout().SideBar(side)).IsShown());
    }

    Layout().AutoHide(pane);
    Layout().SlideOut(pane);
    const wxPoint onPreview = frame->Preview()->GetScreenRect().GetBottomRight() - wxPoint(5, 5);
    wxUIActionSimulator().MouseMove(onPreview);
    WaitUntil([&] { return frame->Preview()->GetScreenRect().Contains(wxGetMousePosition()); });
    frame->Preview()->SetFocus();
    Layout().CheckSlideBack();
    EXPECT_EQ(Layout().SlidOutPane(), nullptr);
    Command(ID_VIEW_PROPERTIES);
    EXPECT_FALSE(Ticked(ID_VIEW_PROPERTIES));
    EXPECT_FALSE(Layout().BarButton(pane)->IsShown());
}

TEST_F(Panes, TabsHiddenPanesAndClosedTabsSurviveARestartOlderLayoutsGiveWay) {
    Layout().GroupAsTabs(frame->Files(), frame->Components());
    Layout().AutoHide(frame->Help());
    Command(ID_VIEW_PROPERTIES);
    Command(ID_VIEW_COMPONENTS);
    Restart();
    ASSERT_NE(Layout().TabsOf(frame->Components()), nullptr);
    EXPECT_EQ(Layout().TabsOf(frame->Components()), Layout().TabsOf(frame->Files()));
    EXPECT_EQ(Layout().TabsOf(frame->Files())->GetPageCount(), 1u);
    EXPECT_TRUE(Layout().IsAutoHidden(frame->Help()));
    EXPECT_EQ(Layout().GetPane(Layout().SideBar(wxAUI_DOCK_BOTTOM)).IsShown(), true);
    EXPECT_FALSE(Ticked(ID_VIEW_PROPERTIES));
    EXPECT_FALSE(Ticked(ID_VIEW_COMPONENTS));
    EXPECT_TRUE(Ticked(ID_HELP_VIEW));
    EXPECT_TRUE(Ticked(ID_FILE_VIEW));
    Layout().DockAgain(frame->Help());
    EXPECT_EQ(Layout().GetPane(frame->Help()).dock_direction, wxAUI_DOCK_BOTTOM);

    // A layout of the version before tabs, and one naming a pane this program lacks.
    const wxString saved = Layout().SaveLayout();
    wxString unknown = saved;
    unknown.Replace("name=properties;", "name=gone;");
    for (const wxString& stored : {Layout().SavePerspective(), unknown}) {
        platform::Registry::WriteString(GetProductKey(), MainFrame::kLayoutValue,
                                        stored.ToStdWstring());
        frame->Destroy();
        DispatchPending();
        frame = new MainFrame(settings, operations);
        frame->Show();
        ASSERT_TRUE(WaitUntil([&] { return frame->IsShownOnScreen(); }));
        frame->ArrangeFloatingPanes();
        EXPECT_EQ(Layout().TabsOf(frame->Files()), nullptr);
        EXPECT_TRUE(Layout().GetPane(frame->GetOutputView()).IsFloating());
        for (int id : {ID_FILE_VIEW, ID_VIEW_PROPERTIES, ID_HELP_VIEW, ID_VIEW_COMPONENTS,
                       ID_VIEW_OUTPUT})
            EXPECT_TRUE(Ticked(id)) << id;
    }
}

}  // namespace
