#pragma once

#include <wx/string.h>

class wxWindow;

// Lets the user pick a folder, starting at `initialFolder`. True with the folder in
// `chosen` on OK; false, `chosen` untouched, on Cancel.
bool BrowseForFolder(wxWindow* owner, const wxString& initialFolder, const wxString& title,
                     wxString& chosen);
