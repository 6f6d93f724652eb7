#include "app/message_box.h"

#include <utility>

#include <wx/msgdlg.h>

namespace {

MessageBoxAnswerer& Answerer() {
    static MessageBoxAnswerer answerer;
    return answerer;
}

}  // namespace

int ShowMessageBox(const wxString& message, const wxString& caption, long style) {
    if (Answerer()) return Answerer()(message, caption, style);
    return wxMessageBox(message, caption, style);
}

void SetMessageBoxAnswerer(MessageBoxAnswerer answerer) { Answerer() = std::move(answerer); }
