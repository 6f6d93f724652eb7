#include "app/help_view.h"

#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/toolbar.h>

HelpView::HelpView(wxWindow* parent, wxWindowID id) : wxPanel(parent, id) {
    auto* toolbar = new wxToolBar(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                  wxTB_HORIZONTAL | wxTB_FLAT);
    choice_ = new wxChoice(toolbar, wxID_ANY, wxDefaultPosition, wxSize(200, -1));
    toolbar->AddControl(choice_);
    toolbar->Realize();
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(toolbar, 0, wxEXPAND);
    SetSizer(sizer);
}
