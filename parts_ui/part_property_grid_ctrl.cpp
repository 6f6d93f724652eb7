#include "parts_ui/part_property_grid_ctrl.h"

#include "app/message_box.h"
#include "resources/string_ids.h"
#include "resources/string_table.h"

wxString PartPropertyGridCtrl::BoolText(bool value) const {
    using namespace resources;
    return wxString(LoadText(value ? IDS_PROPERTY_TRUE : IDS_PROPERTY_FALSE));
}

wxString PartPropertyGridCtrl::InvalidValueText() const {
    return wxString(resources::LoadText(resources::IDS_PROPERTY_INVALID_VALUE));
}

PartPropertyGridCtrl::PartPropertyGridCtrl(wxWindow* parent, wxWindowID id)
    : widget::WPropertyGridCtrl(parent, id) {
    // The hook sees the key before the grid or its in-place editor does.
    Bind(wxEVT_CHAR_HOOK, &PartPropertyGridCtrl::OnCharHook, this);
}

void PartPropertyGridCtrl::DoShowPropertyError(wxPGProperty*, const wxString& message) {
    if (message.empty()) return;
    ShowMessageBox(message, wxString(resources::LoadText(resources::IDS_APP_TITLE)),
                   wxOK | wxICON_ERROR);
}

bool PartPropertyGridCtrl::IsModified() const { return widget::WPropertyGridCtrl::IsModified(); }

wxPGProperty* PartPropertyGridCtrl::NextSibling(wxPGProperty* property) const {
    if (property == nullptr) return nullptr;
    wxPGProperty* parent = property->GetParent();
    if (parent == nullptr) return nullptr;
    const unsigned next = property->GetIndexInParent() + 1;
    return next < parent->GetChildCount() ? parent->Item(next) : nullptr;
}

bool PartPropertyGridCtrl::HandleTab() {
    wxPGProperty* selected = GetSelection();
    if (selected == nullptr) return false;
    if (selected->GetChildCount() > 0) {
        Expand(selected);
        SelectProperty(selected->Item(0), false);
        return false;
    }
    if (wxPGProperty* next = NextSibling(selected)) {
        SelectProperty(next, false);
        return true;
    }
    // Up the hierarchy, at most as many levels as the selection lies below the top.
    wxPGProperty* ancestor = selected;
    for (unsigned level = selected->GetDepth() - 1; level > 0 && ancestor->GetParent() != nullptr;
         --level) {
        ancestor = ancestor->GetParent();
        if (wxPGProperty* next = NextSibling(ancestor)) {
            SelectProperty(next, false);
            return true;
        }
    }
    return false;
}

void PartPropertyGridCtrl::OnCharHook(wxKeyEvent& event) {
    // Shift is not looked at: Shift+Tab walks forward as well.
    const bool tab =
        event.GetKeyCode() == WXK_TAB && (event.GetModifiers() & ~wxMOD_SHIFT) == wxMOD_NONE;
    if (tab && HandleTab()) return;
    event.Skip();
}
