#include "parts_ui/part_name_edit.h"

#include <algorithm>

#include "app/output_view.h"
#include "parts_ui/part_name_rules.h"
#include "resources/string_ids.h"

namespace parts_ui {

namespace {

bool IsForbidden(wxUniChar c) {
    return std::find(ForbiddenNameCharacters.begin(), ForbiddenNameCharacters.end(),
                     static_cast<wchar_t>(c.GetValue())) != ForbiddenNameCharacters.end();
}

}  // namespace

PartNameEdit::PartNameEdit()
    : refusalMessage(FormatForbiddenCharsMessage(resources::IDS_NAME_HAS_ANY_OF)) {
    Bind(wxEVT_CHAR, &PartNameEdit::OnChar, this);
    textConnection_ = textChanged.connect([this](const wxString& text) { OnTextChanged(text); });
}

void PartNameEdit::OnChar(wxKeyEvent& event) {
    // Tab moves the focus on; it never becomes part of a one-line box's text.
    const wxChar c = event.GetUnicodeKey();
    if (c != WXK_NONE && c != WXK_TAB && IsForbidden(c)) {
        LogToOutput("%s", refusalMessage);
        return;
    }
    event.Skip();
}

// Text that arrives without typing (a paste) is cleaned here. ChangeValue raises no second
// change event.
void PartNameEdit::OnTextChanged(const wxString& text) {
    wxString clean;
    for (wxUniChar c : text) {
        if (!IsForbidden(c)) clean += c;
    }
    if (clean == text) return;
    long from = 0;
    long to = 0;
    GetSelection(&from, &to);
    ChangeValue(clean);
    lastText = clean;
    const long end = static_cast<long>(clean.length());
    SetSelection(std::min(from, end), std::min(to, end));
    ShowPosition(GetInsertionPoint());
}

void PartNameEditDelegate::SetModelData(wxWindow* editor, widget::WTreeItemModel* model,
                                        const widget::WModelIndex& index) {
    auto* text = dynamic_cast<wxTextCtrl*>(editor);
    if (text == nullptr || model == nullptr || text->GetValue().empty()) return;
    model->SetData(index, widget::Variant::FromBstr(text->GetValue().ToStdWstring()));
}

}  // namespace parts_ui
