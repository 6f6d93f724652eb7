#pragma once

#include <array>
#include <cstdint>
#include <string>

#include <wx/propdlg.h>

class wxRadioButton;
class wxTextCtrl;

// The values the configuration sheet edits.
struct ProgramConfigValues {
    std::wstring PartsFolder;
    std::wstring ExportFolder;
    int Background = 2;  // 0 black, 1 white, 2 gradation
    double FluidConductivity = 0;
    std::array<double, 3> StandardLength{};  // x, y, z
    std::array<double, 3> Threshold{};
};

// A number typed by the user, read in the classic locale whatever the user's locale;
// blanks around it are allowed. False for anything else, infinities and NaN included.
bool ParseConfigNumber(const wxString& text, double& value);
// The shortest text that reads back as `value`, with '.' as decimal point.
wxString FormatConfigNumber(double value);

// The modal "Program Configurations..." sheet: Folder, Background, Material Property and
// Mesh Division pages in a list. A page with a text that is not a number greater than 0,
// or a Mesh page
// whose threshold exceeds its standard length on an axis, cannot be left and keeps the
// sheet open on OK.
class ProgramConfigSheet : public wxPropertySheetDialog {
public:
    enum Page { kFolderPage, kBackgroundPage, kMaterialPage, kMeshPage };

    explicit ProgramConfigSheet(wxWindow* parent);

    void SetValues(const ProgramConfigValues& values);
    // The values of the controls; call after a successful CheckPage of every page.
    ProgramConfigValues GetValues() const;

    // Shows the page's message and selects the offending text when the page's values are
    // not acceptable.
    bool CheckPage(int page);

    wxTextCtrl* PartsFolderText() const { return parts_; }
    wxTextCtrl* ExportFolderText() const { return export_; }
    wxRadioButton* BackgroundButton(int index) const { return background_[index]; }
    wxTextCtrl* ConductivityText() const { return conductivity_; }
    wxTextCtrl* StandardLengthText(int axis) const { return standard_[axis]; }
    wxTextCtrl* ThresholdText(int axis) const { return threshold_[axis]; }

private:
    wxWindow* BuildFolderPage();
    wxWindow* BuildBackgroundPage();
    wxWindow* BuildMaterialPage();
    wxWindow* BuildMeshPage();
    void Browse(wxTextCtrl* text);
    bool CheckNumber(wxTextCtrl* text, double& value);
    // A number, finite and greater than 0; otherwise the message names `nameId`.
    bool CheckPositive(wxTextCtrl* text, std::uint32_t nameId, double& value);
    void OnOk(wxCommandEvent& event);

    wxTextCtrl* parts_ = nullptr;
    wxTextCtrl* export_ = nullptr;
    std::array<wxRadioButton*, 3> background_{};
    wxTextCtrl* conductivity_ = nullptr;
    std::array<wxTextCtrl*, 3> standard_{};
    std::array<wxTextCtrl*, 3> threshold_{};
};
