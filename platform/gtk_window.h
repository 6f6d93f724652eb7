#pragma once

// Two GTK calls the toolkit offers no wrapper for; GTK is loaded with the toolkit, so they
// are looked up at run time and need no GTK headers.

namespace platform {

// Puts a shown top-level window on top of the others without giving it the keyboard focus
// (the toolkit's own raise also activates the window). `gtkWindow` is the window's native
// handle, a GtkWindow. False when the window is not realised or GDK is not loaded.
bool RaiseWithoutFocus(void* gtkWindow);

// Gives a GtkScrolledWindow (the native handle of a multi-line text box) scroll bars that
// stay on screen while there is something to scroll, instead of overlay indicators that
// appear only under the pointer. False when GTK is not loaded.
bool KeepScrollBarsVisible(void* gtkScrolledWindow);

}  // namespace platform
