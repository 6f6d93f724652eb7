#include "platform/gtk_window.h"

#include <dlfcn.h>

namespace platform {

namespace {

template <typename Function>
Function Lookup(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_DEFAULT, name));
}

}  // namespace

bool RaiseWithoutFocus(void* gtkWindow) {
    static const auto getWindow = Lookup<void* (*)(void*)>("gtk_widget_get_window");
    static const auto raise = Lookup<void (*)(void*)>("gdk_window_raise");
    if (gtkWindow == nullptr || getWindow == nullptr || raise == nullptr) return false;
    void* window = getWindow(gtkWindow);
    if (window == nullptr) return false;
    raise(window);
    return true;
}

bool KeepScrollBarsVisible(void* gtkScrolledWindow) {
    static const auto setOverlay =
        Lookup<void (*)(void*, int)>("gtk_scrolled_window_set_overlay_scrolling");
    if (gtkScrolledWindow == nullptr || setOverlay == nullptr) return false;
    setOverlay(gtkScrolledWindow, 0);
    return true;
}

bool SizeBeforeFirstShow(void* gtkWindow, int width, int height) {
    struct Allocation {
        int x, y, width, height;
    };
    static const auto realized = Lookup<int (*)(void*)>("gtk_widget_get_realized");
    static const auto setAllocation =
        Lookup<void (*)(void*, const Allocation*)>("gtk_widget_set_allocation");
    if (gtkWindow == nullptr || realized == nullptr || setAllocation == nullptr ||
        realized(gtkWindow) != 0 || width < 1 || height < 1)
        return false;
    const Allocation allocation{0, 0, width, height};
    setAllocation(gtkWindow, &allocation);
    return true;
}

bool IsMapped(void* gtkWidget) {
    static const auto mapped = Lookup<int (*)(void*)>("gtk_widget_get_mapped");
    return gtkWidget != nullptr && mapped != nullptr && mapped(gtkWidget) != 0;
}

bool FrameRectangle(void* gtkWindow, ScreenRect& rect) {
    struct Rectangle {
        int x, y, width, height;
    };
    static const auto getWindow = Lookup<void* (*)(void*)>("gtk_widget_get_window");
    static const auto frameExtents =
        Lookup<void (*)(void*, Rectangle*)>("gdk_window_get_frame_extents");
    if (gtkWindow == nullptr || getWindow == nullptr || frameExtents == nullptr) return false;
    void* window = getWindow(gtkWindow);
    if (window == nullptr) return false;
    Rectangle extents{0, 0, 0, 0};
    frameExtents(window, &extents);
    if (extents.width < 1 || extents.height < 1) return false;
    rect = ScreenRect{extents.x, extents.y, extents.width, extents.height};
    return true;
}

}  // namespace platform
