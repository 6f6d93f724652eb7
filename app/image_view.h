#pragma once

#include <wx/bitmap.h>
#include <wx/image.h>
#include <wx/window.h>

// Shows one picture scaled down to fit its client area, never enlarged, keeping the
// aspect ratio. The scroll bars' ranges follow the drawn size, so they only scroll what is
// actually drawn, and a bar is shown only while the drawn picture is larger than the view.
class ImageView : public wxWindow {
public:
    explicit ImageView(wxWindow* parent, wxWindowID id = wxID_ANY);

    // The picture to show (not owned; must outlive the view or be replaced first); null
    // shows nothing.
    void SetImage(const wxImage* image);

    // The size a picture of `image` pixels is drawn at in a client area of `client`.
    static wxSize DrawnSize(const wxSize& image, const wxSize& client);
    // The drawn size of the picture shown now; 0 x 0 without one.
    wxSize DrawnSize() const;

private:
    void UpdateScrollBars();
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnScroll(wxScrollWinEvent& event);

    const wxImage* image_ = nullptr;
    wxBitmap scaled_;
    int horizontal_ = 0;  // scroll positions in pixels
    int vertical_ = 0;
};
