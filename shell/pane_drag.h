#pragma once

#include <wx/aui/framemanager.h>
#include <wx/timer.h>

class PaneLayout;

// Where a PaneLayout's floating pane lands when dragged: on a docked pane's caption it joins
// that pane as a tab, in the band along an edge of the client area it docks outside every
// dock on that side. The program moves its floating frames itself, so that this works alike
// under any window manager or none.
class PaneDrag {
public:
    explicit PaneDrag(PaneLayout& layout);
    ~PaneDrag();

    wxAuiFloatingFrame* NewFloatingFrame(wxWindow* parent, const wxAuiPaneInfo& pane);
    void Track(wxWindow* window, const wxPoint& screenPoint, bool down);
    wxWindow* TabTarget() const { return tabTarget_; }
    int Side() const { return dropSide_; }
    // Whether the hint shows where the dragged pane would land; the toolkit's hiding of it
    // then waits.
    bool KeepsHint() const;

    // A floating pane docked again where it was docked last.
    void DockBack(wxWindow* window);

private:
    void EndDrag();
    // The docked pane whose caption lies under `screenPoint`, other than `moving`.
    wxWindow* CaptionTargetAt(const wxPoint& screenPoint, wxWindow* moving);
    // The side of the frame whose edge band holds `screenPoint`, or wxAUI_DOCK_NONE.
    int SideAt(const wxPoint& screenPoint) const;
    // Where a pane docked on `side` as the outermost dock would lie, on the screen.
    wxRect SideHint(wxWindow* window, int side) const;
    void DockAtSide(wxWindow* window, int side);
    void ShowTabHint(wxWindow* target);

    PaneLayout& layout_;
    // While a floating pane is dragged: the pane, the caption or the side under the pointer,
    // and a timer that notices the button's release (a window manager that moves the window
    // keeps the button events to itself).
    wxWindow* dragged_ = nullptr;
    wxWindow* tabTarget_ = nullptr;
    int dropSide_ = wxAUI_DOCK_NONE;
    wxTimer dropTimer_;
};
