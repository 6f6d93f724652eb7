#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "export/compact_computation.h"
#include "models/detailed_model.h"

namespace pkg {

// Computes the compact model of a built part and writes it as a cabinet at
// `cabinet_path`; with the request's list-file switch on, the solver's list file lies at
// the cabinet path followed by ".l". False when anything fails, with the cabinet and the
// list file beside it as they were. A list file that was asked for and not written leaves
// the run successful, with that reported as its note and no list file of an earlier run
// left beside the new cabinet.
bool ComputeAndExportCompactModel(CompactModelRequest& request, const std::wstring& package_type,
                                  uint32_t model_kind, const std::shared_ptr<DetailedModel>& model,
                                  const std::wstring& cabinet_path);

// The solver's list file of one compact export, kept apart until the cabinet is in place,
// so that a cabinet and the list file beside it always belong to one run. The solver writes
// into a staging folder of its own (a short path, whatever the cabinet's name); an older
// list file steps aside while the cabinet is written and comes back when that fails; the
// new one takes its place only after the cabinet is written.
class ListFileStaging {
public:
    // An empty target stages nothing: no list file was asked for.
    explicit ListFileStaging(const std::wstring& target);
    // Removes the staging folder; an older list file still aside goes back.
    ~ListFileStaging();
    ListFileStaging(const ListFileStaging&) = delete;
    ListFileStaging& operator=(const ListFileStaging&) = delete;

    // Where the solver is to write its list file; empty when none is asked for, when
    // something other than a regular file stands at the target (a folder, FIFO or device is
    // never replaced), or when no staging folder can be made.
    const std::wstring& SolverPath() const { return solver_path_; }
    // Before the cabinet is written: an older list file at the target steps aside.
    void StepAside();
    // After the cabinet is written: the new list file takes its place. One that was asked
    // for and not written is said as the run's note, and an older one does not stay.
    void PutInPlace();

private:
    std::filesystem::path target_;
    std::filesystem::path folder_;
    std::wstring solver_path_;
    std::filesystem::path aside_;
    unsigned aside_mode_ = 0;
};

// Writes the compact model library of `model` with `values` into base + ".cab", as the one
// entry (stem of base) + ".xml"; `stem` names the component. False when no writer or link
// table fits the kind and type, the model is not of the family's class, or staging or
// packing fails. Every staged file is removed before returning.
bool ExportModelFiles(const std::wstring& package_type, uint32_t model_kind,
                      const DetailedModel& model, const double* values, const std::wstring& stem,
                      const std::wstring& base);

}  // namespace pkg
