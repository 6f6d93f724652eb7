#pragma once

#include <wx/panel.h>

namespace widget {
class WTreeCtrl;
}

// The components pane, where the preview's component groups are ticked on and off: a
// check-box tree inside a one-pixel frame.
class PartsView : public wxPanel {
public:
    explicit PartsView(wxWindow* parent, wxWindowID id = wxID_ANY);

    // Never null; the window lives as long as the pane.
    widget::WTreeCtrl* Tree() const { return tree_; }

private:
    void OnSize(wxSizeEvent& event);
    void OnPaint(wxPaintEvent& event);
    void OnSetFocus(wxFocusEvent& event);

    widget::WTreeCtrl* tree_ = nullptr;  // a child window: the pane destroys it
};
