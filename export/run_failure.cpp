#include "export/run_failure.h"

namespace pkg {

namespace {

thread_local RunFailure* current = nullptr;

}  // namespace

void ReportRunFailure(const RunFailure& failure) {
    if (current != nullptr && !*current) *current = failure;
}

void ReportRunFailure(std::uint32_t message, const std::wstring& literal) {
    RunFailure failure;
    failure.message = message;
    failure.literal = literal;
    ReportRunFailure(failure);
}

RunFailureScope::RunFailureScope(RunFailure* sink) : previous_(current) {
    if (sink != nullptr) *sink = RunFailure();
    current = sink;
}

RunFailureScope::~RunFailureScope() { current = previous_; }

}  // namespace pkg
