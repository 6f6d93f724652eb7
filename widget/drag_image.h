#pragma once

#include <wx/bitmap.h>
#include <wx/popupwin.h>
#include <wx/treebase.h>

class wxTreeCtrl;

namespace widget {

// The picture of a dragged item (its icon and label) in a small borderless window that
// follows the pointer. The toolkit's own drag image paints on the screen, which the display
// server does not allow; this window is ours and shows wherever the pointer goes.
class DragImage : public wxPopupWindow {
public:
    DragImage(wxWindow* owner, const wxBitmap& icon, const wxString& label);

    // The image of a tree node: its normal image from the tree's image list and its text.
    // Null when the node is not valid.
    static DragImage* OfTreeNode(wxTreeCtrl* tree, const wxTreeItemId& node);

    // Shows the window beside the pointer at `screenPoint`, so that the pointer's tip stays
    // on the item under it.
    void FollowPointer(const wxPoint& screenPoint);

    const wxString& Label() const { return label_; }

    // How far the window sits right of and below the pointer.
    static constexpr int kPointerOffset = 12;

private:
    void OnPaint(wxPaintEvent& event);

    wxBitmap icon_;
    wxString label_;
};

}  // namespace widget
