#include "export/compact_computation.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <locale>
#include <mutex>
#include <sstream>

#include "export/exporter/compact_xml_writer.h"
#include "export/reg_link_manager/registance_link_manager.h"
#include "export/run_failure.h"
#include "export/solver_grid.h"
#include "export/solver_input.h"
#include "export/surf_register/create_surface_register.h"
#include "models/model_check.h"
#include "models/package_types.h"
#include "models/semiconductor_package.h"
#include "platform/temp_files.h"
#include "platform/wide_string.h"
#include "resources/string_ids.h"
#include "solver/resist_model.h"

namespace pkg {

namespace {

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

// The node pairs of the two- and three-resistor values, in value order.
constexpr const char* kSeriesPairs[3][2] = {{"T", "J"}, {"B", "J"}, {"L", "J"}};

// The nodes the network needs that have no cell, by name; empty when there are none. The
// two- and three-resistor stages heat, hold and cool every node they are given. A DELPHI
// network needs its junction and one surface at least; a surface node without cells (the
// mold's inner underside of a part whose die pad is exposed there) is adiabatic in the fit.
std::wstring NodesWithoutCells(const std::vector<surf_register::NodeRegister>& nodes,
                               uint32_t model_kind) {
    std::wstring surfaces;
    bool any_surface = false;
    for (const surf_register::NodeRegister& node : nodes) {
        const bool junction = model_kind != surf_register::kDelphiModel || node.name == "J";
        if (junction && node.i.empty()) return platform::Utf8ToWide(node.name);
        if (junction) continue;
        any_surface = any_surface || !node.i.empty();
        surfaces += (surfaces.empty() ? L"" : L", ") + platform::Utf8ToWide(node.name);
    }
    return any_surface ? std::wstring() : surfaces;
}

// The smallest resistance heat conduction through the model allows, in K/W. The hottest
// cell is a heated one, and the whole 1 W leaves it through faces held at the ambient or
// behind a gap: across a face of area A from a cell of width d at most k A / (d / 2). With
// the best conductor k_max of the model everywhere, the narrowest cell d_min and every
// face of the model's bounding box (area S) as an outlet, no junction can come closer to
// the ambient than d_min / (2 k_max S). The fitted and derived values are combinations of
// such rises and the solver's outlets need not lie on the box, so a thousandth of that is
// the floor: far below any package's resistance, far above what an impossible material
// yields.
double ResistanceFloor(const DetailedModel& model, const std::vector<GridLine>* lines[3]) {
    double k_max = 0.0;
    for (const Property& m : model.properties) {
        k_max = std::max({k_max, m.conductivity, m.conductivity_x, m.conductivity_y,
                          m.conductivity_z});
    }
    double d_min = HUGE_VAL;
    for (int axis = 0; axis < 3; ++axis) {
        const std::vector<GridLine>& axis_lines = *lines[axis];
        for (std::size_t n = 1; n < axis_lines.size(); ++n) {
            d_min = std::min(d_min, axis_lines[n].position - axis_lines[n - 1].position);
        }
    }
    const exporter::BoundingBox box = exporter::ModelBoundingBox(model.root);
    const double lx = (box.max.x - box.min.x) * 1e-3;
    const double ly = (box.max.y - box.min.y) * 1e-3;
    const double lz = (box.max.z - box.min.z) * 1e-3;
    const double surface = 2.0 * (lx * ly + ly * lz + lz * lx);
    const double floor = 1e-3 * (d_min * 1e-3) / (2.0 * k_max * surface);
    return std::isfinite(floor) ? std::max(floor, DBL_MIN) : DBL_MIN;
}

// "A-B = value K/W" with the value in the C locale's "%g".
std::wstring ResistanceText(const std::wstring& a, const std::wstring& b, double value) {
    std::wostringstream out;
    out.imbue(std::locale::classic());
    out << a << L'-' << b << L" = " << value << L" K/W";
    return out.str();
}

// Every value the compact model carries is a resistance heat conduction through the part
// allows: finite, greater than 0 and not below the floor. A DELPHI link the fit found
// adiabatic has no value (0.0) and is left out of the network.
bool PlausibleResistances(const double* values, uint32_t model_kind, const std::string& type,
                          const DetailedModel& model, double floor) {
    std::vector<std::pair<std::wstring, std::wstring>> names;
    if (model_kind == surf_register::kDelphiModel) {
        const auto links = reg_link_manager::CreateRegistanceLinkManager(type, &model);
        for (int l = 0; links && l < links->count; ++l) {
            names.emplace_back(links->nodes[2 * l], links->nodes[2 * l + 1]);
        }
    } else {
        const int pairs = model_kind == surf_register::kThreeResistorModel ? 3 : 2;
        for (int i = 0; i < pairs; ++i) {
            names.emplace_back(platform::Utf8ToWide(kSeriesPairs[i][0]),
                               platform::Utf8ToWide(kSeriesPairs[i][1]));
        }
    }
    const bool absent_allowed = model_kind == surf_register::kDelphiModel;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const double value = values[i];
        if (absent_allowed && value == 0.0) continue;
        const std::wstring text = ResistanceText(names[i].first, names[i].second, value);
        if (!std::isfinite(value) || !(value > 0.0)) {
            ReportRunFailure(resources::IDS_RUN_RESISTANCE_NOT_FINITE, text);
            return false;
        }
        if (value < floor) {
            ReportRunFailure(resources::IDS_RUN_RESISTANCE_TOO_LOW, text);
            return false;
        }
    }
    return true;
}

}  // namespace

bool ListFileUsable(const std::string& path) {
    struct stat info {};
    if (path.empty() || path.size() > kMaxListFileName) return false;
    if (::stat(path.c_str(), &info) == 0) return S_ISREG(info.st_mode);
    return errno == ENOENT;
}

bool PackageTypeMatchesModel(const std::string& package_type, const DetailedModel& model) {
    const auto* package = dynamic_cast<const SemiconductorPackage*>(&model);
    const PackageType* expected = FindPackageType(package_type);
    if (!package || !expected) return false;
    // A part of an older type name matches the type that reads it.
    return PackageTypeReadAs(package->TypeName()) == expected;
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
        } else if (rc == resist_model::kStatusNotConverged) {
            ReportRunFailure(resources::IDS_RUN_STAGE_NOT_CONVERGED);
        }
        return false;
    }

    set.results.assign(count > 0 ? static_cast<std::size_t>(count) : 0, ResistanceResult());
    for (int i = 0; i < count; ++i) {
        auto [node1, node2] = ParseResultName(names + static_cast<std::size_t>(i) * kResultNameSlot);
        set.results[static_cast<std::size_t>(i)] = ResistanceResult{node1, node2, values[i]};
    }
    resist_model::freeResults(&names, &values);
    // A DELPHI call leaves its network's junction error in the library's results; any
    // other call leaves them 0, which is no estimate.
    set.fitError.worst_percent = resist_model::results[0];
    set.fitError.rms_percent = resist_model::results[1];
    set.fitError.worst_case = static_cast<int>(resist_model::results[2]);
    return true;
}

bool CollectSeriesResistances(int pair_count, const std::vector<ResistanceResult>& results,
                              double* values) {
    bool all = true;
    for (int i = 0; i < pair_count && i < 3; ++i) {
        const std::string a = kSeriesPairs[i][0];
        const std::string b = kSeriesPairs[i][1];
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
                            double* values, const std::wstring& list_file_path,
                            NetworkFitError* fit_error) {
    if (!model) return false;
    const std::string type = platform::WideToUtf8(package_type);
    // A part filed under another type's folder would get that type's nodes and links.
    if (!PackageTypeMatchesModel(type, *model)) {
        ReportRunFailure(resources::IDS_RUN_PART_UNREADABLE);
        return false;
    }
    // The list file is a by-product: a path the solver cannot take (too long for its
    // buffer, or a folder, FIFO or device there) costs the report, not the results.
    std::string list_file = request.list_file_output ? platform::WideToUtf8(list_file_path)
                                                     : std::string();
    if (!ListFileUsable(list_file)) list_file.clear();

    const int built = IsBallGridArray(type) ? model->BuildWithAir() : model->Build();
    if (built != 0) {
        ReportRunFailure(resources::IDS_RUN_BUILD_FAILED);
        return false;
    }
    if (const RuleViolation fault = CheckBuiltModel(*model)) {
        ReportRunFailure(fault);
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
    const std::wstring empty = NodesWithoutCells(nodes, model_kind);
    if (!empty.empty()) {
        ReportRunFailure(resources::IDS_RUN_NODE_WITHOUT_CELLS, empty);
        return false;
    }

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
    if (!ComputeResistances(set, platform::WideToUtf8(input_path))) return false;

    const std::vector<ResistanceResult> results = set.results;
    if (!CollectResistanceValues(results, type, model.get(), model_kind, values)) {
        ReportRunFailure(resources::IDS_RUN_RESULT_MISSING);
        return false;
    }
    const std::vector<GridLine>* lines[3] = {&x_lines, &y_lines, &z_lines};
    if (!PlausibleResistances(values, model_kind, type, *model, ResistanceFloor(*model, lines))) {
        return false;
    }
    if (fit_error && model_kind == surf_register::kDelphiModel) *fit_error = set.fitError;
    return true;
}

}  // namespace pkg
