#pragma once

#include <string>
#include <vector>

#include <wx/dialog.h>

class wxTextCtrl;

namespace parts_ui {

// Fills `pieces` with the non-empty pieces of `text` between `separator`s. A text that
// holds no separator at all gives no pieces.
void SplitCString(const std::wstring& text, wchar_t separator, std::vector<std::wstring>& pieces);

// The fixed-width report of a resistance line ("Resistance top=1.5, bottom=2"): a title
// block with the part name, then one "name :  value" line per piece, names padded to 12
// characters. Values are shown as the line holds them; a value "0" or adiabatic (a link
// without a resistance) is left out, and so is a piece without "=". What follows the last
// piece with "=" is the row's notes, shown below the values as the line holds them. Lines end in "\r\n".
std::wstring FormatResistanceReport(const std::wstring& partName, const std::wstring& line);

// Shows a resistance report read-only in a fixed-width font.
class OutputResistanceDialog : public wxDialog {
public:
    OutputResistanceDialog(wxWindow* parent, std::wstring report);

    wxTextCtrl* reportBox = nullptr;

private:
    std::wstring report_;
};

}  // namespace parts_ui
