#include "platform/gtk_window.h"

#include <gtk/gtk.h>

#include <cstdio>

namespace platform {

namespace {

// A handle that is not the GTK object a call expects is a mistake of the caller's; it is
// reported once per call, not on every event that repeats it.
bool Expected(bool ok, const char* call, bool& reported) {
    if (!ok && !reported) {
        reported = true;
        std::fprintf(stderr, "%s: the handle is not the GTK widget it needs\n", call);
    }
    return ok;
}

GtkWidget* AsWindow(void* handle, const char* call, bool& reported) {
    return Expected(handle != nullptr && GTK_IS_WINDOW(handle), call, reported)
               ? GTK_WIDGET(handle)
               : nullptr;
}

}  // namespace

bool RaiseWithoutFocus(void* gtkWindow) {
    static bool reported = false;
    GtkWidget* widget = AsWindow(gtkWindow, "RaiseWithoutFocus", reported);
    if (widget == nullptr) return false;
    GdkWindow* window = gtk_widget_get_window(widget);
    if (window == nullptr) return false;
    gdk_window_raise(window);
    return true;
}

bool KeepScrollBarsVisible(void* gtkScrolledWindow) {
    static bool reported = false;
    if (!Expected(gtkScrolledWindow != nullptr && GTK_IS_SCROLLED_WINDOW(gtkScrolledWindow),
                  "KeepScrollBarsVisible", reported))
        return false;
    gtk_scrolled_window_set_overlay_scrolling(GTK_SCROLLED_WINDOW(gtkScrolledWindow), FALSE);
    return true;
}

bool SetLineGap(void* gtkScrolledWindow, int pixels) {
    static bool reported = false;
    if (!Expected(gtkScrolledWindow != nullptr && GTK_IS_SCROLLED_WINDOW(gtkScrolledWindow),
                  "SetLineGap", reported))
        return false;
    GtkWidget* child = gtk_bin_get_child(GTK_BIN(gtkScrolledWindow));
    if (!Expected(child != nullptr && GTK_IS_TEXT_VIEW(child), "SetLineGap", reported))
        return false;
    gtk_text_view_set_pixels_below_lines(GTK_TEXT_VIEW(child), pixels);
    return true;
}

bool SizeBeforeFirstShow(void* gtkWindow, int width, int height) {
    static bool reported = false;
    GtkWidget* widget = AsWindow(gtkWindow, "SizeBeforeFirstShow", reported);
    if (widget == nullptr || gtk_widget_get_realized(widget) || width < 1 || height < 1)
        return false;
    GtkAllocation allocation{0, 0, width, height};
    gtk_widget_set_allocation(widget, &allocation);
    return true;
}

bool TitleBarWithoutButtons(void* gtkWindow) {
    static bool reported = false;
    GtkWidget* widget = AsWindow(gtkWindow, "TitleBarWithoutButtons", reported);
    if (widget == nullptr || gtk_widget_get_realized(widget)) return false;
    // The window's title was set when the toolkit made it; the bar shows it from now on.
    GtkWidget* bar = gtk_header_bar_new();
    gtk_header_bar_set_title(GTK_HEADER_BAR(bar), gtk_window_get_title(GTK_WINDOW(widget)));
    gtk_header_bar_set_show_close_button(GTK_HEADER_BAR(bar), FALSE);
    gtk_widget_show(bar);
    gtk_window_set_titlebar(GTK_WINDOW(widget), bar);
    return true;
}

bool IsMapped(void* gtkWidget) {
    static bool reported = false;
    return Expected(gtkWidget != nullptr && GTK_IS_WIDGET(gtkWidget), "IsMapped", reported) &&
           gtk_widget_get_mapped(GTK_WIDGET(gtkWidget));
}

bool FrameRectangle(void* gtkWindow, ScreenRect& rect) {
    static bool reported = false;
    GtkWidget* widget = AsWindow(gtkWindow, "FrameRectangle", reported);
    if (widget == nullptr) return false;
    GdkWindow* window = gtk_widget_get_window(widget);
    if (window == nullptr) return false;
    GdkRectangle extents{0, 0, 0, 0};
    gdk_window_get_frame_extents(window, &extents);
    if (extents.width < 1 || extents.height < 1) return false;
    rect = ScreenRect{extents.x, extents.y, extents.width, extents.height};
    return true;
}

}  // namespace platform

namespace platform {

int DoubleClickTime() {
    gint time = 0;
    g_object_get(gtk_settings_get_default(), "gtk-double-click-time", &time, nullptr);
    return time;
}

void SetDoubleClickTime(int milliseconds) {
    g_object_set(gtk_settings_get_default(), "gtk-double-click-time", milliseconds, nullptr);
}

}  // namespace platform
