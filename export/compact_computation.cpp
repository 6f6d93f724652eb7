#include "export/compact_computation.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <mutex>

#include "export/reg_link_manager/registance_link_manager.h"
#include "export/run_failure.h"
#include "export/solver_grid.h"
#include "export/solver_input.h"
#include "export/surf_register/create_surface_register.h"
#include "models/package_types.h"
#include "models/semiconductor_package.h"
#include "platform/temp_files.h"
#include "platform/wide_string.h"
#include "resources/string_ids.h"
#include "solver/resist_model.h"

namespace pkg {

namespace {

// A regular file's device and inode; all zero when there is none.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator!=(const FileIdentity& other) const {
        return device != other.device || inode != other.inode;
    }
};

FileIdentity IdentityOf(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return {};
    return {info.st_dev, info.st_ino};
}

bool IsBallGridArray(const std::string& package_type) {
    return IsPackageFamily(package_type, PackageFamily::kBGA);
}

// Removes the solver input file whatever happens between its creation and the return.
class TempInputFile {
public:
    explicit TempInputFile(std::wstring path) : path_(std::move(path)) {}
    ~TempInputFile() {
        if (!path_.empty()) platform::RemoveQuietly(platform::PathFromWide(path_));
    }
    TempInputFile(const TempInputFile&) = delete;
    TempInputFile& operator=(const TempInputFile&) = delete;

private:
    std::wstring path_;
};

}  // namespace

bool PackageTypeMatchesModel(const std::string& package_type, const DetailedModel& model) {
    const auto* package = dynamic_cast<const SemiconductorPackage*>(&model);
    const PackageType* expected = FindPackageType(package_type);
    if (!package || !expected) return false;
    const std::string type = package->TypeName();
    // A legacy "bga" part is read as a PBGA.
    if (package_type == "PBGA" && type == "bga") return true;
    return type == expected->type_name;
}

std::wstring MakeTempFileName() {
    const std::filesystem::path folder = platform::TempDirectory();
    if (folder.empty()) return std::wstring();
    platform::UniqueFile file = platform::CreateUniqueFile(folder, kSolverInputPrefix);
    if (file.fd < 0) return std::wstring();
    ::close(file.fd);
    return platform::PathToWide(file.path);
}

std::pair<std::string, std::string> ParseResultName(const char* slot) {
    const void* nul = std::memchr(slot, '\0', kResultNameSlot);
    const std::size_t length =
        nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - slot) : kResultNameSlot;
    const std::string name(slot, length);
    const std::size_t dash = name.find('-');
    if (dash == std::string::npos) return {name, name};
    return {name.substr(0, dash), name.substr(dash + 1)};
}

bool ComputeResistances(ResistanceResultSet& set, const std::string& input_path) {
    // The solver copies the name into a 256-byte buffer: a longer one is refused here
    // rather than cut or written past the buffer.
    if (set.listFileName.size() > kMaxListFileName) return false;

    // The solver library takes the list-file name through its globals and serves one
    // caller at a time: setting them, the call and the release of its results stay under
    // one lock, or a second computation would write its list file to the first one's path.
    static std::mutex solver_library;
    const std::lock_guard<std::mutex> lock(solver_library);
    resist_model::nlst = static_cast<int>(set.listFileName.size());
    std::memset(resist_model::lstfile, 0, sizeof resist_model::lstfile);
    std::memcpy(resist_model::lstfile, set.listFileName.c_str(), set.listFileName.size() + 1);

    int count = 0;
    char* names = nullptr;
    double* values = nullptr;
    const int rc = resist_model::computeResistModel(input_path.c_str(), &count, &names, &values);
    if (rc != resist_model::kStatusOk) {
        // The library prints the status number only; the user is told what it means.
        if (rc >= resist_model::kStatusEmptyInputName && rc <= resist_model::kStatusNoSolution) {
            ReportRunFailure(resources::IDS_RUN_SOLVER_STATUS_1 + (rc - 1));
        }
        return false;
    }

    set.results.assign(count > 0 ? static_cast<std::size_t>(count) : 0, ResistanceResult());
    for (int i = 0; i < count; ++i) {
        auto [node1, node2] = ParseResultName(names + static_cast<std::size_t>(i) * kResultNameSlot);
        set.results[static_cast<std::size_t>(i)] = ResistanceResult{node1, node2, values[i]};
    }
    resist_model::freeResults(&names, &values);
    return true;
}

bool CollectSeriesResistances(int pair_count, const std::vector<ResistanceResult>& results,
                              double* values) {
    static const char* const kPairs[3][2] = {{"T", "J"}, {"B", "J"}, {"L", "J"}};
    bool all = true;
    for (int i = 0; i < pair_count && i < 3; ++i) {
        const std::string a = kPairs[i][0];
        const std::string b = kPairs[i][1];
        bool found = false;
        values[i] = 0.0;
        for (const ResistanceResult& r : results) {
            if ((r.node1 == a && r.node2 == b) || (r.node1 == b && r.node2 == a)) {
                values[i] = r.value;
                found = true;
                break;
            }
        }
        all = all && found;
    }
    return all;
}

bool CollectResistanceValues(const std::vector<ResistanceResult>& results,
                             const std::string& package_type, const DetailedModel* model,
                             uint32_t model_kind, double* values) {
    switch (model_kind) {
        case surf_register::kTwoResistorModel:
            return CollectSeriesResistances(2, results, values);
        case surf_register::kThreeResistorModel:
            return CollectSeriesResistances(3, results, values);
        case surf_register::kDelphiModel: {
            auto links = reg_link_manager::CreateRegistanceLinkManager(package_type, model);
            if (!links) return false;
            links->CollectLinkValues(results, values);
            return true;
        }
        default:
            return false;
    }
}

bool ComputePartResistances(const CompactModelRequest& request, const std::wstring& package_type,
                            uint32_t model_kind, const std::shared_ptr<DetailedModel>& model,
                            double* values, const std::wstring& list_file_path) {
    if (!model) return false;
    const std::string type = platform::WideToUtf8(package_type);
    // A part filed under another type's folder would get that type's nodes and links.
    if (!PackageTypeMatchesModel(type, *model)) {
        ReportRunFailure(resources::IDS_RUN_PART_UNREADABLE);
        return false;
    }
    const std::string list_file = request.list_file_output ? platform::WideToUtf8(list_file_path)
                                                           : std::string();
    if (list_file.size() > kMaxListFileName) {
        ReportRunFailure(resources::IDS_RUN_LIST_FILE_NOT_WRITTEN, list_file_path);
        return false;
    }

    const int built = IsBallGridArray(type) ? model->BuildWithAir() : model->Build();
    if (built != 0) {
        ReportRunFailure(resources::IDS_RUN_BUILD_FAILED);
        return false;
    }

    const PartExtents smallest = SmallestPartExtents(model->root);
    const GridParameters parameters = MakeGridParameters(
        smallest, request.standard_length_factor_x, request.standard_length_factor_y,
        request.standard_length_factor_z, request.threshold_factor_x, request.threshold_factor_y,
        request.threshold_factor_z);
    std::vector<GridLine> x_lines, y_lines, z_lines;
    CellModel cells;
    // A grid over the solver's cap has reported its cell count already.
    if (!BuildSolverGrid(*model, parameters, x_lines, y_lines, z_lines, cells)) {
        ReportRunFailure(resources::IDS_RUN_BUILD_FAILED);
        return false;
    }

    auto registration = surf_register::CreateSurfaceRegister(
        model_kind, type, model, x_lines, y_lines, z_lines, cells.material_cells,
        cells.part_cells, cells.material_index, cells.part_index);
    if (!registration || !registration->HasRequiredGroups()) {
        ReportRunFailure(resources::IDS_RUN_BUILD_FAILED);
        return false;
    }
    const std::vector<surf_register::NodeRegister> nodes = registration->BuildNodeList();

    SolverInputHeader header;
    header.model_kind = static_cast<int32_t>(model_kind);
    if (model_kind == surf_register::kTwoResistorModel) {
        header.ramda = request.fluid_thermal_conductivity;
    }

    const std::wstring input_path = MakeTempFileName();
    const TempInputFile input_guard(input_path);
    // A file that could not be written completely is not handed to the solver.
    if (input_path.empty() ||
        !WriteSolverInput(header, input_path, type, x_lines, y_lines, z_lines,
                          cells.material_cells, cells.material_index, model->properties, nodes)) {
        ReportRunFailure(resources::IDS_RUN_INPUT_NOT_WRITTEN);
        return false;
    }

    ResistanceResultSet set;
    set.SetListFileName(list_file);
    const FileIdentity old_list = IdentityOf(list_file);
    if (!ComputeResistances(set, platform::WideToUtf8(input_path))) return false;
    // The library drops a list file it cannot write and keeps the results; a list file
    // written anew is a new file renamed into place.
    if (!list_file.empty() && !(IdentityOf(list_file) != old_list)) {
        ReportRunFailure(resources::IDS_RUN_LIST_FILE_NOT_WRITTEN, list_file_path);
    }

    const std::vector<ResistanceResult> results = set.results;
    if (CollectResistanceValues(results, type, model.get(), model_kind, values)) return true;
    ReportRunFailure(resources::IDS_RUN_RESULT_MISSING);
    return false;
}

}  // namespace pkg
