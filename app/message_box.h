#pragma once

#include <functional>

#include <wx/string.h>

// Every message box of the program goes through here, so that tests can read the text
// and give the answer instead of a person.
using MessageBoxAnswerer =
    std::function<int(const wxString& message, const wxString& caption, long style)>;

// Shows a modal message box with wx's style flags (wxOK, wxYES_NO, wxCANCEL, wxICON_ERROR,
// wxNO_DEFAULT, ...) and returns the button chosen (wxOK, wxYES, wxNO or wxCANCEL). On
// screen, runs without a blank longer than kMessageRunWidth (a long file name) are broken
// into lines, so the box never grows wider than the screen.
int ShowMessageBox(const wxString& message, const wxString& caption, long style);

// The same with the Yes, No and Cancel buttons labelled `yes`, `no` and `cancel`.
int ShowMessageBox(const wxString& message, const wxString& caption, long style,
                   const wxString& yes, const wxString& no, const wxString& cancel);

// Characters per line of a broken run: a long file name then stays well inside a
// 1024-pixel screen at the usual font sizes.
constexpr size_t kMessageRunWidth = 48;

// `message` with every run of more than `width` characters without a blank or a line
// break broken into lines of `width` characters.
wxString WrapLongRuns(const wxString& message, size_t width);

// Installs an answerer in place of the real box; an empty one restores the real box.
// Call on the UI thread only.
void SetMessageBoxAnswerer(MessageBoxAnswerer answerer);
