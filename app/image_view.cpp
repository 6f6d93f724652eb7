#include "app/image_view.h"

#include <algorithm>

#include <wx/dcclient.h>
#include <wx/settings.h>

namespace {
constexpr int kLineStep = 8;  // pixels per scroll line
}

ImageView::ImageView(wxWindow* parent, wxWindowID id)
    : wxWindow(parent, id, wxDefaultPosition, wxDefaultSize,
               wxBORDER_SIMPLE | wxHSCROLL | wxVSCROLL) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &ImageView::OnPaint, this);
    Bind(wxEVT_SIZE, &ImageView::OnSize, this);
    for (auto type : {wxEVT_SCROLLWIN_TOP, wxEVT_SCROLLWIN_BOTTOM, wxEVT_SCROLLWIN_LINEUP,
                      wxEVT_SCROLLWIN_LINEDOWN, wxEVT_SCROLLWIN_PAGEUP, wxEVT_SCROLLWIN_PAGEDOWN,
                      wxEVT_SCROLLWIN_THUMBTRACK, wxEVT_SCROLLWIN_THUMBRELEASE}) {
        Bind(type, &ImageView::OnScroll, this);
    }
}

wxSize ImageView::DrawnSize(const wxSize& image, const wxSize& client) {
    const int w = image.GetWidth(), h = image.GetHeight();
    const int cw = client.GetWidth(), ch = client.GetHeight();
    if (w <= 0 || h <= 0) return wxSize(0, 0);
    if (h < ch && w < cw) return wxSize(w, h);
    if (h < ch) return wxSize(cw, cw * h / w);
    if (w < cw) return wxSize(ch * w / h, ch);
    return wxSize(std::min(ch * w / h, cw), std::min(cw * h / w, ch));
}

wxSize ImageView::DrawnSize() const {
    return image_ == nullptr ? wxSize(0, 0) : DrawnSize(image_->GetSize(), GetClientSize());
}

void ImageView::SetImage(const wxImage* image) {
    image_ = image;
    scaled_ = wxBitmap();
    UpdateScrollBars();
    Refresh();
}

void ImageView::UpdateScrollBars() {
    const wxSize client = GetClientSize();
    const wxSize drawn = DrawnSize();
    // The range is what is drawn, so a bar never scrolls past the picture.
    horizontal_ = std::clamp(horizontal_, 0, std::max(0, drawn.GetWidth() - client.GetWidth()));
    vertical_ = std::clamp(vertical_, 0, std::max(0, drawn.GetHeight() - client.GetHeight()));
    SetScrollbar(wxHORIZONTAL, horizontal_, client.GetWidth(), drawn.GetWidth());
    SetScrollbar(wxVERTICAL, vertical_, client.GetHeight(), drawn.GetHeight());
}

void ImageView::OnSize(wxSizeEvent& event) {
    event.Skip();
    scaled_ = wxBitmap();
    UpdateScrollBars();
    Refresh();
}

void ImageView::OnScroll(wxScrollWinEvent& event) {
    const int orientation = event.GetOrientation();
    int& position = orientation == wxHORIZONTAL ? horizontal_ : vertical_;
    const int page = GetScrollThumb(orientation);
    const int last = std::max(0, GetScrollRange(orientation) - page);
    int next = position;
    const wxEventType type = event.GetEventType();
    if (type == wxEVT_SCROLLWIN_TOP) next = 0;
    else if (type == wxEVT_SCROLLWIN_BOTTOM) next = last;
    else if (type == wxEVT_SCROLLWIN_LINEUP) next -= kLineStep;
    else if (type == wxEVT_SCROLLWIN_LINEDOWN) next += kLineStep;
    else if (type == wxEVT_SCROLLWIN_PAGEUP) next -= page;
    else if (type == wxEVT_SCROLLWIN_PAGEDOWN) next += page;
    else next = event.GetPosition();
    next = std::clamp(next, 0, last);
    if (next == position) return;
    position = next;
    SetScrollPos(orientation, position);
    Refresh();
}

void ImageView::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    dc.SetBackground(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW)));
    dc.Clear();
    const wxSize drawn = DrawnSize();
    if (drawn.GetWidth() <= 0 || drawn.GetHeight() <= 0) return;
    if (!scaled_.IsOk() || scaled_.GetSize() != drawn) {
        scaled_ = wxBitmap(image_->Scale(drawn.GetWidth(), drawn.GetHeight(),
                                         wxIMAGE_QUALITY_HIGH));
    }
    dc.DrawBitmap(scaled_, -horizontal_, -vertical_);
}
