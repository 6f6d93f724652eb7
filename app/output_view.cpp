#include "app/output_view.h"

#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "platform/gtk_window.h"

namespace {
constexpr wxWindowID kTextBoxId = 2;
}

OutputView::OutputView(wxWindow* parent, wxWindowID id) : wxPanel(parent, id) {
    text_ = new wxTextCtrl(this, kTextBoxId, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                           wxTE_MULTILINE | wxHSCROLL | wxVSCROLL);
    text_->SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
    // Lines are not wrapped; the pane is narrow, so the horizontal bar must be there to see
    // that a line goes on, not only while the pointer is over the text.
    platform::KeepScrollBarsVisible(text_->GetHandle());
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(text_, 1, wxEXPAND);
    SetSizer(sizer);
}

void OutputView::AppendLine(wxString line) {
    if (line.EndsWith(wxS("\r\n"))) {
        line.RemoveLast(2);
    } else if (line.EndsWith(wxS("\n"))) {
        line.RemoveLast();
    }
    text_->ChangeValue(text_->GetValue() + line + wxS("\n"));
    const long end = text_->GetLastPosition();
    text_->SetSelection(end, end);
    text_->ShowPosition(end);
}
