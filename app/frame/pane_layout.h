#pragma once

#include <map>
#include <memory>
#include <vector>

#include <wx/aui/framemanager.h>
#include <wx/timer.h>

class wxAuiNotebook;
class wxAuiNotebookEvent;
class wxFrame;
class wxPanel;

// The main frame's docking manager, with what the toolkit's manager lacks: panes grouped as
// tabs in one dock position, and panes auto-hidden to a bar of buttons on their side of the
// frame, from which they slide out over the client area. A pane dropped onto another pane's
// caption joins it as a tab; a tab dragged off its strip floats at the pointer.
class PaneLayout : public wxAuiManager {
public:
    PaneLayout();
    ~PaneLayout() override;

    // Manages `frame` (call once, before adding panes) and adds the four side bars.
    void Manage(wxFrame* frame);
    // Adds one of the program's panes, with a pin button on its caption.
    void AddDockingPane(wxWindow* window, wxAuiPaneInfo info);

    // The View menu's view of a pane, wherever it is: docked, floating, a tab or auto-hidden.
    bool IsPaneShown(wxWindow* window);
    void ShowPane(wxWindow* window, bool show);

    // Tabs. `moved` joins `target` (or the group `target` belongs to) as its active tab.
    void GroupAsTabs(wxWindow* target, wxWindow* moved);
    // Takes a tab out of its group and floats it with its top-left at `screenPoint`. A group
    // left with one pane gives it back the group's dock position.
    void PullOutOfTabs(wxWindow* window, const wxPoint& screenPoint);
    wxAuiNotebook* TabsOf(wxWindow* window) const;

    // Auto-hide. A docked pane goes to the bar on its side; docking it again puts it back
    // where it was.
    void AutoHide(wxWindow* window);
    void DockAgain(wxWindow* window);
    bool IsAutoHidden(wxWindow* window) const;
    wxWindow* SideBar(int direction) const;  // wxAUI_DOCK_LEFT, _RIGHT, _TOP or _BOTTOM
    wxWindow* BarButton(wxWindow* window) const;
    void SlideOut(wxWindow* window);
    void SlideBack();
    wxWindow* SlidOutPane() const { return slidOut_; }
    wxFrame* SlideOutWindow() const { return holder_; }
    // Slides the pane back once neither the pointer nor the focus is on it or its button.
    void CheckSlideBack();

    // The whole layout as one text, and back. Loading refuses (and changes nothing) a text
    // of another layout version or whose panes are not exactly this program's.
    wxString SaveLayout();
    bool LoadLayout(const wxString& text);

protected:
    bool CanDockPanel(const wxAuiPaneInfo& pane) override;
    wxAuiFloatingFrame* CreateFloatingFrame(wxWindow* parent, const wxAuiPaneInfo& pane) override;
    void HideHint() override;

private:
    struct Tab {
        wxWindow* window;
        bool shown;
    };
    struct TabGroup {
        wxAuiNotebook* book;
        std::vector<Tab> tabs;
    };
    struct Hidden {
        wxWindow* window;
        wxAuiPaneInfo info;  // where it was docked
        bool shown;          // has a button on its bar
        wxWindow* button;
    };

    void OnPaneButton(wxAuiManagerEvent& event);
    void OnTabChanged(wxAuiNotebookEvent& event);
    void OnTabClose(wxAuiNotebookEvent& event);
    void OnTabEndDrag(wxAuiNotebookEvent& event);
    wxAuiNotebook* BookOfEvent(wxEvent& event) const;
    // The docked pane whose caption lies under `screenPoint`, other than `moving`.
    wxWindow* CaptionTargetAt(const wxPoint& screenPoint, wxWindow* moving);
    TabGroup* GroupOf(wxWindow* window);
    TabGroup* NewGroup(wxWindow* first, const wxString& name);
    void AddTab(TabGroup& group, wxWindow* window, bool shown);
    void SetTabShown(TabGroup& group, Tab& tab, bool shown);
    void DissolveIfSingle(TabGroup* group);
    void UpdateGroupPane(TabGroup& group);
    Hidden* HiddenOf(wxWindow* window);
    void SetButtonShown(Hidden& hidden, bool shown);
    void UpdateBars();
    void ShowTabHint(wxWindow* target);
    // The registered look of a pane (caption, icon, buttons) in this language.
    const wxAuiPaneInfo& Registered(wxWindow* window) const;
    wxWindow* WindowNamed(const wxString& name) const;

    wxFrame* frame_ = nullptr;
    std::vector<wxWindow*> panes_;
    std::map<wxWindow*, wxAuiPaneInfo> registered_;
    std::map<int, wxPanel*> bars_;
    std::vector<std::unique_ptr<TabGroup>> groups_;
    int nextGroup_ = 0;
    std::vector<Hidden> hidden_;

    // While a floating pane is dragged: the pane and the caption under the pointer.
    wxWindow* dragged_ = nullptr;
    wxWindow* tabTarget_ = nullptr;
    bool dropPending_ = false;

    wxWindow* slidOut_ = nullptr;
    wxFrame* holder_ = nullptr;
    std::unique_ptr<wxAuiManager> holderManager_;
    wxTimer slideTimer_;
};
