#pragma once

#include <string>

#include <wx/panel.h>

// The file-tree pane of the parts folder.
class FileView : public wxPanel {
public:
    explicit FileView(wxWindow* parent, wxWindowID id = wxID_ANY);

    // The parts folder the tree shows, ending with '/'.
    std::wstring RootFolder;
};
