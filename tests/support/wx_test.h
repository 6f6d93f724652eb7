#pragma once

#include <chrono>
#include <functional>

namespace zentrik_test {

// Dispatches events of the active event loop (and pending and idle events) until
// `condition` holds. Returns false if it still does not hold after `limit`, which only
// guards against a test hanging: it is never waited out when the condition comes true.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds limit = std::chrono::seconds(20));

// Dispatches every event that is already waiting, including CallAfter calls and idle events.
void DispatchPending();

}  // namespace zentrik_test
