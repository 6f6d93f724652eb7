#pragma once

#include <wx/dialog.h>

#include <array>
#include <string>
#include <vector>

#include "models/package_types.h"

class wxChoice;
class wxTextCtrl;

// Asks for the package type and the name of a new part and shows where it will be saved.
// OK checks the input and keeps the dialog open, with a message, until it is acceptable.
class NewPartDialog : public wxDialog {
  public:
    explicit NewPartDialog(wxWindow* parent);

    // Filled by the caller before the dialog runs, in the order of `typeNames`.
    std::array<std::wstring, 10> defaultFolders;
    // Read by the caller after OK.
    std::wstring partName = L"new_part";
    std::wstring chosenType;
    std::wstring destinationFolder;
    const std::vector<std::wstring> typeNames = std::vector<std::wstring>(
        pkg::kWidePackageTypeNames.begin(), pkg::kWidePackageTypeNames.end());

    wxChoice* typeChoice() const { return typeChoice_; }
    wxTextCtrl* nameEdit() const { return nameEdit_; }
    wxTextCtrl* folderEdit() const { return folderEdit_; }

    bool TransferDataToWindow() override;
    bool TransferDataFromWindow() override;

  private:
    void BuildLayout();
    void OnTypeSelChange(wxCommandEvent& event);
    void OnOK(wxCommandEvent& event);
    // Shows a refusal of the name and selects the whole name for editing.
    void RefuseName(const wxString& message);

    wxChoice* typeChoice_ = nullptr;
    wxTextCtrl* nameEdit_ = nullptr;
    wxTextCtrl* folderEdit_ = nullptr;
};

// Asks for the name of a new folder below the selected one.
class NewFolderDialog : public wxDialog {
  public:
    explicit NewFolderDialog(wxWindow* parent);

    std::wstring folderName;

    wxTextCtrl* nameEdit() const { return nameEdit_; }

    bool TransferDataToWindow() override;
    bool TransferDataFromWindow() override;

  private:
    void OnOK(wxCommandEvent& event);

    wxTextCtrl* nameEdit_ = nullptr;
};
