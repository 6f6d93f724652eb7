#pragma once

#include <boost/signals2/connection.hpp>
#include <string>

#include <wx/timer.h>
#include <wx/weakref.h>

#include "widget/controls.h"
#include "widget/item_delegate.h"

namespace parts_ui {

// The in-place editor of an output name: refuses the characters a part name may not
// hold. A typed one is swallowed and explained in a tip under the box, where the user is
// looking, and in the output pane; pasted text loses them silently. The other name rules
// are checked only when the export starts.
class PartNameEdit : public widget::WEdit {
  public:
    PartNameEdit();
    ~PartNameEdit() override;

    // The message logged for a refused key, built when the box is made.
    std::wstring refusalMessage;

    // The tip that shows the refusal; null until a key was first refused.
    wxWindow* RefusalTip() const { return tip_; }

  private:
    void OnChar(wxKeyEvent& event);
    void OnTextChanged(const wxString& text);
    void ShowRefusalTip();
    void HideRefusalTip();

    wxWeakRef<wxWindow> tip_;
    // Takes the tip away after a while, as a tooltip goes.
    wxTimer tipTimer_;

    boost::signals2::scoped_connection textConnection_;
};

// Edits the output-name column with a PartNameEdit (the dialog sets the factory). An
// editor left empty keeps the cell's name.
class PartNameEditDelegate : public widget::WEditDelegate {
  public:
    void SetModelData(wxWindow* editor, widget::WTreeItemModel* model,
                      const widget::WModelIndex& index) override;
};

}  // namespace parts_ui
