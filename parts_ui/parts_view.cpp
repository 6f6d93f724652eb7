#include "parts_ui/parts_view.h"

PartsView::PartsView(wxWindow* parent, wxWindowID id) : wxPanel(parent, id) {}
