#include "app/browse_for_folder.h"

#include <wx/dirdlg.h>

bool BrowseForFolder(wxWindow* owner, const wxString& initialFolder, const wxString& title,
                     wxString& chosen) {
    wxDirDialog dialog(owner, title, initialFolder, wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK) return false;
    chosen = dialog.GetPath();
    return true;
}
