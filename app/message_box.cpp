#include "app/message_box.h"

#include <utility>

#include <wx/msgdlg.h>

namespace {

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

// The answerer gets the text as the program wrote it; only the box on screen breaks it.
int ShowMessageBox(const wxString& message, const wxString& caption, long style) {
    if (Answerer()) return Answerer()(message, caption, style);
    return wxMessageBox(WrapLongRuns(message, kMessageRunWidth), caption, style);
}

int ShowMessageBox(const wxString& message, const wxString& caption, long style,
                   const wxString& yes, const wxString& no, const wxString& cancel) {
    if (Answerer()) return Answerer()(message, caption, style);
    wxMessageDialog dialog(nullptr, WrapLongRuns(message, kMessageRunWidth), caption, style);
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
