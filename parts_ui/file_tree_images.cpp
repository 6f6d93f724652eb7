#include "parts_ui/file_tree_images.h"

#include <wx/bitmap.h>
#include <wx/image.h>
#include <wx/imaglist.h>
#include <wx/mstream.h>

#include "resources/icons.h"

namespace {

constexpr int kImageSize = 16;

// An empty (transparent) image stands in for one that cannot be read, so that the image
// numbers 0 (folder) and 1 (part file) keep their meaning.
wxBitmap TreeBitmap(const unsigned char* bytes, std::size_t size) {
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) wxImage::AddHandler(new wxPNGHandler);
    wxMemoryInputStream stream(bytes, size);
    wxImage image(stream, wxBITMAP_TYPE_PNG);
    if (!image.IsOk()) {
        image.Create(kImageSize, kImageSize);
        image.InitAlpha();
        for (int y = 0; y < kImageSize; ++y) {
            for (int x = 0; x < kImageSize; ++x) image.SetAlpha(x, y, 0);
        }
    }
    return wxBitmap(image);
}

}  // namespace

wxImageList* MakeFileTreeImages() {
    auto* images = new wxImageList(kImageSize, kImageSize, true, 2);
    images->Add(TreeBitmap(resources::kTreeFolderPng, resources::kTreeFolderPngSize));
    images->Add(TreeBitmap(resources::kTreePartPng, resources::kTreePartPngSize));
    return images;
}
