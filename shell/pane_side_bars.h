#pragma once

#include <map>
#include <memory>
#include <vector>

#include <wx/aui/framemanager.h>
#include <wx/timer.h>

class PaneLayout;
class wxFrame;
class wxPanel;

// The left and right sides, whose docks run up and down the frame.
inline bool IsVerticalSide(int direction) {
    return direction == wxAUI_DOCK_LEFT || direction == wxAUI_DOCK_RIGHT;
}

// The auto-hide bars of a PaneLayout: a bar of buttons on each side of the frame for the
// panes pinned away from that side, and the one pane slid out from its button over the
// client area, in a window of its own. A bar with no button is hidden.
class PaneSideBars {
public:
    struct Hidden {
        wxWindow* window;
        wxAuiPaneInfo info;  // where it was docked
        bool shown;          // has a button on its bar
        wxWindow* button;
    };
    // The start of every bar's pane name, the saved layout's included.
    static const wxString kNamePrefix;

    explicit PaneSideBars(PaneLayout& layout);
    ~PaneSideBars();

    // Adds the four bars to the manager of `frame` and takes the pin buttons of its panes.
    void AddBars(wxFrame* frame);
    const std::map<int, wxPanel*>& Bars() const { return bars_; }
    wxWindow* SideBar(int direction) const;
    const std::vector<Hidden>& HiddenPanes() const { return hidden_; }
    Hidden* HiddenOf(wxWindow* window);
    const Hidden* HiddenOf(wxWindow* window) const;
    bool IsAutoHidden(wxWindow* window) const;
    wxWindow* BarButton(wxWindow* window) const;

    void AutoHide(wxWindow* window);
    void DockAgain(wxWindow* window);
    // Puts the pane's button on its bar, or takes it off (the View menu's hide).
    void SetButtonShown(Hidden& hidden, bool shown);
    // Shows the bars that hold a button, hides the others.
    void UpdateBars();

    void SlideOut(wxWindow* window);
    void SlideBack();
    void CheckSlideBack();
    wxWindow* SlidOutPane() const { return slidOut_; }
    wxFrame* SlideOutWindow() const { return holder_; }

private:
    void OnPaneButton(wxAuiManagerEvent& event);

    PaneLayout& layout_;
    std::map<int, wxPanel*> bars_;
    std::vector<Hidden> hidden_;
    wxWindow* slidOut_ = nullptr;
    wxFrame* holder_ = nullptr;
    std::unique_ptr<wxAuiManager> holderManager_;
    wxTimer slideTimer_;
};
