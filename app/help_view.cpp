#include "app/help_view.h"

#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/toolbar.h>

#include "app/image_view.h"

HelpView::HelpView(wxWindow* parent, wxWindowID id) : wxPanel(parent, id) {
    auto* toolbar = new wxToolBar(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                  wxTB_HORIZONTAL | wxTB_FLAT);
    choice_ = new wxChoice(toolbar, wxID_ANY, wxDefaultPosition, wxSize(200, -1));
    toolbar->AddControl(choice_);
    toolbar->Realize();
    image_ = new ImageView(this);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(toolbar, 0, wxEXPAND);
    sizer->Add(image_, 1, wxEXPAND | wxALL, 1);
    SetSizer(sizer);
    choice_->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { OnSelectImage(); });
}

void HelpView::SetPictures(HelpImageCatalog::PictureList pictures) {
    pictures_ = std::move(pictures);
    choice_->Clear();
    for (const auto& picture : pictures_) choice_->Append(picture->Caption);
    if (pictures_.empty()) {
        image_->SetImage(nullptr);
        return;
    }
    choice_->SetSelection(0);
    image_->SetImage(&pictures_.front()->Image);
}

void HelpView::Clear() {
    SetPictures({});
    PackageType.clear();
}

void HelpView::OnSelectImage() {
    const int index = choice_->GetSelection();
    if (index < 0 || index >= static_cast<int>(pictures_.size())) return;
    image_->SetImage(&pictures_[index]->Image);
}
