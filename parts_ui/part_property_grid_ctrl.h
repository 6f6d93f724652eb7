#pragma once

#include <wx/event.h>

#include "widget/property_grid_ctrl.h"

// The property grid of the properties pane. Tab walks forward through the properties,
// depth first, opening a collapsed group on the way.
class PartPropertyGridCtrl : public widget::WPropertyGridCtrl {
  public:
    PartPropertyGridCtrl(wxWindow* parent, wxWindowID id);

    // True when any property carries the modified mark.
    bool IsModified() const;
    // The property after `property` under the same parent; null for the last one and for
    // no property.
    wxPGProperty* NextSibling(wxPGProperty* property) const;
    // One press of Tab with the current selection: true when the walk consumed it, false
    // when it goes on to the grid's own handling.
    bool HandleTab();

    // Refused text is reported through the program's message box.
    void DoShowPropertyError(wxPGProperty* property, const wxString& message) override;

  protected:
    // "True" and "False" in the UI language.
    wxString BoolText(bool value) const override;
    // The refusal of typed text in the UI language.
    wxString InvalidValueText() const override;

  private:
    void OnCharHook(wxKeyEvent& event);
};
