#include "widget/property_grid_ctrl.h"

#include <set>

#include <wx/propgrid/advprops.h>
#include <wx/propgrid/props.h>

#include "widget/item_delegate.h"

namespace widget {

namespace {

// A yes-or-no property that shows its own two texts in the cell and in its drop-down list
// instead of the toolkit's fixed English ones.
class TextBoolProperty : public wxBoolProperty {
public:
    TextBoolProperty(const wxString& label, const wxString& name, bool value,
                     const wxString& falseText, const wxString& trueText)
        : wxBoolProperty(label, name, value), texts_{falseText, trueText} {
        m_choices = wxPGChoices();
        m_choices.Add(falseText, 0);
        m_choices.Add(trueText, 1);
    }

    wxString ValueToString(wxVariant& value, int argFlags) const override {
        if ((argFlags & (wxPG_FULL_VALUE | wxPG_COMPOSITE_FRAGMENT)) != 0)
            return wxBoolProperty::ValueToString(value, argFlags);
        return texts_[value.GetBool() ? 1 : 0];
    }

private:
    wxString texts_[2];
};

}  // namespace

WPropertyGridCtrl::WPropertyGridCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                     const wxSize& size, long style) {
    Create(parent, id, pos, size, style);
}

WPropertyGridCtrl::~WPropertyGridCtrl() { ForgetProperties(); }

bool WPropertyGridCtrl::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                               const wxSize& size, long style) {
    if (!wxPropertyGrid::Create(parent, id, pos, size, style | wxPG_BOLD_MODIFIED)) return false;
    BindEvents();
    return true;
}

void WPropertyGridCtrl::BindEvents() {
    Bind(wxEVT_PG_CHANGED, [this](wxPropertyGridEvent& event) {
        event.Skip();
        if (event.GetProperty() != nullptr) OnPropertyChanged(event.GetProperty());
    });
}

WTreeItem* WPropertyGridCtrl::PropertyItem(const wxPGProperty* property) {
    return property != nullptr ? static_cast<WTreeItem*>(property->GetClientData()) : nullptr;
}

// Items outlive the grid's properties: their back pointers must not dangle. Only items
// still in the model are reached; one removed since the build may be gone.
void WPropertyGridCtrl::ForgetProperties() {
    if (gridModel && gridModel->root) ForgetBelow(*gridModel->root);
    originalValues_.clear();
}

void WPropertyGridCtrl::ForgetBelow(WTreeItem& item) {
    if (item.property != nullptr && originalValues_.count(item.property) != 0) {
        item.property = nullptr;
    }
    for (const auto& row : item.rows) {
        if (!row.empty() && row[0]) ForgetBelow(*row[0]);
    }
}

void WPropertyGridCtrl::Rebuild() {
    ForgetProperties();
    Clear();
    if (!gridModel || !gridModel->root) return;
    for (const auto& row : gridModel->root->rows) {
        if (row.empty() || !row[0]) continue;
        const auto& item = row[0];
        auto* category = new wxPropertyCategory(wxString(item->text),
                                                wxString::Format("p%d", nextName_++));
        category->SetClientData(item.get());
        item->property = category;
        Append(category);
        originalValues_[category] = category->GetValue();
        AddChildProperties(category, item);
    }
}

wxString WPropertyGridCtrl::BoolText(bool value) const { return value ? "True" : "False"; }

wxPGProperty* WPropertyGridCtrl::MakeProperty(const std::shared_ptr<WTreeItem>& item) {
    const wxString label(item->text);
    const wxString name = wxString::Format("p%d", nextName_++);
    const Variant& value = item->value;
    if (value.IsEmpty()) {
        // A parent whose value lists its sub-properties' values.
        return new wxStringProperty(label, name, "<composed>");
    }
    if (item->hasOptions) {
        wxPGChoices choices;
        std::set<std::wstring> seen;
        for (const auto& option : item->options) {
            if (seen.insert(option).second) choices.Add(wxString(option));
        }
        // A value outside the options is one more choice, so that it shows.
        const wxString current = VariantText(value);
        int selected = choices.Index(current);
        if (selected == wxNOT_FOUND) {
            choices.Add(current);
            selected = static_cast<int>(choices.GetCount()) - 1;
        }
        // Its editor is a read-only choice: no typing.
        return new wxEnumProperty(label, name, choices, selected);
    }
    switch (value.Type()) {
    case VT_R8:
        return new wxFloatProperty(label, name, value.R8());
    case VT_I4:
        return new wxIntProperty(label, name, value.I4());
    case VT_INT:
        return new wxIntProperty(label, name, value.Int());
    case VT_UINT:
        return new wxUIntProperty(label, name, value.UInt());
    case VT_BOOL:
        return new TextBoolProperty(label, name, value.BoolValue() != VARIANT_FALSE,
                                    BoolText(false), BoolText(true));
    default:
        return new wxStringProperty(label, name, VariantText(value));
    }
}

void WPropertyGridCtrl::AddChildProperties(wxPGProperty* parent,
                                           const std::shared_ptr<WTreeItem>& item) {
    if (parent == nullptr || !item) return;
    for (const auto& row : item->rows) {
        if (row.empty() || !row[0]) continue;
        const auto& child = row[0];
        wxPGProperty* property = MakeProperty(child);
        property->SetClientData(child.get());
        AppendIn(parent, property);
        if (!child->enabled) EnableProperty(property, false);
        child->property = property;
        originalValues_[property] = property->GetValue();
        AddChildProperties(property, child);
    }
}

bool WPropertyGridCtrl::ItemValue(const wxPGProperty* property, const wxVariant& current,
                                  const WTreeItem& item, Variant& value) const {
    if (current.IsNull()) return false;
    const VarType type = item.value.Type();
    if (type == VT_EMPTY || property->IsCategory()) return false;
    try {
        if (item.hasOptions) {
            wxVariant copy = current;
            const wxString text = property->ValueToString(copy);
            value = Variant::FromBstr(text.ToStdWstring()).ChangeType(type);
            return true;
        }
        switch (type) {
        case VT_R8:
            value = Variant::FromR8(current.GetDouble());
            return true;
        case VT_I4:
            value = Variant::FromI4(static_cast<std::int32_t>(current.GetLong()));
            return true;
        case VT_INT:
            value = Variant::FromInt(static_cast<std::int32_t>(current.GetLong()));
            return true;
        case VT_UINT:
            if (current.GetType() == "ulonglong") {
                value = Variant::FromUInt(static_cast<std::uint32_t>(current.GetULongLong().GetValue()));
            } else {
                value = Variant::FromUInt(static_cast<std::uint32_t>(current.GetLong()));
            }
            return true;
        case VT_BOOL:
            value = Variant::FromBool(current.GetBool());
            return true;
        default:
            value = Variant::FromBstr(current.GetString().ToStdWstring());
            return true;
        }
    } catch (const ComError&) {
        // A choice that is no value of the item's type is not written.
        return false;
    }
}

void WPropertyGridCtrl::WriteToItem(wxPGProperty* property) {
    WTreeItem* item = PropertyItem(property);
    if (item == nullptr) return;
    Variant value;
    if (ItemValue(property, property->GetValue(), *item, value)) item->SetData(value);
}

void WPropertyGridCtrl::OnPropertyChanged(wxPGProperty* property) {
    WriteToItem(property);
    for (unsigned i = 0; i < property->GetChildCount(); ++i) WriteToItem(property->Item(i));
}

bool WPropertyGridCtrl::IsModified() const {
    for (const auto& entry : originalValues_) {
        if (entry.first->HasFlag(wxPG_PROP_MODIFIED)) return true;
    }
    return false;
}

void WPropertyGridCtrl::RestoreModifiedProperty(wxPGProperty* property) {
    if (property == nullptr) return;
    const auto original = originalValues_.find(property);
    WTreeItem* item = PropertyItem(property);
    if (property->HasFlag(wxPG_PROP_MODIFIED) && original != originalValues_.end() && item) {
        Variant value;
        if (ItemValue(property, original->second, *item, value)) item->SetData(value);
    }
    for (unsigned i = 0; i < property->GetChildCount(); ++i) RestoreModifiedProperty(property->Item(i));
}

void WPropertyGridCtrl::CommitModifiedProperty(wxPGProperty* property) {
    if (property == nullptr) return;
    if (property->HasFlag(wxPG_PROP_MODIFIED)) originalValues_[property] = property->GetValue();
    for (unsigned i = 0; i < property->GetChildCount(); ++i) CommitModifiedProperty(property->Item(i));
}

void WPropertyGridCtrl::ResetOriginalValues() {
    // Only the leaves: a composed parent's value follows its sub-properties.
    for (const auto& entry : originalValues_) {
        auto* property = const_cast<wxPGProperty*>(entry.first);
        if (!property->IsCategory() && property->GetChildCount() == 0) {
            property->SetValue(entry.second);
        }
    }
    ClearModifiedStatus();
    Refresh();
}

}  // namespace widget
