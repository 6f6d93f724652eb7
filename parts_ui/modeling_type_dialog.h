#pragma once

#include <wx/dialog.h>

#include <string>
#include <vector>

class wxChoice;
class wxInitDialogEvent;

namespace parts_ui {

// Picks one modeling type for every row of the export list at once, from the texts the
// creator offers.
class ModelingTypeDialog : public wxDialog {
  public:
    explicit ModelingTypeDialog(wxWindow* parent);

    // Filled by the creator before the dialog is shown, in the order they are offered.
    std::vector<std::wstring> kindTexts;
    // The text chosen on OK; empty until then.
    std::wstring chosenText;

    wxChoice* kindChoice() const { return kindChoice_; }

  private:
    void OnInitDialog(wxInitDialogEvent& event);
    void OnOK(wxCommandEvent& event);

    wxChoice* kindChoice_ = nullptr;
};

}  // namespace parts_ui
