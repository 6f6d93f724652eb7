#pragma once

#include <functional>

class wxEvtHandler;

namespace widget {

// Runs `update` on the UI thread: at once when called there, else through CallAfter on
// `target` while the calling thread waits for it. When `target` goes away before the
// call could run, the caller stops waiting and nothing is updated.
void RunOnUiThread(wxEvtHandler* target, std::function<void()> update);

}  // namespace widget
