#include "widget/controls.h"

namespace widget {

WEdit::WEdit() {
    Bind(wxEVT_CHAR_HOOK, &WEdit::OnCharHook, this);
    Bind(wxEVT_TEXT, &WEdit::OnChange, this);
    Bind(wxEVT_KILL_FOCUS, &WEdit::OnKillFocus, this);
    Bind(wxEVT_SET_FOCUS, &WEdit::OnSetFocus, this);
}

bool WEdit::Create(wxWindow* parent, wxWindowID id, const wxString& value, const wxPoint& pos,
                   const wxSize& size, long style) {
    return wxTextCtrl::Create(parent, id, value, pos, size, style | wxTE_PROCESS_ENTER);
}

// The char hook comes before the key reaches the text box and before a dialog can take
// Escape as Cancel or Enter as its default button.
void WEdit::OnCharHook(wxKeyEvent& event) {
    if (!OnEditKey(event.GetKeyCode())) event.Skip();
}

bool WEdit::OnEditKey(int keyCode) {
    if (keyCode == WXK_RETURN || keyCode == WXK_NUMPAD_ENTER) {
        editingFinished();
        returnPressed();
        if (previousFocus) previousFocus->SetFocus();
        return true;
    }
    if (keyCode == WXK_ESCAPE) {
        if (previousFocus) previousFocus->SetFocus();
        return true;
    }
    return false;
}

void WEdit::OnChange(wxCommandEvent& event) {
    event.Skip();
    const wxString text = GetValue();
    if (text == lastText) return;
    lastText = text;
    textChanged(text);
}

void WEdit::OnKillFocus(wxFocusEvent& event) {
    event.Skip();
    editingFinished();
    focusLost();
}

// On GTK the set-focus event names the window that lost the focus.
void WEdit::OnSetFocus(wxFocusEvent& event) {
    event.Skip();
    previousFocus = event.GetWindow();
}

WButton::WButton() { BindEvents(); }

WButton::WButton(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos,
                 const wxSize& size, long style)
    : wxButton(parent, id, label, pos, size, style) {
    BindEvents();
}

void WButton::BindEvents() {
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { clicked(); });
}

WComboBox::WComboBox() {
    Bind(wxEVT_COMBOBOX_CLOSEUP, &WComboBox::OnCloseUp, this);
    Bind(wxEVT_COMBOBOX, &WComboBox::OnSelChange, this);
    Bind(wxEVT_KILL_FOCUS, &WComboBox::OnKillFocus, this);
    Bind(wxEVT_PAINT, [this](wxPaintEvent& event) {
        event.Skip();
        DrawControl();
    });
}

bool WComboBox::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                       long style) {
    return wxComboBox::Create(parent, id, wxEmptyString, pos, size, 0, nullptr,
                              style | wxCB_READONLY);
}

// GTK closes the list before it reports the entry chosen in it, where a list box reports the
// choice first. The close is reported once the events of this input are handled, so that
// `activated` carries the new choice and a choice is reported before the list's close.
void WComboBox::OnCloseUp(wxCommandEvent& event) {
    event.Skip();
    CallAfter([this] { activated(GetSelection()); });
}

void WComboBox::OnSelChange(wxCommandEvent& event) {
    event.Skip();
    const int selection = GetSelection();
    activated(selection);
    selectionChanged(selection);
}

void WComboBox::OnKillFocus(wxFocusEvent& event) {
    event.Skip();
    focusLost();
}

WDropDownListComboBox::WDropDownListComboBox() {
    Bind(wxEVT_ENTER_WINDOW, &WDropDownListComboBox::OnMouseEnter, this);
    Bind(wxEVT_LEAVE_WINDOW, &WDropDownListComboBox::OnMouseLeave, this);
}

void WDropDownListComboBox::OnMouseEnter(wxMouseEvent& event) {
    event.Skip();
    hot = true;
    Refresh(false);
}

void WDropDownListComboBox::OnMouseLeave(wxMouseEvent& event) {
    event.Skip();
    hot = false;
    Refresh(false);
}

}  // namespace widget
