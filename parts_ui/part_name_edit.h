#pragma once

#include <boost/signals2/connection.hpp>
#include <string>

#include "widget/controls.h"
#include "widget/item_delegate.h"

namespace parts_ui {

// The in-place editor of an output name: refuses the characters a part name may not
// hold. A typed one is swallowed and explained in the output pane; pasted text loses them
// silently. The other name rules are checked only when the export starts.
class PartNameEdit : public widget::WEdit {
  public:
    PartNameEdit();

    // The message logged for a refused key, built when the box is made.
    std::wstring refusalMessage;

  private:
    void OnChar(wxKeyEvent& event);
    void OnTextChanged(const wxString& text);

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
