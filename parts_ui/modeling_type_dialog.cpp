#include "parts_ui/modeling_type_dialog.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "resources/string_ids.h"
#include "resources/string_table.h"

namespace parts_ui {

namespace {

wxString Text(std::uint32_t id) { return wxString(resources::LoadText(id)); }

}  // namespace

ModelingTypeDialog::ModelingTypeDialog(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, Text(resources::IDS_EXPORT_CHANGE_KIND)) {
    // A wxChoice offers the texts only: nothing can be typed and nothing is sorted.
    kindChoice_ = new wxChoice(this, wxID_ANY);
    auto* ok = new wxButton(this, wxID_OK, Text(resources::IDS_MODELING_TYPE_OK));
    auto* cancel = new wxButton(this, wxID_CANCEL, Text(resources::IDS_MODELING_TYPE_CANCEL));
    ok->SetDefault();

    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(new wxStaticText(this, wxID_ANY, Text(resources::IDS_EXPORT_MODELING_TYPE)),
             wxSizerFlags().CenterVertical().Border(wxRIGHT, 8));
    row->Add(kindChoice_, wxSizerFlags(1).Expand());
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->Add(ok, wxSizerFlags().Border(wxRIGHT, 6));
    buttons->Add(cancel);
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(row, wxSizerFlags().Expand().Border(wxALL, 10));
    top->Add(buttons, wxSizerFlags().Right().Border(wxLEFT | wxRIGHT | wxBOTTOM, 10));
    SetSizer(top);
    SetMinSize(ConvertDialogToPixels(wxSize(186, 49)));
    Fit();

    Bind(wxEVT_INIT_DIALOG, &ModelingTypeDialog::OnInitDialog, this);
    Bind(wxEVT_BUTTON, &ModelingTypeDialog::OnOK, this, wxID_OK);
}

void ModelingTypeDialog::OnInitDialog(wxInitDialogEvent& event) {
    event.Skip();
    kindChoice_->Clear();
    for (const std::wstring& text : kindTexts) kindChoice_->Append(wxString(text));
    if (!kindTexts.empty()) kindChoice_->SetSelection(0);
}

// Without a selection the dialog stays open.
void ModelingTypeDialog::OnOK(wxCommandEvent&) {
    const int selection = kindChoice_->GetSelection();
    if (selection == wxNOT_FOUND) return;
    chosenText = kindChoice_->GetString(selection).ToStdWstring();
    EndModal(wxID_OK);
}

}  // namespace parts_ui
