#pragma once

#include <gtest/gtest.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <string>

#include "parts_ui/part_property_grid_ctrl.h"
#include "parts_ui/properties_view.h"
#include "tests/support/wx_test.h"

namespace zentrik_test {

// Edits a grid value as a user does: a click into its value cell, End, the old text
// erased and `text` typed, then Enter; waits until the view counts as modified. Without
// `enter` the text is left in the open editor, as a user who goes elsewhere leaves it.
inline void TypeIntoGrid(PropertiesView* view, wxPGProperty* property, const std::string& text,
                         bool enter = true) {
    PartPropertyGridCtrl* grid = view->Grid();
    grid->EnsureVisible(property);
    const wxRect rect = grid->GetPropertyRect(property, property);
    ClickAt(grid, grid->CalcScrolledPosition(
                      wxPoint(grid->GetSplitterPosition() + 30, rect.y + rect.height / 2)));
    ASSERT_TRUE(WaitUntil([&] { return grid->GetEditorControl() != nullptr; }));
    wxUIActionSimulator sim;
    sim.Char(WXK_END);
    for (int i = 0; i < 10; ++i) sim.Char(WXK_BACK);
    sim.Text(text.c_str());
    // Asking the view whether it is modified would finish the edit: the editor is watched.
    ASSERT_TRUE(WaitUntil([&] {
        auto* editor = dynamic_cast<wxTextCtrl*>(grid->GetEditorControl());
        return editor != nullptr && editor->GetValue() == text;
    }));
    if (!enter) return;
    sim.Char(WXK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !grid->IsEditorsValueModified(); }));
    ASSERT_TRUE(view->IsModified());
}

}  // namespace zentrik_test
