#include "widget/drag_image.h"

#include <algorithm>

#include <wx/dcbuffer.h>
#include <wx/imaglist.h>
#include <wx/settings.h>
#include <wx/treectrl.h>

namespace widget {

namespace {

constexpr int kPadding = 3;

}  // namespace

DragImage::DragImage(wxWindow* owner, const wxBitmap& icon, const wxString& label)
    : wxPopupWindow(owner, wxBORDER_SIMPLE), icon_(icon), label_(label) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetFont(owner->GetFont());
    const wxSize text = GetTextExtent(label_.empty() ? wxString(" ") : label_);
    const int iconWidth = icon_.IsOk() ? icon_.GetWidth() + kPadding : 0;
    const int height = std::max(text.GetHeight(), icon_.IsOk() ? icon_.GetHeight() : 0);
    SetClientSize(iconWidth + text.GetWidth() + 2 * kPadding, height + 2 * kPadding);
    Bind(wxEVT_PAINT, &DragImage::OnPaint, this);
}

DragImage* DragImage::OfTreeNode(wxTreeCtrl* tree, const wxTreeItemId& node) {
    if (tree == nullptr || !node.IsOk()) return nullptr;
    wxBitmap icon;
    const int image = tree->GetItemImage(node);
    wxImageList* images = tree->GetImageList();
    if (images != nullptr && image >= 0 && image < images->GetImageCount())
        icon = images->GetBitmap(image);
    return new DragImage(tree, icon, tree->GetItemText(node));
}

void DragImage::FollowPointer(const wxPoint& screenPoint) {
    Move(screenPoint + wxPoint(kPointerOffset, kPointerOffset));
    if (!IsShown()) Show();
}

void DragImage::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT)));
    dc.Clear();
    int x = kPadding;
    const int height = GetClientSize().GetHeight();
    if (icon_.IsOk()) {
        dc.DrawBitmap(icon_, x, (height - icon_.GetHeight()) / 2, true);
        x += icon_.GetWidth() + kPadding;
    }
    dc.SetFont(GetFont());
    dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT));
    dc.DrawText(label_, x, (height - dc.GetCharHeight()) / 2);
}

}  // namespace widget
