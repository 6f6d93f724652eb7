#include "widget/ui_thread.h"

#include <future>
#include <memory>

#include <wx/event.h>
#include <wx/thread.h>

namespace widget {

void RunOnUiThread(wxEvtHandler* target, std::function<void()> update) {
    if (wxThread::IsMain()) {
        update();
        return;
    }
    // Only the queued call holds the promise (wx copies the call, hence the pointer): if
    // the call is dropped with its handler, the promise breaks and the waiting thread goes
    // on instead of waiting for ever.
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    target->CallAfter([done = std::move(done), update = std::move(update)]() {
        try {
            update();
            done->set_value();
        } catch (...) {
            done->set_exception(std::current_exception());
        }
    });
    try {
        finished.get();
    } catch (const std::future_error&) {
        // The handler was destroyed before the update ran.
    }
}

}  // namespace widget
