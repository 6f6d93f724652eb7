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

// The names the frame registers its panes by; the saved layout refers to them.
namespace pane_names {
inline const char kPreview[] = "preview";
inline const char kFileView[] = "file_view";
inline const char kComponents[] = "components";
inline const char kProperties[] = "properties";
inline const char kHelp[] = "help";
inline const char kOutput[] = "output";
}  // namespace pane_names

// Dock sizes of a saved layout fitted to the client area it is restored into: scaled by
// the ratio of the two client sizes, then shrunk in proportion where the docks of one axis
// would leave the centre less than `centreMin`, and never below `dockMin`. Other entries of
// the toolkit's perspective text stay as they are. A `saved` size with no area scales
// nothing.
wxString FitDockSizes(const wxString& perspective, const wxSize& saved, const wxSize& current,
                      const wxSize& centreMin, const wxSize& dockMin);
// `rect` moved (and shrunk if it must be) so that it lies wholly in `area`.
wxRect MovedOnto(const wxRect& rect, const wxRect& area);

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
    // The centre pane, with the least size the layout leaves it.
    void AddCentrePane(wxWindow* window, const wxString& name, const wxSize& minSize);

    // Lays the panes out again, with the side bars outside every dock and the frame no
    // smaller than the docked panes and the centre need.
    void Relayout();

    // A floating pane goes back to where it was docked last.
    void DockBack(wxWindow* window);
    // While a floating pane is dragged, where it would land if dropped now: a docked pane to
    // join as a tab, or a side of the frame (wxAUI_DOCK_NONE for neither).
    wxWindow* DropTabTarget() const { return tabTarget_; }
    int DropSide() const { return dropSide_; }
    // Follows a drag of the floating pane `window` with the pointer at `screenPoint` and the
    // left button `down`: shows where it would land, and lands it there once the button is up.
    void TrackFloatingDrag(wxWindow* window, const wxPoint& screenPoint, bool down);

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
    // of another layout version or whose panes are not exactly this program's. A loaded
    // layout is fitted to the frame's client area; until the user changes a dock, its dock
    // sizes follow the client area from the sizes recorded, so that a frame that reaches
    // its size only after the load (one maximised by the window manager) has the docks the
    // layout recorded at that size, not ones scaled down first.
    wxString SaveLayout();
    bool LoadLayout(const wxString& text);

    // The least client size that shows every docked pane and the centre at their minimum.
    wxSize MinimumClientSize();

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
    // The side of the frame whose edge band holds `screenPoint`, or wxAUI_DOCK_NONE.
    int SideAt(const wxPoint& screenPoint) const;
    // Where a pane docked on `side` as the outermost dock would lie, on the screen.
    wxRect SideHint(wxWindow* window, int side) const;
    void DockAtSide(wxWindow* window, int side);
    void EndDrag();
    bool IsOurs(wxWindow* window) const;
    // Narrows the docks where they leave the centre less than its minimum; true if any
    // changed (the layout then needs an update).
    bool FitDocksToClient();
    // The sizes of the docks that hold panes, by "direction,layer,row"; the side bars' and
    // the centre's left out.
    std::map<wxString, int> DockSizes() const;
    // The least width and height any pane may be docked at.
    wxSize LeastDockSize() const;
    // Fits the loaded layout's dock sizes to the client area again; false once the user has
    // changed a dock since the layout was loaded or last fitted.
    bool RefitLoadedLayout();
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

    wxWindow* centre_ = nullptr;
    wxSize centreMin_;

    // The loaded layout's perspective as recorded and the client size it was recorded at,
    // while the docks still have the sizes last fitted from it (`fitted_`).
    wxString loaded_;
    wxSize loadedClient_;
    std::map<wxString, int> fitted_;

    // While a floating pane is dragged: the pane, the caption or the side under the pointer,
    // and a timer that notices the button's release (a window manager that moves the window
    // keeps the button events to itself).
    wxWindow* dragged_ = nullptr;
    wxWindow* tabTarget_ = nullptr;
    int dropSide_ = wxAUI_DOCK_NONE;
    wxTimer dropTimer_;

    wxWindow* slidOut_ = nullptr;
    wxFrame* holder_ = nullptr;
    std::unique_ptr<wxAuiManager> holderManager_;
    wxTimer slideTimer_;
};
