#pragma once

#include <boost/signals2/signal.hpp>
#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/textctrl.h>
#include <wx/weakref.h>

namespace widget {

// A text box that reports the end of editing, Enter and text changes. On Enter and
// Escape it gives the focus back to the window it came from.
class WEdit : public wxTextCtrl {
public:
    // Binds the handlers; the owner creates the window with Create (wxTE_PROCESS_ENTER
    // is added there).
    WEdit();
    bool Create(wxWindow* parent, wxWindowID id, const wxString& value = wxEmptyString,
                const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize,
                long style = 0);

    boost::signals2::signal<void()> focusLost;
    boost::signals2::signal<void()> editingFinished;
    boost::signals2::signal<void()> returnPressed;
    boost::signals2::signal<void(const wxString&)> textChanged;
    wxWeakRef<wxWindow> previousFocus;  // cleared by wx when that window is destroyed
    wxString lastText;

protected:
    // Enter and Escape; true when the key was taken.
    virtual bool OnEditKey(int keyCode);

private:
    void OnCharHook(wxKeyEvent& event);
    void OnChange(wxCommandEvent& event);
    void OnKillFocus(wxFocusEvent& event);
    void OnSetFocus(wxFocusEvent& event);
};

// A push button that reports clicks.
class WButton : public wxButton {
public:
    WButton();
    WButton(wxWindow* parent, wxWindowID id, const wxString& label,
            const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize,
            long style = 0);

    boost::signals2::signal<void()> clicked;

private:
    void BindEvents();
};

// A read-only drop-down list that reports activation (a choice, and every close of the
// list, after the choice made in it), selection changes and loss of focus. Selections are
// -1 when nothing is chosen.
class WComboBox : public wxComboBox {
public:
    WComboBox();
    // Created with wxCB_READONLY added to `style`.
    bool Create(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = 0);

    // The paint hook; the control paints itself.
    virtual void DrawControl() {}

    boost::signals2::signal<void(int)> activated;
    boost::signals2::signal<void(int)> selectionChanged;
    boost::signals2::signal<void()> focusLost;

private:
    void OnCloseUp(wxCommandEvent& event);
    void OnSelChange(wxCommandEvent& event);
    void OnKillFocus(wxFocusEvent& event);
};

// A drop-down list framed like an edit box that knows when the mouse is over it. The
// toolkit draws the frame and the hot, pressed and disabled states itself.
class WDropDownListComboBox : public WComboBox {
public:
    WDropDownListComboBox();

    bool editFrame = true;
    bool hot = false;

private:
    void OnMouseEnter(wxMouseEvent& event);
    void OnMouseLeave(wxMouseEvent& event);
};

}  // namespace widget
