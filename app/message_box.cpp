#include "app/message_box.h"

#include <utility>

#include <wx/msgdlg.h>

namespace {

// Characters per line of a broken run: a long file name then stays well inside a
// 1024-pixel screen at the usual font sizes.
constexpr size_t kRunWidth = 48;

MessageBoxAnswerer& Answerer() {
    static MessageBoxAnswerer answerer;
    return answerer;
}

}  // namespace

wxString WrapLongRuns(const wxString& message, size_t width) {
    wxString wrapped;
    size_t run = 0;
    for (wxString::const_iterator it = message.begin(); it != message.end(); ++it) {
        const wxUniChar c = *it;
        if (c == ' ' || c == '\t' || c == '\n') {
            run = 0;
        } else if (run == width) {
            wrapped += '\n';
            run = 1;
        } else {
            ++run;
        }
        wrapped += c;
    }
    return wrapped;
}

int ShowMessageBox(const wxString& message, const wxString& caption, long style) {
    const wxString text = WrapLongRuns(message, kRunWidth);
    if (Answerer()) return Answerer()(text, caption, style);
    return wxMessageBox(text, caption, style);
}

int ShowMessageBox(const wxString& message, const wxString& caption, long style,
                   const wxString& yes, const wxString& no, const wxString& cancel) {
    const wxString text = WrapLongRuns(message, kRunWidth);
    if (Answerer()) return Answerer()(text, caption, style);
    wxMessageDialog dialog(nullptr, text, caption, style);
    dialog.SetYesNoCancelLabels(yes, no, cancel);
    switch (dialog.ShowModal()) {
        case wxID_YES:
            return wxYES;
        case wxID_NO:
            return wxNO;
        default:
            return wxCANCEL;
    }
}

void SetMessageBoxAnswerer(MessageBoxAnswerer answerer) { Answerer() = std::move(answerer); }
