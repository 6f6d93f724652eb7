#include "shell/pane_layout.h"

#include <gtest/gtest.h>

#include <wx/aui/auibook.h>
#include <wx/aui/floatpane.h>
#include <wx/dialog.h>
#include <wx/regex.h>
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
#include "resources/string_ids.h"
#include "resources/string_table.h"
#include "tests/shell/shown_main_frame.h"
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
    wxPoint ScreenCentre(wxWindow* window) {
        const wxRect rect = window->GetScreenRect();
        return rect.GetPosition() + wxPoint(rect.width / 2, rect.height / 2);
    }
    // A point on the caption of a floating pane, clear of its close button.
    wxPoint FloatingCaption(wxWindow* pane) {
        const int caption = Layout().GetArtProvider()->GetMetric(wxAUI_DOCKART_CAPTION_SIZE);
        return pane->GetScreenPosition() + wxPoint(30, -caption / 2 - 1);
    }
    void Float(wxWindow* pane) {
        Layout().GetPane(pane).Float().FloatingPosition(ScreenCentre(frame->Preview()))
            .FloatingSize(300, 200).Show();
        Layout().Relayout();
        ASSERT_TRUE(WaitUntil([&] { return pane->IsShownOnScreen(); }));
        DispatchPending();
    }
    // No dock lies outside a side bar.
    void ExpectBarsOutside() {
        int outer = 0;
        wxAuiPaneInfoArray& panes = Layout().GetAllPanes();
        for (size_t i = 0; i < panes.GetCount(); ++i) {
            if (panes[i].IsDocked() && !panes[i].name.StartsWith("autohide_"))
                outer = std::max(outer, panes[i].dock_layer);
        }
        for (int side : {wxAUI_DOCK_LEFT, wxAUI_DOCK_RIGHT, wxAUI_DOCK_TOP, wxAUI_DOCK_BOTTOM})
            EXPECT_GT(Layout().GetPane(Layout().SideBar(side)).dock_layer, outer) << side;
    }
    // Destroys the frame without saving anything and opens a new one from what is stored.
    void Reopen() {
        frame->Destroy();
        DispatchPending();
        frame = new MainFrame(settings, operations);
        frame->Show();
        ASSERT_TRUE(WaitUntil([&] { return frame->IsShownOnScreen(); }));
        frame->ArrangeFloatingPanes();
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
    // The group's caption is its active tab's, as the user picks the tabs, and on screen: the
    // caption's left half (its text, clear of the buttons) as the display shows it.
    EXPECT_EQ(Layout().GetPane(book).caption, resources::LoadText(resources::IDS_COMPONENTS_VIEW));
    const int captionHeight = Layout().GetArtProvider()->GetMetric(wxAUI_DOCKART_CAPTION_SIZE);
    const auto caption = [&] {
        const wxRect text(book->GetScreenPosition() + wxPoint(2, 2 - captionHeight),
                          wxSize(book->GetSize().x / 2, captionHeight - 4));
        return zentrik_test::ScreenPixels(text);
    };
    frame->Refresh();
    std::vector<unsigned char> drawnComponents;
    ASSERT_TRUE(WaitUntil([&] {
        const auto before = drawnComponents;
        drawnComponents = caption();
        return !drawnComponents.empty() && drawnComponents == before;
    }));
    const wxPoint tabs = book->GetScreenPosition() + wxPoint(0, 10);
    RealClick(tabs + wxPoint(30, 0));
    ASSERT_TRUE(WaitUntil([&] { return book->GetSelection() == 0; }));
    EXPECT_EQ(Layout().GetPane(book).caption, resources::LoadText(resources::IDS_FILE_VIEW));
    EXPECT_TRUE(WaitUntil([&] { return caption() != drawnComponents; })) << "drawn again";
    RealClick(tabs + wxPoint(book->GetSize().x * 3 / 4, 0));
    ASSERT_TRUE(WaitUntil([&] { return book->GetSelection() == 1; }));
    EXPECT_EQ(Layout().GetPane(book).caption, resources::LoadText(resources::IDS_COMPONENTS_VIEW));
    EXPECT_TRUE(WaitUntil([&] { return caption() == drawnComponents; }));

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
        Reopen();
        EXPECT_EQ(Layout().TabsOf(frame->Files()), nullptr);
        EXPECT_TRUE(Layout().GetPane(frame->GetOutputView()).IsFloating());
        for (int id : {ID_FILE_VIEW, ID_VIEW_PROPERTIES, ID_HELP_VIEW, ID_VIEW_COMPONENTS,
                       ID_VIEW_OUTPUT})
            EXPECT_TRUE(Ticked(id)) << id;
    }
}

// Values past what the frame can hold, in the docked panes, the docks, the groups and the
// auto-hidden panes: each start ends with a usable frame in the first-start layout and a
// line that says where the record is damaged. Such a layer or row once held every start in
// the toolkit's layout loop.
TEST_F(Panes, ARecordBeyondWhatTheFrameHoldsIsDamagedAndEveryStartGoesOn) {
    Layout().GroupAsTabs(frame->Files(), frame->Components());
    Layout().AutoHide(frame->Help());
    const wxString saved = Layout().SaveLayout();
    // The record with the first match of `pattern`'s group put in place of `value`.
    const auto damaged = [&](const wxString& pattern, const wxString& value) {
        wxString text = saved;
        wxRegEx found(pattern);
        size_t start = 0, length = 0;
        EXPECT_TRUE(found.Matches(text) && found.GetMatch(&start, &length, 1)) << pattern;
        return text.replace(start, length, value);
    };
    const wxString hostile[] = {
        damaged("name=properties;[^|]*;layer=([0-9]+)", "2000000000"),
        damaged("name=properties;[^|]*;layer=([0-9]+)", "2147483647"),
        damaged("name=tabs0;[^|]*;row=([0-9]+)", "2000000000"),
        damaged("name=autohide_3;[^|]*;pos=([0-9]+)", "-1"),
        damaged("dock_size\\([0-9]+,([0-9]+),", "2000000000"),
        damaged("name=properties;[^|]*;prop=([0-9]+)", "2147483647"),
        damaged("name=output;[^|]*;floatw=(-?[0-9]+)", "-2000000000"),
        [&] {
            wxString text = saved;
            EXPECT_EQ(text.Replace("tabs0", "tabs2147483647"), 2u);
            return text;
        }(),
        damaged("x([0-9]+)$", "99999999999"),
        // The auto-hidden pane's entry is the field after the groups.
        damaged("#[^#]*#[^#]*;row=([0-9]+)", "2000000000"),
    };
    for (const wxString& record : hostile) {
        SCOPED_TRACE(record.ToStdString());
        platform::Registry::WriteString(GetProductKey(), MainFrame::kLayoutValue,
                                        record.ToStdWstring());
        Reopen();
        DispatchPending();
        EXPECT_NE(frame->GetOutputView()->TextBox()->GetValue().Find("layout is damaged at"),
                  wxNOT_FOUND);
        EXPECT_EQ(Layout().TabsOf(frame->Files()), nullptr);
        EXPECT_FALSE(Layout().IsAutoHidden(frame->Help()));
        EXPECT_TRUE(Layout().GetPane(frame->GetOutputView()).IsFloating());
        for (wxWindow* pane : {static_cast<wxWindow*>(frame->Files()),
                               static_cast<wxWindow*>(frame->Components()),
                               static_cast<wxWindow*>(frame->Properties()),
                               static_cast<wxWindow*>(frame->Help()),
                               static_cast<wxWindow*>(frame->Preview())})
            EXPECT_TRUE(pane->IsShownOnScreen()) << Layout().GetPane(pane).name;
    }

    // The record only places panes: what closing one does stays the program's.
    wxString destroying = Layout().SaveLayout();
    wxRegEx state("name=file_view;[^|]*state=([0-9]+)");
    size_t start = 0, length = 0;
    ASSERT_TRUE(state.Matches(destroying) && state.GetMatch(&start, &length, 1));
    destroying.replace(start, length, wxString::Format("%u", wxAuiPaneInfo::optionDestroyOnClose |
                                                                 wxAuiPaneInfo::optionToolbar));
    platform::Registry::WriteString(GetProductKey(), MainFrame::kLayoutValue,
                                    destroying.ToStdWstring());
    Reopen();
    EXPECT_EQ(frame->GetOutputView()->TextBox()->GetValue().Find("damaged"), wxNOT_FOUND);
    EXPECT_FALSE(Layout().GetPane(frame->Files()).HasFlag(wxAuiPaneInfo::optionDestroyOnClose));
    EXPECT_FALSE(Layout().GetPane(frame->Files()).IsToolbar());
    EXPECT_TRUE(Layout().GetPane(frame->Files()).HasCloseButton());

    // Layers grow by one with every pane dropped on an outer edge; the program's own record
    // stays within the bounds it reads, the panes in the order they had.
    Layout().GetPane(frame->Components()).Layer(900);
    Layout().GetPane(frame->Files()).Layer(400);
    Layout().Relayout();
    const wxString grown = Layout().SaveLayout();
    EXPECT_FALSE(wxRegEx("layer=[0-9]{3}").Matches(grown));
    platform::Registry::WriteString(GetProductKey(), MainFrame::kLayoutValue, grown.ToStdWstring());
    Reopen();
    EXPECT_EQ(frame->GetOutputView()->TextBox()->GetValue().Find("damaged"), wxNOT_FOUND);
    EXPECT_GT(Layout().GetPane(frame->Components()).dock_layer,
              Layout().GetPane(frame->Files()).dock_layer);
    EXPECT_GT(Layout().GetPane(frame->Files()).dock_layer,
              Layout().GetPane(frame->Properties()).dock_layer);
    ExpectBarsOutside();
}

TEST(LayoutFit, DockSizesFollowTheFrameAndLeaveTheCentreItsMinimum) {
    const wxString bar = "name=autohide_4;caption=;state=0;dir=4;layer=2;row=0;pos=0";
    const wxString saved = "layout2|name=a;dir=4|" + bar +
                           "|dock_size(4,0,0)=400|dock_size(3,0,1)=300|dock_size(4,2,0)=22|";
    // Half the frame: half the docks; the bar keeps its thickness.
    EXPECT_EQ(FitDockSizes(saved, wxSize(1600, 1000), wxSize(800, 500), wxSize(100, 100),
                           wxSize(50, 50)),
              "layout2|name=a;dir=4|" + bar +
                  "|dock_size(4,0,0)=200|dock_size(3,0,1)=150|dock_size(4,2,0)=22|");
    // Docks saved wider than the frame leaves room for: shrunk together, never below the
    // least a dock may have; a layout without a saved size is only fitted.
    const wxString wide = "layout2|dock_size(4,0,0)=600|dock_size(2,0,0)=300|dock_size(1,0,0)=40|";
    EXPECT_EQ(FitDockSizes(wide, wxSize(1000, 800), wxSize(1000, 800), wxSize(400, 120),
                           wxSize(50, 60)),
              "layout2|dock_size(4,0,0)=400|dock_size(2,0,0)=200|dock_size(1,0,0)=60|");
    EXPECT_EQ(FitDockSizes(wide, wxSize(), wxSize(300, 800), wxSize(200, 100), wxSize(80, 60)),
              "layout2|dock_size(4,0,0)=80|dock_size(2,0,0)=80|dock_size(1,0,0)=60|");

    const wxRect screen(0, 0, 1280, 800);
    EXPECT_EQ(MovedOnto(wxRect(1500, -40, 300, 200), screen), wxRect(980, 0, 300, 200));
    EXPECT_EQ(MovedOnto(wxRect(-10, 700, 2000, 300), screen), wxRect(0, 500, 1280, 300));
    EXPECT_EQ(MovedOnto(wxRect(10, 20, 30, 40), screen), wxRect(10, 20, 30, 40));
}

TEST_F(Panes, AFloatingPaneDocksBackByADragOntoASideOrADoubleClickOnItsCaption) {
    wxWindow* pane = frame->Properties();
    const int sides[] = {wxAUI_DOCK_LEFT, wxAUI_DOCK_RIGHT, wxAUI_DOCK_BOTTOM, wxAUI_DOCK_TOP};
    for (int side : sides) {
        SCOPED_TRACE(side);
        Float(pane);
        const wxRect client(frame->ClientToScreen(wxPoint(0, 0)), frame->GetClientSize());
        // Near the edge, over a pane's body rather than a caption (which would make tabs).
        const int middleY = ScreenCentre(frame->Files()).y;
        const wxPoint edge = side == wxAUI_DOCK_LEFT    ? wxPoint(client.x + 8, middleY)
                             : side == wxAUI_DOCK_RIGHT ? wxPoint(client.GetRight() - 8, middleY)
                             : side == wxAUI_DOCK_TOP   ? wxPoint(client.x + client.width / 2, client.y + 8)
                                                        : wxPoint(client.x + client.width / 2,
                                                                  client.GetBottom() - 8);
        RealDrag(FloatingCaption(pane), edge);
        ASSERT_TRUE(WaitUntil([&] { return Layout().GetPane(pane).IsDocked(); }));
        EXPECT_EQ(Layout().GetPane(pane).dock_direction, side);
        EXPECT_EQ(Layout().DropSide(), wxAUI_DOCK_NONE);
        ASSERT_TRUE(WaitUntil([&] { return pane->IsShownOnScreen(); }));
        EXPECT_TRUE(client.Contains(pane->GetScreenRect()));
        ExpectBarsOutside();
    }
    // Hidden to its bar and docked again, the outermost pane stays inside the bars.
    Layout().AutoHide(pane);
    ExpectBarsOutside();
    Layout().DockAgain(pane);

    // The output pane floats from the start; a double-click takes it to where it was docked.
    frame->ArrangeFloatingPanes();
    wxWindow* output = frame->GetOutputView();
    ASSERT_TRUE(Layout().GetPane(output).IsFloating());
    ASSERT_TRUE(WaitUntil([&] { return output->IsShownOnScreen(); }));
    wxUIActionSimulator sim;
    sim.MouseMove(FloatingCaption(output));
    WaitUntil([&] { return wxGetMousePosition() == FloatingCaption(output); });
    DispatchPending();
    sim.MouseDblClick();
    ASSERT_TRUE(WaitUntil([&] { return Layout().GetPane(output).IsDocked(); }));
    EXPECT_EQ(Layout().GetPane(output).dock_direction, wxAUI_DOCK_BOTTOM);
    EXPECT_TRUE(Ticked(ID_VIEW_OUTPUT));
    // A drop away from every edge and caption leaves it floating where it was dropped.
    Float(pane);
    RealDrag(FloatingCaption(pane), ScreenCentre(frame->Preview()) + wxPoint(20, 10));
    DispatchPending();
    EXPECT_TRUE(Layout().GetPane(pane).IsFloating());
}

TEST_F(Panes, NoPaneIsLostInASmallWindowOrARestoreIntoOne) {
    frame->ArrangeFloatingPanes();
    const wxSize least = Layout().MinimumClientSize();
    EXPECT_EQ(frame->GetMinClientSize(), least);
    frame->SetClientSize(328, 435);
    DispatchPending();
    EXPECT_GE(frame->GetClientSize().x, least.x);
    EXPECT_GE(frame->GetClientSize().y, least.y);
    const auto expectAllShown = [&] {
        EXPECT_GE(frame->Preview()->GetSize().x, 160);
        EXPECT_GE(frame->Preview()->GetSize().y, 120);
        for (wxWindow* pane : {static_cast<wxWindow*>(frame->Files()),
                               static_cast<wxWindow*>(frame->Components()),
                               static_cast<wxWindow*>(frame->Properties()),
                               static_cast<wxWindow*>(frame->Help())}) {
            const wxSize min = Layout().GetPane(pane).min_size;
            EXPECT_TRUE(pane->IsShownOnScreen());
            EXPECT_GE(pane->GetSize().x, min.x) << Layout().GetPane(pane).name;
            EXPECT_GE(pane->GetSize().y, min.y) << Layout().GetPane(pane).name;
        }
    };
    expectAllShown();
    // The floating output pane keeps a usable size.
    wxFrame* output = Layout().GetPane(frame->GetOutputView()).frame;
    ASSERT_NE(output, nullptr);
    output->SetSize(8, 24);
    DispatchPending();
    EXPECT_GE(frame->GetOutputView()->GetSize().x, Layout().GetPane(frame->GetOutputView()).min_size.x);
    EXPECT_GE(frame->GetOutputView()->GetSize().y, Layout().GetPane(frame->GetOutputView()).min_size.y);

    // A layout saved with a bottom dock taller than the frame it comes back in, and a
    // floating pane off the screen.
    frame->SetClientSize(1200, 760);
    DispatchPending();
    wxString layout = Layout().SaveLayout();
    wxRegEx("dock_size\\(3,0,0\\)=[0-9]+").Replace(&layout, "dock_size(3,0,0)=700");
    wxRegEx("dock_size\\(4,0,0\\)=[0-9]+").Replace(&layout, "dock_size(4,0,0)=100000");
    wxRegEx("floatx=-?[0-9]+;floaty=-?[0-9]+").Replace(&layout, "floatx=100000;floaty=100000");
    wxRegEx("floatw=-?[0-9]+;floath=-?[0-9]+").Replace(&layout, "floatw=100000;floath=100000");
    // Least and best sizes past the screen, as a damaged or foreign record may hold.
    wxRegEx("minw=-?[0-9]+;minh=-?[0-9]+").Replace(&layout, "minw=100000;minh=100000");
    wxRegEx("bestw=-?[0-9]+;besth=-?[0-9]+").Replace(&layout, "bestw=100000;besth=100000");
    platform::Registry::WriteString(GetProductKey(), MainFrame::kLayoutValue, layout.ToStdWstring());
    platform::Registry::WriteString(GetProductKey(), MainFrame::kRectValue, L"40,30,700,520,0");
    Reopen();
    DispatchPending();
    EXPECT_EQ(frame->GetSize(), wxSize(700, 520));
    expectAllShown();
    const wxAuiPaneInfo& floating = Layout().GetPane(frame->GetOutputView());
    ASSERT_TRUE(floating.IsFloating());
    ASSERT_NE(floating.frame, nullptr);
    EXPECT_TRUE(wxRect(0, 0, 1280, 800).Contains(floating.frame->GetScreenRect()))
        << floating.frame->GetScreenRect().x << "," << floating.frame->GetScreenRect().y << " "
        << floating.frame->GetScreenRect().width << "x" << floating.frame->GetScreenRect().height;
    EXPECT_EQ(frame->GetMinClientSize(), Layout().MinimumClientSize());
    EXPECT_LE(frame->GetMinClientSize().x, 700);
    // Docked again and floated again, the pane keeps to the screen as well.
    Layout().GetPane(frame->Help()).Float();
    Layout().Relayout();
    const wxAuiPaneInfo& help = Layout().GetPane(frame->Help());
    ASSERT_NE(help.frame, nullptr);
    EXPECT_TRUE(wxRect(0, 0, 1280, 800).Contains(help.frame->GetScreenRect()));
}

// A frame maximised at its start is placed and laid out before the window manager gives it
// its maximised size; the layout it restores must come out as it was recorded all the same.
TEST_F(Panes, ALayoutLoadedBeforeTheFrameHasItsSizeKeepsItsPanesOverRestarts) {
    const wxSize large(1200, 760);
    frame->SetClientSize(large);
    DispatchPending();
    frame->ArrangeFloatingPanes();
    const auto sizes = [&] {
        return std::vector<int>{frame->Files()->GetSize().x, frame->Components()->GetSize().x,
                                frame->Properties()->GetSize().y, frame->Help()->GetSize().y};
    };
    const std::vector<int> recorded = sizes();
    for (int restart = 1; restart <= 3; ++restart) {
        platform::Registry::WriteString(GetProductKey(), MainFrame::kLayoutValue,
                                        Layout().SaveLayout().ToStdWstring());
        platform::Registry::WriteString(GetProductKey(), MainFrame::kRectValue, L"40,30,700,520,0");
        Reopen();
        DispatchPending();
        EXPECT_LT(frame->Files()->GetSize().x, recorded[0]) << "fitted to the small frame";
        frame->SetClientSize(large);
        DispatchPending();
        for (size_t i = 0; i < recorded.size(); ++i)
            EXPECT_NEAR(sizes()[i], recorded[i], 2) << "restart " << restart << ", pane " << i;
    }

    // Once the user has moved a sash, the docks keep their sizes when the frame changes.
    const wxRect files = frame->Files()->GetScreenRect();
    const wxPoint sash(files.GetRight() + 3, files.y + files.height / 2);
    RealDrag(sash, sash + wxPoint(60, 0));
    ASSERT_TRUE(WaitUntil([&] { return frame->Files()->GetSize().x > files.width + 40; }));
    const int dragged = frame->Files()->GetSize().x;
    frame->SetClientSize(1000, 700);
    DispatchPending();
    EXPECT_NEAR(frame->Files()->GetSize().x, dragged, 2);
}

TEST_F(Panes, TheFrameIsKeptWithItsPlaceAndModalWindowsAreKnown) {
    frame->SetSize(wxRect(60, 50, 900, 640));
    DispatchPending();
    Restart();
    EXPECT_EQ(frame->GetRect(), wxRect(60, 50, 900, 640));
    // The maximised state follows the place the frame had before it.
    const auto rect = platform::Registry::ReadString(platform::RegistryRoot::CurrentUser,
                                                     GetProductKey(), MainFrame::kRectValue);
    ASSERT_TRUE(rect);
    EXPECT_EQ(*rect, L"60,50,900,640,0");
    // A damaged value far larger than the screen is fitted onto it.
    platform::Registry::WriteString(GetProductKey(), MainFrame::kRectValue,
                                    L"10,10,100000,100000,0");
    Reopen();
    DispatchPending();
    EXPECT_TRUE(wxRect(0, 0, 1280, 800).Contains(frame->GetRect())) << frame->GetRect().width;
    // So is one whose corner stood just off the screen, as a window manager may report a
    // frame it is placing, instead of giving way to the default place.
    platform::Registry::WriteString(GetProductKey(), MainFrame::kRectValue, L"-1,-20,900,640,0");
    Reopen();
    DispatchPending();
    EXPECT_EQ(frame->GetRect(), wxRect(0, 0, 900, 640));

    bool during = false;
    wxDialog dialog(frame, wxID_ANY, "modal");
    dialog.CallAfter([&] {
        during = MainFrame::IsModalWindowOpen();
        dialog.EndModal(wxID_OK);
    });
    EXPECT_FALSE(MainFrame::IsModalWindowOpen());
    dialog.ShowModal();
    EXPECT_TRUE(during);
    EXPECT_FALSE(MainFrame::IsModalWindowOpen());
}

}  // namespace
