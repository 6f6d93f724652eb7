#include "parts_ui/properties_view.h"

PropertiesView::PropertiesView(wxWindow* parent) : wxPanel(parent, wxID_ANY) {}
