#include "export/compact_export.h"

#include <sys/stat.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "export/exporter/cab_exporter.h"
#include "export/exporter/compact_xml_writer.h"
#include "export/reg_link_manager/registance_link_manager.h"
#include "export/run_failure.h"
#include "export/surf_register/create_surface_register.h"
#include "models/bga/bga_detailed_model.h"
#include "models/package_types.h"
#include "models/qfp/qfp.h"
#include "platform/atomic_file.h"
#include "platform/temp_files.h"
#include "platform/wide_string.h"
#include "resources/string_ids.h"

namespace pkg {

namespace {

bool IsBallGridArray(const std::wstring& package_type) {
    return IsPackageFamily(package_type, PackageFamily::kBGA);
}

// Builds the compact model library document; false when nothing applies.
bool BuildCompactTree(const std::wstring& package_type, uint32_t model_kind,
                      const DetailedModel& model, const double* values, const std::wstring& name,
                      exporter::WideTree& tree) {
    const bool bga = IsBallGridArray(package_type);
    const auto* bga_model = dynamic_cast<const bga::BGADetailedModel*>(&model);
    const auto* qfp_model = dynamic_cast<const qfp::QFP*>(&model);
    if (bga ? !bga_model : !qfp_model) return false;

    switch (model_kind) {
        case surf_register::kTwoResistorModel:
            if (bga) {
                exporter::WriteBgaTwoResistorModelXml(*bga_model, values, name, tree);
            } else {
                exporter::WriteTwoResistorModelXml(*qfp_model, model.root, values, name, tree);
            }
            return true;
        case surf_register::kThreeResistorModel:
            if (bga) {  // a ball-grid array has no three-resistor model
                ReportRunFailure(resources::IDS_RUN_NO_COMPACT_MODEL);
                return false;
            }
            exporter::WriteThreeResistorModelXml(*qfp_model, values, name, tree);
            return true;
        case surf_register::kDelphiModel: {
            auto links = reg_link_manager::CreateRegistanceLinkManager(
                platform::WideToUtf8(package_type), &model);
            if (!links) return false;
            if (bga) {
                exporter::WriteBgaDelphiModelXml(*bga_model, values, *links, name, tree);
            } else {
                exporter::WriteDelphiModelXml(*qfp_model, values, *links, name, tree);
            }
            return true;
        }
        default:
            return false;
    }
}

// The solver's own name for its report inside the staging folder: short, so the path fits
// the solver's buffer however long the cabinet's name is.
constexpr char kStagedListName[] = "list.l";

bool IsRegularFile(const std::filesystem::path& path, struct stat* info = nullptr) {
    struct stat status {};
    const bool regular = ::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
    if (info != nullptr) *info = status;
    return regular;
}

}  // namespace

ListFileStaging::ListFileStaging(const std::wstring& target) {
    if (target.empty()) return;
    target_ = platform::PathFromWide(target);
    struct stat info {};
    if (::lstat(target_.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode))
        return;
    const std::wstring folder = exporter::MakeTempExportFolder();
    if (folder.empty()) return;
    folder_ = platform::PathFromWide(folder);
    solver_path_ = folder + platform::Utf8ToWide(kStagedListName);
}

ListFileStaging::~ListFileStaging() {
    if (!aside_.empty()) std::rename(aside_.c_str(), target_.c_str());
    if (!folder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
}

void ListFileStaging::StepAside() {
    struct stat info {};
    if (target_.empty() || !aside_.empty() || !IsRegularFile(target_, &info)) return;
    const std::filesystem::path aside =
        target_.parent_path() / platform::UniqueTempName(platform::BesideFilePrefix(target_));
    if (std::rename(target_.c_str(), aside.c_str()) != 0) return;
    aside_ = aside;
    aside_mode_ = info.st_mode & 07777;
}

void ListFileStaging::PutInPlace() {
    if (target_.empty()) return;
    std::string bytes;
    bool written = false;
    const std::filesystem::path staged = platform::PathFromWide(solver_path_);
    if (!solver_path_.empty() && IsRegularFile(staged)) {
        std::ifstream in(staged, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        written = !in.bad() && platform::WriteFileAtomically(target_, bytes);
    }
    if (written) {
        // A list file that replaces an older one keeps its permissions.
        if (!aside_.empty()) {
            ::chmod(target_.c_str(), aside_mode_);
            platform::RemoveQuietly(aside_);
            aside_.clear();
        }
        return;
    }
    // Left beside the new cabinet, a list file of an earlier run would pass for its report.
    bool removed = false;
    if (!aside_.empty()) {
        removed = platform::RemoveQuietly(aside_);
        aside_.clear();
    } else if (IsRegularFile(target_)) {
        removed = ::unlink(target_.c_str()) == 0;
    }
    ReportRunFailure(removed ? resources::IDS_RUN_LIST_FILE_STALE_REMOVED
                             : resources::IDS_RUN_LIST_FILE_NOT_WRITTEN,
                     platform::PathToWide(target_));
}

bool ExportModelFiles(const std::wstring& package_type, uint32_t model_kind,
                      const DetailedModel& model, const double* values, const std::wstring& stem,
                      const std::wstring& base) {
    try {
        exporter::WideTree tree;
        if (!BuildCompactTree(package_type, model_kind, model, values, stem, tree)) return false;

        const std::wstring folder = exporter::MakeTempExportFolder();
        if (folder.empty()) return false;
        // The base has no extension of its own: a dot in the output name starts one here,
        // so the entry keeps only what comes before the name's last dot.
        const std::wstring entry_stem =
            platform::PathToWide(platform::PathFromWide(base).stem());
        const std::wstring xml_path = folder + entry_stem + L".xml";

        bool ok = false;
        try {
            ok = exporter::WriteUtf8XmlFile(tree, xml_path) &&
                 exporter::CreateCabinet(base + L".cab", {xml_path});
        } catch (const std::exception&) {
            ok = false;
        }
        platform::RemoveQuietly(platform::PathFromWide(xml_path));
        platform::RemoveQuietly(platform::PathFromWide(folder));
        return ok;
    } catch (const std::exception&) {
        return false;
    }
}

bool ComputeAndExportCompactModel(CompactModelRequest& request, const std::wstring& package_type,
                                  uint32_t model_kind, const std::shared_ptr<DetailedModel>& model,
                                  const std::wstring& cabinet_path) {
    try {
        request.values.fill(0.0);
        request.fit_error = NetworkFitError();
        ListFileStaging list(request.list_file_output ? cabinet_path + L".l" : std::wstring());
        if (!ComputePartResistances(request, package_type, model_kind, model,
                                    request.values.data(), list.SolverPath(),
                                    &request.fit_error)) {
            return false;
        }
        const std::filesystem::path cabinet = platform::PathFromWide(cabinet_path);
        const std::wstring stem = platform::PathToWide(cabinet.stem());
        const std::wstring base = platform::PathToWide(cabinet.parent_path() / cabinet.stem());
        list.StepAside();
        if (!ExportModelFiles(package_type, model_kind, *model, request.values.data(), stem,
                              base)) {
            return false;
        }
        list.PutInPlace();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace pkg
