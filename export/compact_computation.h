#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "export/resistance_result.h"
#include "models/detailed_model.h"

namespace pkg {

// Parameters and results of one compact computation: the mesh factors, the fluid
// conductivity in W/(m K), the list-file switch and the 64 result values in K/W.
struct CompactModelRequest {
    static constexpr int kValueCount = 64;

    double standard_length_factor_x = 0.5;
    double standard_length_factor_y = 0.5;
    double standard_length_factor_z = 4.0;
    double threshold_factor_x = 0.1;
    double threshold_factor_y = 0.1;
    double threshold_factor_z = 0.1;
    double fluid_thermal_conductivity = 0.0256;
    bool list_file_output = false;
    std::array<double, kValueCount> values{};
    // DELPHI: how well the network reproduces its cases
    NetworkFitError fit_error;
};

// The results of one solver call and the list file it was asked to write.
class ResistanceResultSet {
public:
    void SetListFileName(const std::string& path) { listFileName = path; }

    std::vector<ResistanceResult> results;
    std::string listFileName;
    // DELPHI: the solver's estimate for the network it returned
    NetworkFitError fitError;
};

// The solver library keeps the list-file name in a 256-byte buffer, its NUL included.
constexpr std::size_t kMaxListFileName = 255;
// Size of one result-name slot of the solver library.
constexpr std::size_t kResultNameSlot = 32;

// Computes the resistances of `model` for a compact kind (2 two-resistor, 3
// three-resistor, 4 DELPHI) and fills `values`. `package_type` is the part's type folder
// ("PBGA", "QFP", ...); `list_file_path` is handed to the solver when the request asks for
// a list file and the solver can write one there (ListFileUsable); whether it did is the
// caller's to tell (ListFileStaging). False, with the reason reported, when the model does
// not build or fails the check of a built model, is not of that package type, has no
// registration, lacks a required material or leaves a node without cells, when the solver
// fails or a stage does not converge, when a two- or three-resistor value was not
// returned, or when a value is no resistance heat conduction through the part allows
// (not finite, not above 0, or below what its best conductor allows). The solver input
// file is removed on every path. For DELPHI the network's error estimate goes to
// `fit_error` when given.
bool ComputePartResistances(const CompactModelRequest& request, const std::wstring& package_type,
                            uint32_t model_kind, const std::shared_ptr<DetailedModel>& model,
                            double* values, const std::wstring& list_file_path,
                            NetworkFitError* fit_error = nullptr);

// Whether the solver can write a list file at `path` (narrow): the path fits its buffer,
// and nothing or a regular file is there. A folder, FIFO or device is never replaced.
bool ListFileUsable(const std::string& path);

// Creates a new, empty solver input file with a unique name (kSolverInputPrefix and a
// suffix) in the temporary folder and returns its path; empty when it cannot be created.
constexpr char kSolverInputPrefix[] = "pkg";
std::wstring MakeTempFileName();

// Runs the solver on the input file and fills the result set (with the fit's error
// estimate for a DELPHI input); false on a non-zero solver
// status or a list-file name that does not fit the solver's buffer. The only caller of the
// solver library: concurrent calls wait for each other.
bool ComputeResistances(ResistanceResultSet& set, const std::string& input_path);

// Splits a result-name slot "A-B" into its two node names. Only the bytes before the
// slot's first NUL count.
std::pair<std::string, std::string> ParseResultName(const char* slot);

// Fills `values` with what the kind needs: T-J and B-J (and L-J for three resistors) by
// node pair, or one value per link of the package's link table for DELPHI. False when the
// kind is unknown, a two- or three-resistor pair is missing, or no link table fits.
bool CollectResistanceValues(const std::vector<ResistanceResult>& results,
                             const std::string& package_type, const DetailedModel* model,
                             uint32_t model_kind, double* values);

// values[i] = the first result joining pair i in either order; false when a pair has none.
bool CollectSeriesResistances(int pair_count, const std::vector<ResistanceResult>& results,
                              double* values);

// True when the part's own type string belongs to the package-type folder.
bool PackageTypeMatchesModel(const std::string& package_type, const DetailedModel& model);

}  // namespace pkg
