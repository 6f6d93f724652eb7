#pragma once

#include <wx/gdicmn.h>
#include <wx/string.h>

class PaneLayout;
class wxAuiPaneInfo;

// Dock sizes of a saved layout fitted to the client area it is restored into: scaled by
// the ratio of the two client sizes, then shrunk in proportion where the docks of one axis
// would leave the centre less than `centreMin`, and never below `dockMin`. Other entries of
// the toolkit's perspective text stay as they are. A `saved` size with no area scales
// nothing.
wxString FitDockSizes(const wxString& perspective, const wxSize& saved, const wxSize& current,
                      const wxSize& centreMin, const wxSize& dockMin);
// `rect` moved (and shrunk if it must be) so that it lies wholly in `area`.
wxRect MovedOnto(const wxRect& rect, const wxRect& area);

// The layout record of a PaneLayout: the text that keeps the docked and floating panes, the
// tab groups, the auto-hidden panes and the client size, and the loaded layout's dock sizes
// refitted while the frame reaches its size.
class PaneRecord {
public:
    explicit PaneRecord(PaneLayout& layout) : layout_(layout) {}

    wxString Save();
    // False, with nothing changed, for a text of another version or of other panes, or one
    // holding a value beyond what the frame can hold (a line in the output pane says where).
    bool Load(const wxString& text);

    // Fits the loaded layout's dock sizes to the client area again; false once the user has
    // arranged the panes since the layout was loaded. After a true, the caller updates the
    // layout.
    bool Refit();
    // The user has dragged a sash: the docks' sizes are theirs from now on.
    void UserResized() { loaded_.clear(); }

private:
    // Where each pane is and whether it is shown: a pane docked, floated, closed, tabbed or
    // hidden to a bar changes it; sizes, captions and updates of the layout do not.
    wxString Arrangement() const;
    // `pane` as loaded with the program's own look: the record only says where it is and
    // whether it is shown, never what its buttons do or whether it may be closed.
    void KeepProgramsLook(wxAuiPaneInfo& pane) const;
    // `pane` as loaded, fitted to the screen it will be shown on.
    void FitOntoScreen(wxAuiPaneInfo& pane) const;
    // The least width and height any pane may be docked at.
    wxSize LeastDockSize() const;

    PaneLayout& layout_;
    // The loaded layout's perspective as recorded and the client size it was recorded at,
    // while the panes are still arranged as loaded (`arrangement_`) and no sash was dragged.
    wxString loaded_;
    wxSize loadedClient_;
    wxString arrangement_;
};
