#include "parts_ui/output_resistance_dialog.h"

#include <algorithm>
#include <utility>

#include <wx/button.h>
#include <wx/fontenum.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "platform/gtk_window.h"
#include "resources/string_ids.h"
#include "resources/string_table.h"

namespace parts_ui {

namespace {

constexpr size_t kNameWidth = 12;

}  // namespace

void SplitCString(const std::wstring& text, wchar_t separator, std::vector<std::wstring>& pieces) {
    pieces.clear();
    if (text.find(separator) == std::wstring::npos) return;
    size_t from = 0;
    for (size_t at = text.find(separator); at != std::wstring::npos;
         at = text.find(separator, from)) {
        if (at > from) pieces.push_back(text.substr(from, at - from));
        from = at + 1;
    }
    if (from < text.size()) pieces.push_back(text.substr(from));
}

std::wstring FormatResistanceReport(const std::wstring& partName, const std::wstring& line) {
    std::wstring spaced = line;
    for (wchar_t& c : spaced) {
        if (c == L',') c = L' ';
    }
    std::vector<std::wstring> pieces;
    SplitCString(spaced, L' ', pieces);

    std::wstring report = L"===" + resources::LoadText(resources::IDS_PART_NAME) + L"===\r\n" + partName +
                          L"\r\n\r\n===" + resources::LoadText(resources::IDS_RESISTANCE) + L"===\r\n";
    const std::wstring adiabatic = resources::LoadText(resources::IDS_NETWORK_ADIABATIC);
    // The first piece is the word "Resistance". What follows the last piece with "=" are
    // the row's notes (the network's error estimate, a warning, a list file not written).
    size_t notes = pieces.size();
    while (notes > 1 && pieces[notes - 1].find(L'=') == std::wstring::npos) --notes;
    for (size_t i = 1; i < notes; ++i) {
        const size_t equals = pieces[i].find(L'=');
        if (equals == std::wstring::npos) continue;
        std::wstring name = pieces[i].substr(0, equals);
        const std::wstring value = pieces[i].substr(equals + 1);
        // A link without a resistance is no line of the report.
        if (value == L"0" || value == adiabatic) continue;
        if (name.size() < kNameWidth) name.append(kNameWidth - name.size(), L' ');
        report += name + L" :  " + value + L"\r\n";
    }
    if (notes < pieces.size()) {
        // The notes as the line holds them, from the start of their first piece.
        size_t at = 0;
        for (size_t piece = 0; piece <= notes; ++piece) {
            at = spaced.find_first_not_of(L' ', at);
            if (piece < notes) at = spaced.find(L' ', at);
        }
        report += L"\r\n" + line.substr(at) + L"\r\n";
    }
    return report;
}

OutputResistanceDialog::OutputResistanceDialog(wxWindow* parent, std::wstring report)
    : wxDialog(parent, wxID_ANY, wxString(resources::LoadText(resources::IDS_RESISTANCE)), wxDefaultPosition,
               wxDefaultSize, wxDEFAULT_DIALOG_STYLE),
      report_(std::move(report)) {
    SetSize(ConvertDialogToPixels(wxSize(201, 265)));
    reportBox = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                               wxTE_MULTILINE | wxTE_READONLY | wxVSCROLL | wxBORDER_STATIC);
    auto* ok = new wxButton(this, wxID_OK);
    ok->SetDefault();

    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(reportBox, 1, wxEXPAND | wxALL, 7);
    sizer->Add(ok, 0, wxALIGN_CENTER_HORIZONTAL | wxLEFT | wxRIGHT | wxBOTTOM, 7);
    SetSizer(sizer);
    Layout();

    // The text control keeps lines apart by '\n' alone.
    wxString shown(report_);
    shown.Replace("\r\n", "\n");
    reportBox->ChangeValue(shown);

    const wxString face(resources::LoadText(resources::IDS_RESISTANCE_FONT));
    wxFontInfo font(10);
    if (wxFontEnumerator::IsValidFacename(face)) {
        font.FaceName(face);
    } else {
        font.Family(wxFONTFAMILY_TELETYPE);
    }
    reportBox->SetFont(wxFont(font));
    // Node names are joined by underscores, which the Japanese fixed-width font draws at the
    // very bottom of its line: a little room below each line keeps them whole.
    platform::SetLineGap(reportBox->GetHandle(), std::max(2, reportBox->GetCharHeight() / 6));

    // The report box has the focus and would take Enter as a new line: Enter is OK's.
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_RETURN || event.GetKeyCode() == WXK_NUMPAD_ENTER) {
            EndDialog(wxID_OK);
            return;
        }
        event.Skip();
    });
}

}  // namespace parts_ui
