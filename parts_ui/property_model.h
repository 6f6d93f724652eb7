#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "models/part_rules.h"
#include "resources/string_table.h"
#include "widget/tree_item.h"
#include "widget/variant.h"

namespace parts_ui {

// Value items of a property model by key: the text of their group followed by their own
// text. Keys compare by UTF-16 code unit, as wcscmp would.
using PropertyItemIndex = std::map<std::wstring, std::shared_ptr<widget::WTreeItem>>;

// The items that the properties pane shows for one part, and the index through which the
// family's apply step reads them back.
struct PropertyModel {
    std::shared_ptr<widget::WTreeItemModel> model;
    PropertyItemIndex index;
};

using resources::LoadText;
// The key of an item: the text of `groupId` followed directly by the text of `itemId`.
std::wstring PropertyKey(std::uint32_t groupId, std::uint32_t itemId);

std::shared_ptr<widget::WTreeItem> MakePropertyGroup(std::uint32_t id);
// An item named by `nameId` whose value is `text` as a text value.
std::shared_ptr<widget::WTreeItem> MakePropertyValue(std::uint32_t nameId,
                                                     const std::wstring& text);
// Makes an item `name` holding `value`, stores it in `index` under `key` (replacing what
// was there) and appends the stored item to `parent`.
void AddPropertyChild(PropertyItemIndex& index, const std::shared_ptr<widget::WTreeItem>& parent,
                      const std::wstring& key, const std::wstring& name,
                      const widget::Variant& value);
// Reads the item under `key` as a real into `target`; a missing key leaves it unchanged.
void GetDoubleByKey(const PropertyItemIndex& index, const std::wstring& key, double& target);

// Conversions of item values; a refused conversion throws widget::ComError, which these
// operations do not catch.
double VariantAsDouble(const widget::Variant& v);
std::int32_t VariantAsInt(const widget::Variant& v);
bool VariantAsBool(const widget::Variant& v);
widget::Variant MakeDoubleVariant(double d);
widget::Variant MakeIntVariant(std::int32_t n);
widget::Variant MakeBoolVariant(bool b);

// True when `value` > 0; otherwise shows "Specify %1 greater than 0." naming the text of
// `nameId` and returns false.
bool CheckPositiveValue(double value, std::uint32_t nameId);
// True when `key` is not in `index`; otherwise as CheckPositiveValue, naming the key.
bool CheckPositiveByKey(const PropertyItemIndex& index, const std::wstring& key, double value);
// The text of a broken rule (or of a failed export run) in the thread's language; empty
// for an empty violation.
std::wstring RuleText(const pkg::RuleViolation& violation);
// True when `violation` is empty; otherwise shows its text as ShowPropertyError does.
bool CheckRules(const pkg::RuleViolation& violation);
// Shows `text` in a message box with the error icon and an OK button; while a
// PropertyErrorCapture lives on the calling thread, the text goes to it instead.
void ShowPropertyError(const std::wstring& text);

// Takes the checks' messages of this thread while it lives (a worker shows no message
// box): the first one is kept in `sink`.
class PropertyErrorCapture {
  public:
    explicit PropertyErrorCapture(std::wstring& sink);
    ~PropertyErrorCapture();
    PropertyErrorCapture(const PropertyErrorCapture&) = delete;
    PropertyErrorCapture& operator=(const PropertyErrorCapture&) = delete;

  private:
    std::wstring* previous_;
};

}  // namespace parts_ui
