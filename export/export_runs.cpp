#include "export/export_runs.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "export/compact_computation.h"
#include "export/compact_export.h"
#include "export/exporter/cab_exporter.h"
#include "export/reg_link_manager/registance_link_manager.h"
#include "export/surf_register/create_surface_register.h"
#include "models/model_check.h"
#include "models/package_types.h"
#include "models/part_loaders.h"
#include "models/part_rules.h"
#include "platform/wide_string.h"
#include "resources/string_ids.h"

namespace pkg {

namespace {

// A loaded part seen both as its package parameters and as its model; both share the one
// object's ownership.
struct LoadedPart {
    std::shared_ptr<SemiconductorPackage> package;
    std::shared_ptr<DetailedModel> model;

    explicit operator bool() const { return package && model; }
};

template <class Model>
LoadedPart AsLoadedPart(const std::shared_ptr<Model>& loaded) {
    if (!loaded) return {};
    return {loaded, loaded};
}

bool IsBallGridArray(const std::wstring& type) {
    return IsPackageFamily(type, PackageFamily::kBGA);
}

bool IsPowerDevice(const std::wstring& type) {
    return IsPackageFamily(type, PackageFamily::kPowerDevice);
}

LoadedPart LoadDetailed(const std::wstring& type, const std::wstring& path) {
    if (type.empty()) return {};
    // A folder that names no type holds parts read as QFPs.
    const PackageType* known = FindPackageType(type);
    if (known == nullptr) return AsLoadedPart(LoadQFPDetailedModel(path));
    LoadedDetail loaded = known->load_detailed(path);
    return {std::move(loaded.package), std::move(loaded.model)};
}

LoadedPart LoadSimplified(const std::wstring& type, const std::wstring& path) {
    if (type.empty() || IsPowerDevice(type)) return {};
    if (IsBallGridArray(type)) return AsLoadedPart(LoadBGASimplifiedModel(path));
    return AsLoadedPart(LoadQFPSimplifiedModel(path));
}

// The chip's heat generation in W, which the exported model carries as its heat source.
double ChipHeat(const SemiconductorPackage& package) {
    if (const auto* bga = dynamic_cast<const bga::BGA*>(&package)) return bga->chip.rate_of_heating;
    if (const auto* qfp = dynamic_cast<const qfp::QFP*>(&package)) return qfp->chip.rate_of_heating;
    if (const auto* device = dynamic_cast<const pdevice::PowerDevice*>(&package)) {
        return device->chip.rate_of_heating;
    }
    return 0.0;
}

// A loaded part that holds to every rule, or false with the reason reported.
bool LoadedAndValid(const LoadedPart& part) {
    if (!part) {
        ReportRunFailure(resources::IDS_RUN_PART_UNREADABLE);
        return false;
    }
    const RuleViolation broken = CheckPackageRules(*part.package);
    if (!broken) return true;
    ReportRunFailure(broken);
    return false;
}

// Builds the model and checks what was built, before anything is written from it.
bool Built(const LoadedPart& part) {
    if (part.model->Build() != 0) {
        ReportRunFailure(resources::IDS_RUN_BUILD_FAILED);
        return false;
    }
    const RuleViolation fault = CheckBuiltModel(*part.model);
    if (!fault) return true;
    ReportRunFailure(fault);
    return false;
}

bool SettingsValid(const ExportRunSettings& settings) {
    const RunFailure broken = CheckExportRunSettings(settings);
    if (!broken) return true;
    ReportRunFailure(broken);
    return false;
}

bool BuildAndWrite(const std::wstring& type, const LoadedPart& part,
                   const std::wstring& cabinet_path) {
    if (!LoadedAndValid(part)) return false;
    const double heat = ChipHeat(*part.package);
    if (!Built(part)) return false;
    if (exporter::CabExporter::write(type, part.model->root, part.model->properties, heat,
                                     cabinet_path)) {
        return true;
    }
    ReportRunFailure(resources::IDS_RUN_CABINET_NOT_WRITTEN, cabinet_path);
    return false;
}

CompactModelRequest MakeRequest(const ExportRunSettings& settings) {
    CompactModelRequest request;
    request.standard_length_factor_x = settings.standard_length[0];
    request.standard_length_factor_y = settings.standard_length[1];
    request.standard_length_factor_z = settings.standard_length[2];
    request.threshold_factor_x = settings.threshold[0];
    request.threshold_factor_y = settings.threshold[1];
    request.threshold_factor_z = settings.threshold[2];
    request.fluid_thermal_conductivity = settings.fluid_thermal_conductivity;
    request.list_file_output = settings.list_file_output;
    request.values.fill(0.0);
    return request;
}

}  // namespace

bool IsValidMeshOrFluidValue(double value) { return std::isfinite(value) && value > 0.0; }

RunFailure CheckExportRunSettings(const ExportRunSettings& settings) {
    RunFailure broken;
    broken.message = resources::IDS_SPECIFY_GREATER_THAN_ZERO;
    if (!IsValidMeshOrFluidValue(settings.fluid_thermal_conductivity)) {
        broken.name = resources::IDS_NAME_FLUID_CONDUCTIVITY;
        return broken;
    }
    for (int axis = 0; axis < 3; ++axis) {
        if (!IsValidMeshOrFluidValue(settings.standard_length[axis])) {
            broken.name = resources::IDS_NAME_STANDARD_LENGTH_X + axis;
            return broken;
        }
    }
    for (int axis = 0; axis < 3; ++axis) {
        if (!IsValidMeshOrFluidValue(settings.threshold[axis])) {
            broken.name = resources::IDS_NAME_THRESHOLD_X + axis;
            return broken;
        }
    }
    return {};
}

std::wstring PartTypeFromPath(const std::wstring& parts_folder, const std::wstring& part_path) {
    std::size_t n = parts_folder.size();
    if (n > 0 && parts_folder.back() != L'/') ++n;
    if (part_path.size() <= n) return std::wstring();
    const std::size_t end = part_path.find(L'/', n);
    return part_path.substr(n, end == std::wstring::npos ? std::wstring::npos : end - n);
}

std::shared_ptr<SemiconductorPackage> LoadDetailedModelByType(const std::wstring& package_type,
                                                              const std::wstring& part_path) {
    try {
        return LoadDetailed(package_type, part_path).package;
    } catch (const std::exception&) {
        return nullptr;
    }
}

// The runs are called on the export worker, where an escaping exception would end the
// program: every failure below them becomes false.
bool ExportDetailedModelByType(const ExportRunSettings& settings, const std::wstring& part_path,
                               const std::wstring& cabinet_path, RunFailure* failure) {
    const RunFailureScope scope(failure);
    try {
        if (!SettingsValid(settings)) return false;
        const std::wstring type = PartTypeFromPath(settings.parts_folder, part_path);
        return BuildAndWrite(type, LoadDetailed(type, part_path), cabinet_path);
    } catch (const std::exception&) {
        ReportRunFailure(resources::IDS_RUN_UNEXPECTED_ERROR);
        return false;
    }
}

bool ExportSimplifiedModelByType(const ExportRunSettings& settings, const std::wstring& part_path,
                                 const std::wstring& cabinet_path, RunFailure* failure) {
    const RunFailureScope scope(failure);
    try {
        if (!SettingsValid(settings)) return false;
        const std::wstring type = PartTypeFromPath(settings.parts_folder, part_path);
        if (IsPowerDevice(type)) {
            ReportRunFailure(resources::IDS_RUN_NO_COMPACT_MODEL);
            return false;
        }
        return BuildAndWrite(type, LoadSimplified(type, part_path), cabinet_path);
    } catch (const std::exception&) {
        ReportRunFailure(resources::IDS_RUN_UNEXPECTED_ERROR);
        return false;
    }
}

bool BatchComputePart(const ExportRunSettings& settings, int code, const std::wstring& part_path,
                      const std::wstring& cabinet_path, NodePairList& links, double* values,
                      RunFailure* failure, NetworkFitError* fit_error) {
    const RunFailureScope scope(failure);
    if (fit_error) *fit_error = NetworkFitError();
    try {
        uint32_t kind = 0;
        switch (code) {
            case 0: kind = surf_register::kTwoResistorModel; break;
            case 1: kind = surf_register::kThreeResistorModel; break;
            case 2: kind = surf_register::kDelphiModel; break;
            default: ReportRunFailure(resources::IDS_RUN_UNKNOWN_KIND); return false;
        }
        if (!SettingsValid(settings)) return false;
        const std::wstring type = PartTypeFromPath(settings.parts_folder, part_path);
        // Power devices have no compact model; their files would be refused by the QFP/SOP
        // loader anyway.
        if (type.empty() || IsPowerDevice(type)) {
            ReportRunFailure(resources::IDS_RUN_NO_COMPACT_MODEL);
            return false;
        }

        const LoadedPart part = settings.simple_modeling ? LoadSimplified(type, part_path)
                                                         : LoadDetailed(type, part_path);
        if (!LoadedAndValid(part) || !Built(part)) return false;

        CompactModelRequest request = MakeRequest(settings);
        if (kind == surf_register::kDelphiModel) {
            const auto table = reg_link_manager::CreateRegistanceLinkManager(
                platform::WideToUtf8(type), part.model.get());
            // Without a link table (a ball layout with no DELPHI network) nothing is computed.
            if (!table) {
                ReportRunFailure(resources::IDS_RUN_NO_COMPACT_MODEL);
                return false;
            }
            NodePairList pairs;
            for (int l = 0; l < table->count; ++l) {
                pairs.emplace_back(table->nodes[2 * l], table->nodes[2 * l + 1]);
            }
            links = std::move(pairs);
        }
        if (!ComputeAndExportCompactModel(request, type, kind, part.model, cabinet_path)) {
            ReportRunFailure(resources::IDS_RUN_CABINET_NOT_WRITTEN, cabinet_path);
            return false;
        }
        std::copy(request.values.begin(), request.values.end(), values);
        if (fit_error) *fit_error = request.fit_error;
        return true;
    } catch (const std::exception&) {
        ReportRunFailure(resources::IDS_RUN_UNEXPECTED_ERROR);
        return false;
    }
}

}  // namespace pkg
