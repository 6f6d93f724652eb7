#include "app/program_settings.h"

#include "export/export_runs.h"
#include "models/part_loaders.h"
#include "platform/wide_string.h"

namespace {

// Loads the part at `path` and makes it the current part: package and model share the one
// object's count. The file's identity is taken before it is read, so a change made while
// it is read shows as a change later rather than going unseen.
template <class Load>
bool OpenAsCurrentPart(ProgramSettings& settings, Load load, const std::wstring& path) {
    platform::FileIdentity identity = platform::ReadFileIdentity(platform::PathFromWide(path));
    auto model = load(path);
    if (!model) return false;
    settings.CurrentPartFile = identity;
    settings.CurrentPackage = model;
    settings.CurrentModel = std::move(model);
    if (&path != &settings.CurrentPartPath) settings.CurrentPartPath = path;
    return true;
}

pkg::ExportRunSettings RunSettings(const ProgramSettings& settings) {
    pkg::ExportRunSettings run;
    run.parts_folder = settings.PartsFolder;
    run.standard_length[0] = settings.StandardLength.x;
    run.standard_length[1] = settings.StandardLength.y;
    run.standard_length[2] = settings.StandardLength.z;
    run.threshold[0] = settings.Threshold.x;
    run.threshold[1] = settings.Threshold.y;
    run.threshold[2] = settings.Threshold.z;
    run.fluid_thermal_conductivity = settings.FluidConductivity;
    run.list_file_output = settings.OutputListFile;
    run.simple_modeling = settings.SimpleModeling;
    return run;
}

}  // namespace

bool ProgramSettings::TryOpenBGAPart(const std::wstring& path) {
    return OpenAsCurrentPart(*this, pkg::LoadBGADetailedModel, path);
}

bool ProgramSettings::TryOpenQFPPart(const std::wstring& path) {
    return OpenAsCurrentPart(*this, pkg::LoadQFPDetailedModel, path);
}

bool ProgramSettings::TryOpenTO220Part(const std::wstring& path) {
    return OpenAsCurrentPart(*this, pkg::LoadTO220DetailedModel, path);
}

bool ProgramSettings::TryOpenTO247Part(const std::wstring& path) {
    return OpenAsCurrentPart(*this, pkg::LoadTO247DetailedModel, path);
}

bool ProgramSettings::TryOpenTO263Part(const std::wstring& path) {
    return OpenAsCurrentPart(*this, pkg::LoadTO263DetailedModel, path);
}

bool ProgramSettings::TryOpenTO252Part(const std::wstring& path) {
    return OpenAsCurrentPart(*this, pkg::LoadTO252DetailedModel, path);
}

bool ProgramSettings::TryOpenSOT89Part(const std::wstring& path) {
    return OpenAsCurrentPart(*this, pkg::LoadSOT89DetailedModel, path);
}

bool ProgramSettings::TryOpenSOT223Part(const std::wstring& path) {
    return OpenAsCurrentPart(*this, pkg::LoadSOT223DetailedModel, path);
}

std::wstring ProgramSettings::PartTypeFromPath(const std::wstring& part_path) const {
    return pkg::PartTypeFromPath(PartsFolder, part_path);
}

std::shared_ptr<pkg::SemiconductorPackage> ProgramSettings::LoadDetailedModelByType(
    const std::wstring& part_path) const {
    return pkg::LoadDetailedModelByType(PartTypeFromPath(part_path), part_path);
}

bool ProgramSettings::ExportDetailedModelByType(const std::wstring& part_path,
                                                const std::wstring& cabinet_path,
                                                pkg::RunFailure* failure) const {
    return pkg::ExportDetailedModelByType(RunSettings(*this), part_path, cabinet_path, failure);
}

bool ProgramSettings::ExportSimplifiedModelByType(const std::wstring& part_path,
                                                  const std::wstring& cabinet_path,
                                                  pkg::RunFailure* failure) const {
    return pkg::ExportSimplifiedModelByType(RunSettings(*this), part_path, cabinet_path, failure);
}

bool ProgramSettings::BatchComputePart(int code, const std::wstring& part_path,
                                       const std::wstring& cabinet_path,
                                       std::vector<std::pair<std::wstring, std::wstring>>& links,
                                       double* values, pkg::RunFailure* failure,
                                       pkg::NetworkFitError* fit_error) const {
    return pkg::BatchComputePart(RunSettings(*this), code, part_path, cabinet_path, links, values,
                                 failure, fit_error);
}
