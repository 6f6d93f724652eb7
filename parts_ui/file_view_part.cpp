#include "parts_ui/file_view.h"

#include <cstdint>
#include <exception>
#include <optional>
#include <sstream>

#include <wx/propgrid/property.h>

#include "app/output_view.h"
#include "app/program_settings.h"
#include "app/shell_frame.h"
#include "models/bga/bga_detailed_model.h"
#include "models/package_types.h"
#include "models/part_loaders.h"
#include "models/part_rules.h"
#include "models/pdevice/power_device.h"
#include "models/qfp/qfp_detailed_model.h"
#include "parts_ui/bga_property_model.h"
#include "parts_ui/export_job.h"
#include "parts_ui/file_view_model.h"
#include "parts_ui/part_file_operations.h"
#include "parts_ui/power_device_property_model.h"
#include "parts_ui/properties_view.h"
#include "parts_ui/qfp_property_model.h"
#include "platform/atomic_file.h"
#include "platform/file_identity.h"
#include "platform/wide_string.h"
#include "resources/string_ids.h"

namespace r = resources;

namespace {

using Family = pkg::PackageFamily;

// The family of a part file's type name (the older "bga" is a BGA); the QFP family reads
// any other.
Family FamilyOf(const std::string& typeName) {
    const pkg::PackageType* type = pkg::PackageTypeReadAs(typeName);
    return type != nullptr ? type->family : Family::kQFP;
}

// Tried in this order; the first that reads the file makes it the current part.
using PartLoader = bool (ProgramSettings::*)(const std::wstring&);
constexpr PartLoader kLoaders[] = {
    &ProgramSettings::TryOpenBGAPart,   &ProgramSettings::TryOpenQFPPart,
    &ProgramSettings::TryOpenTO220Part, &ProgramSettings::TryOpenTO247Part,
    &ProgramSettings::TryOpenTO263Part, &ProgramSettings::TryOpenTO252Part,
    &ProgramSettings::TryOpenSOT89Part, &ProgramSettings::TryOpenSOT223Part};

parts_ui::PropertyModel BuildPropertyModel(const pkg::SemiconductorPackage& package,
                                           const std::string& typeName) {
    switch (FamilyOf(typeName)) {
        case Family::kBGA:
            return parts_ui::BuildBGAPropertyTree(
                dynamic_cast<const pkg::bga::BGADetailedModel&>(package));
        case Family::kPowerDevice:
            return parts_ui::BuildPowerDevicePropertyTree(
                dynamic_cast<const pkg::pdevice::PowerDevice&>(package));
        case Family::kQFP:
            break;
    }
    return parts_ui::BuildQFPPropertyTree(dynamic_cast<const pkg::qfp::QFP&>(package));
}

// Reads the grid's values for `package` and pushes them into it; with `validate`, values
// that fail the family's checks (which say why) push nothing and give false. A value
// that does not convert throws before anything is pushed.
bool PushGridValues(const std::shared_ptr<pkg::SemiconductorPackage>& package,
                    const std::string& typeName, const parts_ui::PropertyItemIndex& index,
                    bool validate) {
    switch (FamilyOf(typeName)) {
        case Family::kBGA: {
            const auto record = parts_ui::ApplyBGAProperties(index, typeName);
            if (validate && !parts_ui::ValidateBGAParameters(record)) return false;
            parts_ui::PushBGAParameters(
                record, std::dynamic_pointer_cast<pkg::bga::BGADetailedModel>(package));
            return true;
        }
        case Family::kPowerDevice: {
            const auto record = parts_ui::ApplyPowerDeviceProperties(index, typeName);
            if (validate && !parts_ui::ValidatePowerDeviceParameters(record, index, typeName))
                return false;
            parts_ui::PushPowerDeviceParameters(
                record, std::dynamic_pointer_cast<pkg::pdevice::PowerDevice>(package));
            return true;
        }
        case Family::kQFP:
            break;
    }
    const auto record = parts_ui::ApplyQFPProperties(index);
    if (validate && !parts_ui::ValidateQFPParameters(record, typeName)) return false;
    parts_ui::PushQFPParameters(record,
                                std::dynamic_pointer_cast<pkg::qfp::QFPDetailedModel>(package));
    return true;
}

}  // namespace

bool parts_ui::ValidatePartParameters(const pkg::SemiconductorPackage& package,
                                      std::wstring& message) {
    const std::string typeName = package.TypeName();
    const PropertyModel model = BuildPropertyModel(package, typeName);
    PropertyErrorCapture capture(message);
    // Without a package to push into, only the family's checks run.
    return PushGridValues(nullptr, typeName, model.index, true);
}

namespace {

// The root of the model's group tree, sharing the model's ownership so the preview never
// draws a freed tree.
std::shared_ptr<const pkg::Group> RootOf(const std::shared_ptr<pkg::DetailedModel>& model) {
    return std::shared_ptr<const pkg::Group>(model, &model->root);
}

void SetItemEnabled(const parts_ui::PropertyItemIndex& index, const std::wstring& key,
                    bool enabled) {
    const auto found = index.find(key);
    if (found == index.end()) return;
    widget::WTreeItem& item = *found->second;
    item.enabled = enabled;
    if (item.property != nullptr) item.property->Enable(enabled);
}

// With n wiring layers, the wiring-layer items 0 to n - 1 and the board-layer items
// between them, 0 to n - 2, are enabled; the rest are disabled.
void UpdateWiringLayers(const parts_ui::PropertyItemIndex& index) {
    const auto count = index.find(
        parts_ui::PropertyKey(r::IDS_PROP_BOARD, r::IDS_PROP_NUMBER_OF_WIRING_LAYERS));
    if (count == index.end()) return;
    int layers = 0;
    try {
        layers = parts_ui::VariantAsInt(count->second->Data());
    } catch (const widget::ComError&) {
        // A count that is no number leaves the items as they are until it is one.
        return;
    }
    const std::wstring wiring = r::LoadText(r::IDS_PROP_WIRING_LAYER_THICKNESS);
    const std::wstring copper = r::LoadText(r::IDS_PROP_COPPER_COVERAGE);
    const std::wstring board = r::LoadText(r::IDS_PROP_BOARD_LAYER_THICKNESS);
    for (int i = 0; i < 8; ++i) {
        const std::wstring layer = std::to_wstring(i);
        SetItemEnabled(index, wiring + layer, i + 1 <= layers);
        SetItemEnabled(index, copper + layer, i + 1 <= layers);
        if (i < 7) SetItemEnabled(index, board + layer, i + 2 <= layers);
    }
}

// The file's own text, cut short and without control characters, so it stays one line.
std::wstring ShownFileText(const std::string& text) {
    constexpr std::size_t kShownLength = 40;
    std::wstring shown = platform::Utf8ToWide(text.substr(0, kShownLength * 4));
    if (shown.size() > kShownLength) shown = shown.substr(0, kShownLength) + L"\u2026";
    for (wchar_t& c : shown) {
        if (static_cast<std::uint32_t>(c) < 0x20 || c == 0x7F) c = L'\uFFFD';
    }
    return shown;
}

// No loader read the part file: the line names what its own type's reader refused.
void LogOpenFailure(const std::wstring& path) {
    using Kind = pkg::PartFileRefusal::Kind;
    const pkg::PartFileRefusal refusal = pkg::ExplainPartFileRefusal(path);
    const auto with = [&refusal](std::uint32_t id, const std::wstring& value) {
        return r::FormatString1(r::LoadText(id), value);
    };
    const std::wstring detail = platform::Utf8ToWide(refusal.detail);
    std::wstring why;
    switch (refusal.kind) {
        case Kind::kNotRead:
            why = with(r::IDS_OPEN_NOT_READ, detail);
            break;
        case Kind::kTooLarge:
            why = r::LoadText(r::IDS_OPEN_TOO_LARGE);
            break;
        case Kind::kNestedTooDeep:
            why = r::LoadText(r::IDS_OPEN_NESTED_TOO_DEEP);
            break;
        case Kind::kNotXml:
            why = with(r::IDS_OPEN_NOT_XML, detail);
            break;
        case Kind::kNotPartFile:
            why = r::LoadText(r::IDS_OPEN_NOT_PART_FILE);
            break;
        case Kind::kMissingElement:
            why = with(r::IDS_OPEN_ELEMENT_MISSING, detail);
            break;
        case Kind::kNotNumber:
            why = with(r::IDS_OPEN_NOT_A_NUMBER, detail);
            break;
        case Kind::kNotInteger:
            why = with(r::IDS_OPEN_NOT_AN_INTEGER, detail);
            break;
        case Kind::kNotBoolean:
            why = with(r::IDS_OPEN_NOT_A_BOOLEAN, detail);
            break;
        case Kind::kOtherType:
        case Kind::kUnknownType:
            why = with(r::IDS_OPEN_UNKNOWN_PART_TYPE, ShownFileText(refusal.detail));
            break;
        case Kind::kNone:
            break;
    }
    if (why.empty()) {
        LogToOutput("failed to open: %s", path);
    } else {
        LogToOutput("failed to open: %s: %s", path, why);
    }
}

}  // namespace

void FileView::OpenPart(const std::shared_ptr<widget::WTreeItem>& item) {
    ShellFrame* frame = ShellFrame::Current();
    if (frame == nullptr || !frame->HasPreview() || !item) return;
    std::wstring path;
    try {
        path = item->Data().ChangeType(widget::VT_BSTR).Bstr();
    } catch (const widget::ComError&) {
        return;
    }
    if (!IsPartFileName(path)) return;

    const auto previousPackage = settings_.CurrentPackage;
    const auto previousModel = settings_.CurrentModel;
    const std::wstring previousPath = settings_.CurrentPartPath;
    // The part that stays open stays the last opened one too, so that a click on it
    // neither asks nor reads it again.
    const auto keepPreviousPart = [this] {
        lastOpened_ = model_ && !settings_.CurrentPartPath.empty()
                          ? model_->FindItemByPath(settings_.CurrentPartPath)
                          : nullptr;
    };
    std::string typeName;
    parts_ui::PropertyModel properties;
    // Readers, builds and the property tree may throw (a malformed file, a value that does
    // not convert, no memory); none of that may leave the handler that asked to open.
    try {
        bool loaded = false;
        for (PartLoader load : kLoaders) {
            if ((settings_.*load)(path)) {
                loaded = true;
                break;
            }
        }
        if (!loaded) {
            LogOpenFailure(path);
            keepPreviousPart();
            return;
        }
        LogToOutput("read from %s", path);
        // A part the model cannot be built from still opens, so its values can be put
        // right in the grid; the pane says why the preview stays empty. A broken rule is
        // not built at all: a count in the millions would only end in a refusal.
        const pkg::RuleViolation broken = pkg::CheckPackageRules(*settings_.CurrentPackage);
        if (broken) {
            LogToOutput("%s", r::FormatString1(r::LoadText(r::IDS_OPEN_MODEL_NOT_BUILT),
                                               parts_ui::RuleText(broken)));
        } else if (settings_.CurrentModel->Build() != 0) {
            LogToOutput("%s", r::LoadText(r::IDS_RUN_BUILD_FAILED));
        }
        // The type the part reads as names its panes: the older "bga" shows as a PBGA.
        typeName = settings_.CurrentPackage->TypeName();
        if (const pkg::PackageType* readAs = pkg::PackageTypeReadAs(typeName)) {
            typeName = readAs->type_name;
        }
        properties = BuildPropertyModel(*settings_.CurrentPackage, typeName);
    } catch (const std::exception& error) {
        settings_.CurrentPackage = previousPackage;
        settings_.CurrentModel = previousModel;
        settings_.CurrentPartPath = previousPath;
        LogToOutput("failed to open: %s", path);
        LogToOutput("%s", wxString::FromUTF8(error.what()));
        keepPreviousPart();
        return;
    }

    if (!connected_) frame->BuildComponentsTree();
    frame->SetPreviewModel(RootOf(settings_.CurrentModel));
    currentTypeName_ = typeName;
    currentItemIndex_ = properties.index;
    wiringConnection_.disconnect();
    if (FamilyOf(typeName) == Family::kBGA) {
        wiringConnection_ = properties.model->dataChanged.connect(
            [this](widget::WTreeItem*) { UpdateWiringLayers(currentItemIndex_); });
        UpdateWiringLayers(currentItemIndex_);
    }
    PropertiesView* pane = operations_.Properties;
    if (pane != nullptr) pane->SetModel(properties.model);
    frame->ComponentKeysForType(typeName);
    frame->BuildComponentsTree();
    operations_.ShowHelpImagesForType(typeName);
    if (!connected_ && pane != nullptr) {
        connections_.emplace_back(pane->Changed.connect([this] { ApplyPropertyChanges(); }));
        connections_.emplace_back(pane->SaveRequested.connect([this] { return SavePart(); }));
        connected_ = true;
    }
    // Also when opened by a reload rather than a click on the tree.
    lastOpened_ = item;
}

void FileView::ApplyPropertyChanges() {
    const std::shared_ptr<pkg::SemiconductorPackage> package = settings_.CurrentPackage;
    const std::shared_ptr<pkg::DetailedModel> model = settings_.CurrentModel;
    if (!package || !model) return;
    try {
        if (!PushGridValues(package, package->TypeName(), currentItemIndex_, true)) return;
        model->Build();
    } catch (const std::exception& error) {
        LogToOutput("failed to apply the properties: %s", wxString::FromUTF8(error.what()));
        return;
    }
    if (ShellFrame* frame = ShellFrame::Current()) frame->SetPreviewModel(RootOf(model));
}

bool FileView::SavePart() {
    const std::shared_ptr<pkg::SemiconductorPackage> package = settings_.CurrentPackage;
    const std::shared_ptr<pkg::DetailedModel> model = settings_.CurrentModel;
    const std::wstring path = settings_.CurrentPartPath;
    if (!package || !model || path.empty()) return false;
    // What another window or program saved there since is never written over unasked.
    switch (operations_.CheckChangedOnDisk()) {
        case PartFileChoice::Cancelled:
            LogToOutput("not saved %s", path);
            return false;
        case PartFileChoice::Reloaded:
            return true;
        case PartFileChoice::Unchanged:
        case PartFileChoice::Overwrite:
            break;
    }
    bool saved = false;
    platform::FileIdentity written;
    try {
        PushGridValues(package, package->TypeName(), currentItemIndex_, false);
        model->Build();
        // The whole part is written before the file is touched, then replaces it at once.
        std::ostringstream out;
        std::string reason;
        saved = package->WritePartFile(out) &&
                platform::WriteFileAtomically(platform::PathFromWide(path), out.str(), &reason,
                                              &written);
        if (!reason.empty()) {
            LogToOutput("cannot write %s: %s", path, wxString::FromUTF8(reason));
        }
    } catch (const std::exception& error) {
        LogToOutput("%s", wxString::FromUTF8(error.what()));
        saved = false;
    }
    if (saved) {
        settings_.CurrentPartFile = written;
        LogToOutput("saved to %s", path);
    } else {
        LogToOutput("failed to save %s", path);
    }
    return saved;
}
