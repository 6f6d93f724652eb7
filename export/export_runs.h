#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "export/resistance_result.h"
#include "export/run_failure.h"
#include "models/semiconductor_package.h"

namespace pkg {

// What an export run reads of the program settings: the parts folder, the mesh factors
// per axis (x, y, z), the fluid conductivity in W/(m K) and the two switches.
struct ExportRunSettings {
    std::wstring parts_folder;
    double standard_length[3] = {0.5, 0.5, 4.0};
    double threshold[3] = {0.1, 0.1, 0.1};
    double fluid_thermal_conductivity = 0.0256;
    bool list_file_output = false;
    bool simple_modeling = false;
};

// A fluid conductivity, standard length or threshold makes sense only as a finite number
// greater than 0.
bool IsValidMeshOrFluidValue(double value);
// The first of the fluid conductivity, the standard lengths and the thresholds (x, y, z)
// that is not valid; empty when all are.
RunFailure CheckExportRunSettings(const ExportRunSettings& settings);

// Node-name pairs of a DELPHI network, one per link, in the link table's order.
using NodePairList = std::vector<std::pair<std::wstring, std::wstring>>;

// The package type of a part: the name of the first folder below the parts folder in its
// path, or the rest of the path when no folder follows. The path is not checked to begin
// with the parts folder. A parts folder without its trailing '/' counts as if it had one;
// a path no longer than the parts folder gives an empty type.
std::wstring PartTypeFromPath(const std::wstring& parts_folder, const std::wstring& part_path);

// Loads the part's detailed model by its package type ("PBGA" and "FCBGA" the BGA loader,
// the power devices their own, any other non-empty type the QFP/SOP loader); empty when
// the type is empty or the file does not read as that type. The model is not built.
std::shared_ptr<SemiconductorPackage> LoadDetailedModelByType(const std::wstring& package_type,
                                                              const std::wstring& part_path);

// Builds the part's detailed model and writes it as a "Detail" cabinet; false on any
// failure, with no cabinet written and no temporary left. Settings or a part that break a
// validity rule fail before anything is built, and a built model that fails its check
// (models/model_check.h) before anything is written. Every run takes an optional `failure`
// that receives the reason of a false result.
bool ExportDetailedModelByType(const ExportRunSettings& settings, const std::wstring& part_path,
                               const std::wstring& cabinet_path, RunFailure* failure = nullptr);

// The same with the simplified model; only the BGA and QFP/SOP families have one, so a
// power-device type fails before its file is opened.
bool ExportSimplifiedModelByType(const ExportRunSettings& settings, const std::wstring& part_path,
                                 const std::wstring& cabinet_path, RunFailure* failure = nullptr);

// Computes a compact model (code 0 two-resistor, 1 three-resistor, 2 DELPHI) and writes its
// cabinet. For code 2, `links` is first replaced by the package's link table. On success
// all 64 values are copied into `values` (T-J, B-J and for code 1 L-J; or one value per
// link); on false `values` is untouched. A solve the computation refuses (a node without
// cells, a stage that did not converge, a value no resistance of the part can have) fails
// the run with its reason. A list file that was asked for and not written leaves the run
// successful, with its reason in `failure`. A DELPHI run's network error estimate goes to
// `fit_error` when given (and is no estimate otherwise).
bool BatchComputePart(const ExportRunSettings& settings, int code, const std::wstring& part_path,
                      const std::wstring& cabinet_path, NodePairList& links, double* values,
                      RunFailure* failure = nullptr, NetworkFitError* fit_error = nullptr);

}  // namespace pkg
