#pragma once

#include <map>
#include <memory>
#include <vector>

#include <wx/aui/framemanager.h>

#include "shell/pane_record.h"

class PaneDrag;
class PaneSideBars;
class PaneTabs;
class wxAuiNotebook;
class wxFrame;

// The names the frame registers its panes by; the saved layout refers to them.
namespace pane_names {
inline const char kPreview[] = "preview";
inline const char kFileView[] = "file_view";
inline const char kComponents[] = "components";
inline const char kProperties[] = "properties";
inline const char kHelp[] = "help";
inline const char kOutput[] = "output";
}  // namespace pane_names

// The main frame's docking manager, with what the toolkit's manager lacks: panes grouped as
// tabs in one dock position, and panes auto-hidden to a bar of buttons on their side of the
// frame, from which they slide out over the client area. A pane dropped onto another pane's
// caption joins it as a tab; a tab dragged off its strip floats at the pointer.
// Each of these lives in a part of its own (PaneTabs, PaneSideBars, PaneDrag, PaneRecord);
// this class keeps the panes as registered and the docks fitted to the frame.
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
    wxWindow* DropTabTarget() const;
    int DropSide() const;
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
    wxWindow* SlidOutPane() const;
    wxFrame* SlideOutWindow() const;
    // Slides the pane back once neither the pointer nor the focus is on it or its button.
    void CheckSlideBack();

    // The whole layout as one text, and back. Loading refuses (and changes nothing) a text
    // of another layout version or whose panes are not exactly this program's. A loaded
    // layout is fitted to the frame's client area and the screen; until the user drags a
    // sash or moves, closes or tabs a pane, its dock sizes follow the client area from the
    // sizes recorded, so that a frame that reaches its size only after the load (one
    // maximised by the window manager) has the docks the layout recorded at that size, not
    // ones scaled down first.
    wxString SaveLayout();
    bool LoadLayout(const wxString& text);

    // The least client size that shows every docked pane and the centre at their minimum.
    wxSize MinimumClientSize();

protected:
    bool CanDockPanel(const wxAuiPaneInfo& pane) override;
    wxAuiFloatingFrame* CreateFloatingFrame(wxWindow* parent, const wxAuiPaneInfo& pane) override;
    void HideHint() override;

private:
    // The parts work on the manager's docks and on the panes as registered.
    friend class PaneDrag;
    friend class PaneRecord;
    friend class PaneSideBars;
    friend class PaneTabs;

    // A pane of the program, or a tab group's notebook.
    bool IsOurs(wxWindow* window) const;
    // Narrows the docks where they leave the centre less than its minimum; true if any
    // changed (the layout then needs an update).
    bool FitDocksToClient();
    // The registered look of a pane (caption, icon, buttons) in this language.
    const wxAuiPaneInfo& Registered(wxWindow* window) const;
    wxWindow* WindowNamed(const wxString& name) const;

    wxFrame* frame_ = nullptr;
    std::vector<wxWindow*> panes_;
    std::map<wxWindow*, wxAuiPaneInfo> registered_;
    wxSize centreMin_;

    std::unique_ptr<PaneTabs> tabs_;
    std::unique_ptr<PaneSideBars> sideBars_;
    std::unique_ptr<PaneDrag> drag_;
    std::unique_ptr<PaneRecord> record_;
};
