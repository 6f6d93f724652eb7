#include "tests/support/wx_test.h"

#include <wx/app.h>
#include <wx/evtloop.h>

namespace zentrik_test {

namespace {

void DispatchOnce(int timeoutMs) {
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    if (wxTheApp != nullptr) {
        wxTheApp->ProcessPendingEvents();
    }
    if (loop == nullptr) {
        return;
    }
    if (loop->Pending()) {
        loop->Dispatch();
    } else if (timeoutMs > 0) {
        // Blocks until the next event arrives, at most timeoutMs: no busy loop, no sleep.
        loop->DispatchTimeout(timeoutMs);
    }
    loop->ProcessIdle();
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        DispatchOnce(10);
    }
    return true;
}

void DispatchPending() {
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    if (wxTheApp != nullptr) {
        wxTheApp->ProcessPendingEvents();
    }
    if (loop == nullptr) {
        return;
    }
    while (loop->Pending()) {
        loop->Dispatch();
        if (wxTheApp != nullptr) {
            wxTheApp->ProcessPendingEvents();
        }
    }
    loop->ProcessIdle();
}

}  // namespace zentrik_test
