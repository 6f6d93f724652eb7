#include "parts_ui/file_tree_images.h"

#include <wx/artprov.h>
#include <wx/imaglist.h>

wxImageList* MakeFileTreeImages() {
    auto* images = new wxImageList(16, 16, true, 2);
    images->Add(wxArtProvider::GetBitmap(wxART_FOLDER, wxART_OTHER, wxSize(16, 16)));
    images->Add(wxArtProvider::GetBitmap(wxART_NORMAL_FILE, wxART_OTHER, wxSize(16, 16)));
    return images;
}
