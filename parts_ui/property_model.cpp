#include "parts_ui/property_model.h"

#include <wx/msgdlg.h>

#include "app/message_box.h"
#include "resources/string_ids.h"
#include "resources/string_table.h"

namespace parts_ui {

using widget::Variant;

std::wstring PropertyKey(std::uint32_t groupId, std::uint32_t itemId) {
    return LoadText(groupId) + LoadText(itemId);
}

std::shared_ptr<widget::WTreeItem> MakePropertyGroup(std::uint32_t id) {
    return std::make_shared<widget::WTreeItem>(LoadText(id));
}

std::shared_ptr<widget::WTreeItem> MakePropertyValue(std::uint32_t nameId,
                                                     const std::wstring& text) {
    auto item = std::make_shared<widget::WTreeItem>(LoadText(nameId));
    item->SetData(Variant::FromBstr(text));
    return item;
}

void AddPropertyChild(PropertyItemIndex& index, const std::shared_ptr<widget::WTreeItem>& parent,
                      const std::wstring& key, const std::wstring& name, const Variant& value) {
    auto item = std::make_shared<widget::WTreeItem>(name);
    item->SetData(value);
    index[key] = item;
    parent->AppendRow(index[key]);
}

void GetDoubleByKey(const PropertyItemIndex& index, const std::wstring& key, double& target) {
    const auto found = index.find(key);
    if (found != index.end()) target = VariantAsDouble(found->second->Data());
}

double VariantAsDouble(const Variant& v) {
    return v.Type() == widget::VT_R8 ? v.R8() : v.ChangeType(widget::VT_R8).R8();
}

std::int32_t VariantAsInt(const Variant& v) {
    return v.Type() == widget::VT_INT ? v.Int() : v.ChangeType(widget::VT_INT).Int();
}

bool VariantAsBool(const Variant& v) {
    if (v.Type() == widget::VT_BOOL) return v.BoolValue() != widget::VARIANT_FALSE;
    return v.ChangeType(widget::VT_BOOL).BoolValue() == widget::VARIANT_TRUE;
}

Variant MakeDoubleVariant(double d) { return Variant::FromR8(d); }

Variant MakeIntVariant(std::int32_t n) { return Variant::FromI4(n); }

Variant MakeBoolVariant(bool b) { return Variant::FromBool(b); }

namespace {

thread_local std::wstring* capturedError = nullptr;

}  // namespace

PropertyErrorCapture::PropertyErrorCapture(std::wstring& sink) : previous_(capturedError) {
    sink.clear();
    capturedError = &sink;
}

PropertyErrorCapture::~PropertyErrorCapture() { capturedError = previous_; }

void ShowPropertyError(const std::wstring& text) {
    if (capturedError != nullptr) {
        if (capturedError->empty()) *capturedError = text;
        return;
    }
    ShowMessageBox(wxString(text), wxString(LoadText(resources::IDS_APP_TITLE)),
                   wxOK | wxICON_ERROR);
}

namespace {

bool CheckPositiveNamed(double value, const std::wstring& name) {
    if (value > 0.0) return true;
    ShowPropertyError(
        resources::FormatString1(LoadText(resources::IDS_SPECIFY_GREATER_THAN_ZERO), name));
    return false;
}

}  // namespace

std::wstring RuleText(const pkg::RuleViolation& v) {
    if (!v) return std::wstring();
    std::wstring name = v.name != 0 ? LoadText(v.name) : v.literal;
    if (v.layer >= 0) name += L" " + std::to_wstring(v.layer + 1) + LoadText(resources::IDS_PROP_LAYER);
    return resources::FormatString1(LoadText(v.message), name);
}

bool CheckRules(const pkg::RuleViolation& violation) {
    if (!violation) return true;
    ShowPropertyError(RuleText(violation));
    return false;
}

bool CheckPositiveValue(double value, std::uint32_t nameId) {
    return CheckPositiveNamed(value, LoadText(nameId));
}

bool CheckPositiveByKey(const PropertyItemIndex& index, const std::wstring& key, double value) {
    if (index.find(key) == index.end()) return true;
    return CheckPositiveNamed(value, key);
}

}  // namespace parts_ui
