#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "export/compact_computation.h"
#include "models/detailed_model.h"

namespace pkg {

// Computes the compact model of a built part and writes it as a cabinet at
// `cabinet_path`; with the request's list-file switch on, the solver's list file lies at
// the cabinet path followed by ".l". False (and no cabinet) when anything fails. A list
// file that was asked for and not written leaves the run successful, with that reported
// as its note and no list file of an earlier run left beside the new cabinet.
bool ComputeAndExportCompactModel(CompactModelRequest& request, const std::wstring& package_type,
                                  uint32_t model_kind, const std::shared_ptr<DetailedModel>& model,
                                  const std::wstring& cabinet_path);

// Writes the compact model library of `model` with `values` into base + ".cab", as the one
// entry (stem of base) + ".xml"; `stem` names the component. False when no writer or link
// table fits the kind and type, the model is not of the family's class, or staging or
// packing fails. Every staged file is removed before returning.
bool ExportModelFiles(const std::wstring& package_type, uint32_t model_kind,
                      const DetailedModel& model, const double* values, const std::wstring& stem,
                      const std::wstring& base);

}  // namespace pkg
