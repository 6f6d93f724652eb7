#pragma once

#include <wx/panel.h>

// The components pane, where the preview's component groups are ticked on and off.
class PartsView : public wxPanel {
public:
    explicit PartsView(wxWindow* parent, wxWindowID id = wxID_ANY);
};
