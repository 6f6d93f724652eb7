#pragma once

#include <functional>

#include <wx/string.h>

// Every message box of the program goes through here, so that tests can read the text
// and give the answer instead of a person.
using MessageBoxAnswerer =
    std::function<int(const wxString& message, const wxString& caption, long style)>;

// Shows a modal message box with wx's style flags (wxOK, wxYES_NO, wxCANCEL, wxICON_ERROR,
// ...) and returns the button chosen (wxOK, wxYES, wxNO or wxCANCEL).
int ShowMessageBox(const wxString& message, const wxString& caption, long style);

// Installs an answerer in place of the real box; an empty one restores the real box.
// Call on the UI thread only.
void SetMessageBoxAnswerer(MessageBoxAnswerer answerer);
