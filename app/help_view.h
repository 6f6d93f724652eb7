#pragma once

#include <wx/panel.h>

class wxChoice;

// The help pane: a toolbar with a read-only choice of pictures, and the picture below it.
class HelpView : public wxPanel {
public:
    explicit HelpView(wxWindow* parent, wxWindowID id = wxID_ANY);

    wxChoice* PictureChoice() const { return choice_; }

private:
    wxChoice* choice_ = nullptr;
};
