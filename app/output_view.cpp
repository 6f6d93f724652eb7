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
    // Lines logged before the box is on screen (the whole first start) cannot be scrolled
    // to, and a pane that is floated or docked again loses its scroll position: whenever
    // the box gets a size, it shows the newest line again, unless the user has put the
    // caret somewhere else to read.
    text_->Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        event.Skip();
        if (text_->GetInsertionPoint() != text_->GetLastPosition()) return;
        CallAfter([this] {
            const long end = text_->GetLastPosition();
            if (text_->GetInsertionPoint() == end) text_->ShowPosition(end);
        });
    });
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
