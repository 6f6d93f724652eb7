#include "widget/property_grid_ctrl.h"

#include <cmath>
#include <optional>
#include <set>

#include <wx/msgdlg.h>
#include <wx/propgrid/advprops.h>
#include <wx/propgrid/props.h>

#include "widget/item_delegate.h"

namespace widget {

namespace {

// The grid's value of a property as an item value; nothing for a value of no known kind.
std::optional<Variant> FromGridValue(const wxVariant& value) {
    const wxString type = value.GetType();
    if (type == "double") return Variant::FromR8(value.GetDouble());
    // Integers pass through a real, exact below 2^53, so that ChangeType checks the range.
    if (type == "long") return Variant::FromR8(static_cast<double>(value.GetLong()));
    if (type == "longlong") return Variant::FromR8(value.GetLongLong().ToDouble());
    if (type == "ulonglong") return Variant::FromR8(value.GetULongLong().ToDouble());
    if (type == "bool") return Variant::FromBool(value.GetBool());
    if (type == "string") return Variant::FromBstr(value.GetString().ToStdWstring());
    return std::nullopt;
}

// A number of one of the item value kinds, shown and read with a point as the decimal
// separator whatever LC_NUMERIC says (the variant's own conversions). Text that is no
// number of the kind is refused by the grid with its message and never stored; no
// keystroke is filtered, so nothing typed is silently dropped.
template <class Base>
class PlainNumberProperty : public Base {
public:
    template <class Value>
    PlainNumberProperty(const wxString& label, const wxString& name, VarType kind, Value value)
        : Base(label, name, value), kind_(kind) {}

    wxString ValueToString(wxVariant& value, int argFlags = 0) const override {
        const std::optional<Variant> number = FromGridValue(value);
        if (!number || number->Type() != VT_R8) return Base::ValueToString(value, argFlags);
        try {
            return VariantText(kind_ == VT_R8 ? *number : number->ChangeType(kind_));
        } catch (const ComError&) {
            return Base::ValueToString(value, argFlags);
        }
    }

    bool StringToValue(wxVariant& variant, const wxString& text, int argFlags = 0) const override {
        const std::optional<wxVariant> number = Parse(text);
        if (!number) {
            // A part of a composed text is left as it was; the text of the property's own
            // editor goes on as text, which ValidateValue refuses.
            if ((argFlags & wxPG_COMPOSITE_FRAGMENT) != 0 || (argFlags & wxPG_EDITABLE_VALUE) == 0)
                return false;
            variant = text;
            return true;
        }
        if (!variant.IsNull() && variant.GetType() == number->GetType() && variant == *number)
            return false;
        variant = *number;
        return true;
    }

    bool ValidateValue(wxVariant& value, wxPGValidationInfo&) const override {
        return !value.IsNull() && value.GetType() != "string";
    }

    wxValidator* DoGetValidator() const override { return nullptr; }

private:
    std::optional<wxVariant> Parse(const wxString& text) const {
        try {
            const Variant real = Variant::FromBstr(text.ToStdWstring()).ChangeType(VT_R8);
            if (kind_ == VT_R8) return wxVariant(real.R8());
            // A count takes whole numbers only: 2.5 typed as a count is refused, not rounded.
            if (real.R8() != std::nearbyint(real.R8())) return std::nullopt;
            const Variant count = real.ChangeType(kind_);
            if (kind_ == VT_UINT) return wxVariant(static_cast<long>(count.UInt()));
            return wxVariant(static_cast<long>(kind_ == VT_I4 ? count.I4() : count.Int()));
        } catch (const ComError&) {
            return std::nullopt;
        }
    }

    VarType kind_;
};

// A yes-or-no property that shows its own two texts in the cell, in its drop-down list and
// in its parent's composed value instead of the toolkit's fixed English ones, and reads
// them back from a composed value.
class TextBoolProperty : public wxBoolProperty {
public:
    TextBoolProperty(const wxString& label, const wxString& name, bool value,
                     const wxString& falseText, const wxString& trueText)
        : wxBoolProperty(label, name, value), texts_{falseText, trueText} {
        m_choices = wxPGChoices();
        m_choices.Add(falseText, 0);
        m_choices.Add(trueText, 1);
    }

    wxString ValueToString(wxVariant& value, int) const override {
        return texts_[value.GetBool() ? 1 : 0];
    }

    bool StringToValue(wxVariant& variant, const wxString& text, int argFlags) const override {
        for (const bool flag : {false, true}) {
            if (text.CmpNoCase(texts_[flag ? 1 : 0]) != 0) continue;
            if (!variant.IsNull() && variant.GetType() == "bool" && variant.GetBool() == flag)
                return false;
            variant = flag;
            return true;
        }
        return wxBoolProperty::StringToValue(variant, text, argFlags);
    }

private:
    wxString texts_[2];
};

}  // namespace

WPropertyGridCtrl::WPropertyGridCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                     const wxSize& size, long style) {
    Create(parent, id, pos, size, style);
}

WPropertyGridCtrl::~WPropertyGridCtrl() {
    // The base class would commit an open editor while this class is already gone.
    CancelEdit();
    ForgetProperties();
}

bool WPropertyGridCtrl::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                               const wxSize& size, long style) {
    // The splitter follows the middle as the grid is resized, until the user moves it: a grid
    // first laid out narrow would otherwise keep a name column too narrow for its names.
    if (!wxPropertyGrid::Create(parent, id, pos, size,
                                style | wxPG_BOLD_MODIFIED | wxPG_SPLITTER_AUTO_CENTER))
        return false;
    // Text that is no value stays in its editor, marked, with a message; Esc undoes it.
    SetValidationFailureBehavior(wxPG_VFB_STAY_IN_PROPERTY | wxPG_VFB_MARK_CELL |
                                 wxPG_VFB_SHOW_MESSAGE);
    BindEvents();
    return true;
}

void WPropertyGridCtrl::BindEvents() {
    Bind(wxEVT_PG_CHANGED, [this](wxPropertyGridEvent& event) {
        event.Skip();
        if (event.GetProperty() != nullptr && !cancellingEdit_)
            OnPropertyChanged(event.GetProperty());
    });
}

bool WPropertyGridCtrl::FinishEdit() { return CommitChangesFromEditor(); }

void WPropertyGridCtrl::CancelEdit() {
    cancellingEdit_ = true;
    EditorsValueWasNotModified();
    ClearSelection(false);
    cancellingEdit_ = false;
}

void WPropertyGridCtrl::DoShowPropertyError(wxPGProperty*, const wxString& message) {
    if (!message.empty()) wxMessageBox(message, wxEmptyString, wxOK | wxICON_ERROR, this);
}

bool WPropertyGridCtrl::DoOnValidationFailure(wxPGProperty* property, wxVariant& invalidValue) {
    // The message stays in the grid after a refusal; one we gave is given afresh.
    wxPGValidationInfo& info = GetValidationInfo();
    if (info.GetFailureMessage().empty() || info.GetFailureMessage() == invalidValueText_) {
        invalidValueText_ = InvalidValueText();
        info.SetFailureMessage(invalidValueText_);
    }
    return wxPropertyGrid::DoOnValidationFailure(property, invalidValue);
}

wxString WPropertyGridCtrl::InvalidValueText() const { return wxString(); }

WTreeItem* WPropertyGridCtrl::PropertyItem(const wxPGProperty* property) {
    return property != nullptr ? static_cast<WTreeItem*>(property->GetClientData()) : nullptr;
}

// Items outlive the grid's properties: their back pointers must not dangle. Only items
// still in the model the grid was built from are reached; one removed since may be gone.
void WPropertyGridCtrl::ForgetProperties() {
    if (builtModel_ && builtModel_->root) ForgetBelow(*builtModel_->root);
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

// The owner may already have let go of the old model: the grid keeps it until no editor
// and no property points into it, and an open edit is dropped, never written into it.
void WPropertyGridCtrl::Rebuild() {
    CancelEdit();
    ForgetProperties();
    Clear();
    builtModel_ = gridModel;
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
        return new PlainNumberProperty<wxFloatProperty>(label, name, VT_R8, value.R8());
    case VT_I4:
        return new PlainNumberProperty<wxIntProperty>(label, name, VT_I4, long{value.I4()});
    case VT_INT:
        return new PlainNumberProperty<wxIntProperty>(label, name, VT_INT, long{value.Int()});
    case VT_UINT:
        return new PlainNumberProperty<wxUIntProperty>(label, name, VT_UINT,
                                                       static_cast<unsigned long>(value.UInt()));
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
        const std::optional<Variant> shown = FromGridValue(current);
        if (!shown) return false;
        value = shown->ChangeType(type);
        return true;
    } catch (const ComError&) {
        // A value that is no value of the item's type is not written.
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
