#pragma once

#include <wx/panel.h>

// The panel of the properties pane, where the open part's parameters are edited.
class PropertiesView : public wxPanel {
public:
    explicit PropertiesView(wxWindow* parent);
};
