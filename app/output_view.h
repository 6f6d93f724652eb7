#pragma once

#include <wx/panel.h>
#include <wx/string.h>

#include "app/shell_frame.h"

class wxTextCtrl;

// The output pane: one multi-line text box that keeps the program's log while it runs.
// Lines end with "\n", the newest last.
class OutputView : public wxPanel {
public:
    explicit OutputView(wxWindow* parent, wxWindowID id = wxID_ANY);

    // Appends `line`, ending it with exactly one "\n" (a "\r\n" or "\n" it ends with is
    // replaced), and moves the caret to the end so the newest line is in view.
    void AppendLine(wxString line);

    wxTextCtrl* TextBox() const { return text_; }

private:
    wxTextCtrl* text_ = nullptr;
};

// Appends a line formatted with wxString::Format's type-checked rules (a "%s" takes
// any string type, std::wstring included) to the main frame's output pane. The line has no
// length limit. Off the UI thread, or while there is no main frame, nothing happens.
template <typename... Args>
void LogToOutput(const wxFormatString& format, Args&&... args) {
    ShellFrame* frame = ShellFrame::Current();
    if (frame == nullptr) return;
    OutputView* view = frame->GetOutputView();
    if (view == nullptr) return;
    view->AppendLine(wxString::Format(format, std::forward<Args>(args)...));
}
