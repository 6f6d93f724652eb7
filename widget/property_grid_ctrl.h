#pragma once

#include <map>
#include <memory>

#include <wx/propgrid/propgrid.h>

#include "widget/tree_item.h"

namespace widget {

// A property grid of an item model: one category per top-level item, one property per
// descendant, each linked both ways with its item. A value the user changes is written
// back into its item, keeping the item's value type. The grid keeps each property's
// reference value (the one it was built with, or the last committed one) for Reset.
class WPropertyGridCtrl : public wxPropertyGrid {
public:
    WPropertyGridCtrl() = default;
    // Modified values are drawn bold and the splitter keeps to the middle until the user
    // moves it (wxPG_BOLD_MODIFIED and wxPG_SPLITTER_AUTO_CENTER are added to `style`).
    WPropertyGridCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                      const wxSize& size = wxDefaultSize, long style = wxPG_DEFAULT_STYLE);
    ~WPropertyGridCtrl() override;

    bool Create(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = wxPG_DEFAULT_STYLE);

    void Rebuild();
    void AddChildProperties(wxPGProperty* parent, const std::shared_ptr<WTreeItem>& item);
    // Writes a changed property's value, then its direct sub-properties' values, into
    // their items.
    virtual void OnPropertyChanged(wxPGProperty* property);

    // Ends an open edit: its text becomes the property's value and goes into the item.
    // False when the text is no value of the property: the grid has said so and the
    // editor stays open with it.
    bool FinishEdit();
    // Closes an open editor and forgets its text; nothing is written.
    void CancelEdit();

    // Whether the user changed any value since the build or the last commit.
    bool IsModified() const;
    // For a modified property, writes its reference value into its item; then the same
    // for its sub-properties, recursively.
    void RestoreModifiedProperty(wxPGProperty* property);
    // A modified property takes its current value as its reference value; then the same
    // for its sub-properties, recursively.
    void CommitModifiedProperty(wxPGProperty* property);
    // Every property shows its reference value again and loses its modified mark.
    void ResetOriginalValues();

    // The item a property shows; null for a property the grid did not build.
    static WTreeItem* PropertyItem(const wxPGProperty* property);

    // Shows why typed text was refused.
    void DoShowPropertyError(wxPGProperty* property, const wxString& message) override;
    // A refusal without a reason of its own gives InvalidValueText() as its message.
    bool DoOnValidationFailure(wxPGProperty* property, wxVariant& invalidValue) override;

    std::shared_ptr<WTreeItemModel> gridModel;

protected:
    // The text a yes-or-no property shows for `value`; "True" and "False" here.
    virtual wxString BoolText(bool value) const;
    // The message for typed text that is no value of its property; empty keeps the
    // toolkit's own English one.
    virtual wxString InvalidValueText() const;

private:
    void BindEvents();
    wxPGProperty* MakeProperty(const std::shared_ptr<WTreeItem>& item);
    // A value of the property as the item's value type; false when it has none.
    bool ItemValue(const wxPGProperty* property, const wxVariant& current, const WTreeItem& item,
                   Variant& value) const;
    void WriteToItem(wxPGProperty* property);
    void ForgetProperties();
    void ForgetBelow(WTreeItem& item);

    std::map<const wxPGProperty*, wxVariant> originalValues_;
    // The model the properties were built from and point into; kept until they are gone.
    std::shared_ptr<WTreeItemModel> builtModel_;
    wxString invalidValueText_;  // the refusal's message as last given
    bool cancellingEdit_ = false;
    int nextName_ = 0;
};

}  // namespace widget
