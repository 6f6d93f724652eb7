#include "parts_ui/file_view.h"

FileView::FileView(wxWindow* parent, wxWindowID id) : wxPanel(parent, id) {}
