#pragma once

#include <wx/panel.h>

#include <boost/signals2/signal.hpp>
#include <vector>

#include "widget/tree_item.h"

class wxToolBar;
class PartPropertyGridCtrl;
namespace widget {
class WButton;
}

// The panel of the properties pane, where the open part's parameters are edited: Save,
// Reset and Preview in a row, a toolbar with expand-all, and the grid. It knows nothing of
// packages; its listeners save and preview.
class PropertiesView : public wxPanel {
  public:
    // The toolbar command that expands every property.
    static constexpr int kExpandAllCommand = 154;
    static constexpr int kButtonRowHeight = 25;

    explicit PropertiesView(wxWindow* parent);

    // Shows `model` (never empty; pass a new empty model for an empty grid).
    void SetModel(std::shared_ptr<widget::WTreeItemModel> model);
    // Finishes the grid's open edit, then asks the listeners to save; when one answers true
    // the grid takes its values as the new reference values and the marks are cleared.
    // False, with nothing changed, when the typed text is refused, no listener answers or
    // the answer is false.
    bool Save();
    // Back to the reference values, marks cleared, an open edit dropped; emits Changed.
    void Reset();
    // Finishes the grid's open edit, then emits Changed; nothing when the text is refused.
    void Preview();
    // Whether the values differ from the saved ones. Whoever asks gets the open edit of
    // the grid finished first, so that what was typed without Enter counts (and is in the
    // item model); text the grid refused counts as a change not yet saved.
    bool IsModified();
    void AdjustLayout();

    PartPropertyGridCtrl* Grid() const { return grid_; }
    widget::WButton* SaveButton() const { return save_; }
    widget::WButton* ResetButton() const { return reset_; }
    widget::WButton* PreviewButton() const { return preview_; }
    wxToolBar* ToolBar() const { return toolBar_; }

    // The default combiner gives the last slot's answer, none without slots.
    boost::signals2::signal<bool()> SaveRequested;
    boost::signals2::signal<void()> Changed;

  private:
    void UpdateFont();
    void OnModelDataChanged();
    void UpdateControls();
    // True while the grid's editor holds text that is not yet the property's value.
    bool EditPending() const;
    void OnExpandAll(wxCommandEvent& event);

    widget::WButton* save_ = nullptr;
    widget::WButton* reset_ = nullptr;
    widget::WButton* preview_ = nullptr;
    wxToolBar* toolBar_ = nullptr;
    PartPropertyGridCtrl* grid_ = nullptr;
    bool modified_ = false;
    std::vector<boost::signals2::scoped_connection> modelConnections_;
};
