#include "parts_ui/part_name_edit.h"

#include <algorithm>

#include <wx/display.h>
#include <wx/popupwin.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "app/output_view.h"
#include "parts_ui/part_name_rules.h"
#include "resources/string_ids.h"

namespace parts_ui {

namespace {

constexpr int kTipShownMs = 6000;

bool IsForbidden(wxUniChar c) {
    return std::find(ForbiddenNameCharacters.begin(), ForbiddenNameCharacters.end(),
                     static_cast<wchar_t>(c.GetValue())) != ForbiddenNameCharacters.end();
}

}  // namespace

PartNameEdit::PartNameEdit()
    : refusalMessage(FormatForbiddenCharsMessage(resources::IDS_NAME_HAS_ANY_OF)) {
    Bind(wxEVT_CHAR, &PartNameEdit::OnChar, this);
    textConnection_ = textChanged.connect([this](const wxString& text) { OnTextChanged(text); });
    // The tip belongs to the edit in progress: it goes when the edit ends either way.
    Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& event) {
        event.Skip();
        HideRefusalTip();
    });
    Bind(wxEVT_SHOW, [this](wxShowEvent& event) {
        event.Skip();
        if (!event.IsShown()) HideRefusalTip();
    });
    tipTimer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { HideRefusalTip(); });
}

PartNameEdit::~PartNameEdit() {
    tipTimer_.Stop();
    if (tip_) tip_->Destroy();
}

void PartNameEdit::OnChar(wxKeyEvent& event) {
    // Tab moves the focus on; it never becomes part of a one-line box's text.
    const wxChar c = event.GetUnicodeKey();
    if (c != WXK_NONE && c != WXK_TAB && IsForbidden(c)) {
        ShowRefusalTip();
        LogToOutput("%s", refusalMessage);
        return;
    }
    // A character the box takes answers the tip.
    if (c != WXK_NONE) HideRefusalTip();
    event.Skip();
}

// A small window of the tooltip's colours just below the box; it never takes the focus, so
// typing goes on in the box.
void PartNameEdit::ShowRefusalTip() {
    if (!tip_) {
        auto* tip = new wxPopupWindow(this, wxBORDER_SIMPLE);
        tip->SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_INFOBK));
        auto* text = new wxStaticText(tip, wxID_ANY, wxString(refusalMessage));
        text->SetForegroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_INFOTEXT));
        auto* sizer = new wxBoxSizer(wxVERTICAL);
        sizer->Add(text, wxSizerFlags().Border(wxALL, 4));
        tip->SetSizerAndFit(sizer);
        tip_ = tip;
    }
    // Under the box, moved left as far as needed to stay on the screen.
    wxPoint at = GetScreenPosition() + wxPoint(0, GetSize().y);
    const int display = wxDisplay::GetFromWindow(this);
    if (display != wxNOT_FOUND) {
        const wxRect screen = wxDisplay(static_cast<unsigned>(display)).GetGeometry();
        at.x = std::max(screen.x, std::min(at.x, screen.GetRight() + 1 - tip_->GetSize().x));
    }
    tip_->SetPosition(at);
    tip_->Show();
    tip_->Raise();
    tipTimer_.StartOnce(kTipShownMs);
}

void PartNameEdit::HideRefusalTip() {
    tipTimer_.Stop();
    if (tip_ && tip_->IsShown()) tip_->Hide();
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
