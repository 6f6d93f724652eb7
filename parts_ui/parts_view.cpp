#include "parts_ui/parts_view.h"

#include <wx/dcclient.h>
#include <wx/settings.h>

#include "widget/tree_ctrl.h"

namespace {

constexpr wxWindowID kTreeId = 1;

}  // namespace

PartsView::PartsView(wxWindow* parent, wxWindowID id) : wxPanel(parent, id) {
    tree_ = new widget::WTreeCtrl(this, kTreeId, wxDefaultPosition, wxDefaultSize,
                                  wxTR_HAS_BUTTONS | wxTR_NO_LINES | wxBORDER_NONE);
    tree_->SetCheckBoxes(true);
    Bind(wxEVT_SIZE, &PartsView::OnSize, this);
    Bind(wxEVT_PAINT, &PartsView::OnPaint, this);
    Bind(wxEVT_SET_FOCUS, &PartsView::OnSetFocus, this);
}

void PartsView::OnSize(wxSizeEvent& event) {
    event.Skip();
    wxRect inner(GetClientSize());
    inner.Deflate(1);
    tree_->SetSize(inner);
    Refresh();
}

void PartsView::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW)));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRectangle(wxRect(GetClientSize()));
}

void PartsView::OnSetFocus(wxFocusEvent& event) {
    event.Skip();
    tree_->SetFocus();
}
