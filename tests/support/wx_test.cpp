#include "tests/support/wx_test.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/treectrl.h>
#include <wx/uiaction.h>

#include <gtk/gtk.h>

#include "platform/gtk_window.h"

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

wxFrame* ShowTestFrame(int width, int height) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "test", wxPoint(0, 0), wxSize(width, height));
    frame->Show();
    frame->Raise();
    WaitUntil([frame] { return frame->IsShownOnScreen(); });
    DispatchPending();
    return frame;
}

namespace {

std::chrono::steady_clock::time_point lastClick;

void ClickAgainAt(wxWindow* window, const wxPoint& clientPoint) {
    wxUIActionSimulator simulator;
    simulator.MouseMove(window->ClientToScreen(clientPoint));
    simulator.MouseClick();
    lastClick = std::chrono::steady_clock::now();
}

}  // namespace

bool SecondClickAt(wxWindow* window, const wxPoint& clientPoint,
                   const std::function<bool()>& done) {
    const int usual = platform::DoubleClickTime();
    platform::SetDoubleClickTime(60 * 60 * 1000);
    int doubleClicks = 0;
    const auto count = [&doubleClicks](wxMouseEvent& event) {
        event.Skip();
        ++doubleClicks;
    };
    window->Bind(wxEVT_LEFT_DCLICK, count);
    ClickAgainAt(window, clientPoint);
    const bool happened = WaitUntil(done);
    window->Unbind(wxEVT_LEFT_DCLICK, count);
    platform::SetDoubleClickTime(usual);
    return happened && doubleClicks == 1;
}

void ClickAt(wxWindow* window, const wxPoint& clientPoint) {
    // A click within the double-click time of the last one would be the second click of a
    // double click, and one within twice that time after a double click the third of a
    // triple click; events are dispatched until neither can be.
    const auto quiet = std::chrono::milliseconds(2 * platform::DoubleClickTime());
    WaitUntil([&] { return std::chrono::steady_clock::now() - lastClick > quiet; },
              quiet + std::chrono::seconds(1));
    ClickAgainAt(window, clientPoint);
}

wxPoint PointOnTreeItem(wxTreeCtrl* tree, const wxTreeItemId& node, int flag) {
    wxRect text;
    EXPECT_TRUE(tree->GetBoundingRect(node, text, true));
    for (int x = 0; x < text.x; ++x) {
        int flags = 0;
        const wxPoint point(x, text.y + text.height / 2);
        if (tree->HitTest(point, flags) == node && (flags & flag)) return point;
    }
    return wxPoint();
}

std::vector<unsigned char> ScreenPixels(const wxRect& rect) {
    std::vector<unsigned char> pixels;
    GdkPixbuf* shot = gdk_pixbuf_get_from_window(gdk_get_default_root_window(), rect.x, rect.y,
                                                 rect.width, rect.height);
    if (shot == nullptr) return pixels;
    const int rowBytes = gdk_pixbuf_get_width(shot) * gdk_pixbuf_get_n_channels(shot);
    const guchar* data = gdk_pixbuf_read_pixels(shot);
    for (int y = 0; y < gdk_pixbuf_get_height(shot); ++y) {
        const guchar* row = data + y * gdk_pixbuf_get_rowstride(shot);
        pixels.insert(pixels.end(), row, row + rowBytes);
    }
    g_object_unref(shot);
    return pixels;
}

}  // namespace zentrik_test
