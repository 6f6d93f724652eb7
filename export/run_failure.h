#pragma once

#include <cstdint>
#include <string>

#include "models/part_rules.h"

namespace pkg {

// Why an export run failed, in the form of a broken rule: a string id whose %1 is the text
// of `name` or `literal` (a path, a cell count). The caller turns it into text.
using RunFailure = RuleViolation;

// Records the reason of the failing run on this thread, when a RunFailureScope is open and
// holds no reason yet: the first step that fails knows best, the later ones fail only
// because of it.
void ReportRunFailure(const RunFailure& failure);
void ReportRunFailure(std::uint32_t message, const std::wstring& literal = std::wstring());

// Collects the reasons reported on this thread into `sink` (which may be null) while it
// lives; scopes nest, the inner one taking the reports.
class RunFailureScope {
public:
    explicit RunFailureScope(RunFailure* sink);
    ~RunFailureScope();
    RunFailureScope(const RunFailureScope&) = delete;
    RunFailureScope& operator=(const RunFailureScope&) = delete;

private:
    RunFailure* previous_;
};

}  // namespace pkg
