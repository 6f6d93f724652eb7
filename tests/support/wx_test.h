#pragma once

#include <chrono>
#include <functional>

class wxFrame;
class wxPoint;
class wxWindow;

namespace zentrik_test {

// Dispatches events of the active event loop (and pending and idle events) until
// `condition` holds. Returns false if it still does not hold after `limit`, which only
// guards against a test hanging: it is never waited out when the condition comes true.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds limit = std::chrono::seconds(20));

// Dispatches every event that is already waiting, including CallAfter calls and idle events.
void DispatchPending();

// A top-level frame at the screen's origin (there is no window manager to place it),
// shown and mapped.
wxFrame* ShowTestFrame(int width = 800, int height = 600);

// A real left click (XTest) at a point of `window`'s client area, a single click: it comes
// once the last click can no longer make it part of a double or triple click.
void ClickAt(wxWindow* window, const wxPoint& clientPoint);
// The same at once, which the toolkit may take as the next click of a double click.
void ClickAgainAt(wxWindow* window, const wxPoint& clientPoint);

}  // namespace zentrik_test
