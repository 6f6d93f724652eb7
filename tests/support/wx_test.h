#pragma once

#include <chrono>
#include <functional>
#include <vector>

class wxFrame;
class wxPoint;
class wxRect;
class wxTreeCtrl;
class wxTreeItemId;
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
// A point of `tree`'s client area, left of `node`'s label on its middle line, that hits the
// part of the row `flag` names (a wxTREE_HITTEST_ flag: the check box, the expand button);
// x 0 when none does.
wxPoint PointOnTreeItem(wxTreeCtrl* tree, const wxTreeItemId& node, int flag);
// A click at once after the last one at the same point, with the toolkit's double-click
// time made long enough for the click to be the second of a double click on any machine;
// then dispatches events until `done`. True when `done` came and the click was reported as
// a double click.
bool SecondClickAt(wxWindow* window, const wxPoint& clientPoint,
                   const std::function<bool()>& done);

// The pixels the display shows in a rectangle of the screen, as the user sees them (what
// every window there drew last), row by row; empty when they cannot be read.
std::vector<unsigned char> ScreenPixels(const wxRect& rect);

}  // namespace zentrik_test
