#pragma once

#include <memory>
#include <string>
#include <vector>

#include <wx/panel.h>

#include "app/help_image_catalog.h"

class ImageView;
class wxChoice;

// The help pane: a toolbar with a read-only choice of the pictures' captions, and the
// chosen picture below it.
class HelpView : public wxPanel {
public:
    explicit HelpView(wxWindow* parent, wxWindowID id = wxID_ANY);

    // Offers `pictures` by caption and shows the first. The pane shares them with the
    // catalogue, so a picture stays valid while it is shown.
    void SetPictures(HelpImageCatalog::PictureList pictures);
    // Empties the pane when no part is open any more.
    void Clear();

    // The package type whose pictures the pane holds ("qfp", "TO-220", ...); empty at first.
    std::string PackageType;

    wxChoice* PictureChoice() const { return choice_; }
    ImageView* Picture() const { return image_; }

private:
    void OnSelectImage();

    wxChoice* choice_ = nullptr;
    ImageView* image_ = nullptr;
    HelpImageCatalog::PictureList pictures_;
};
