#pragma once

// GTK calls the toolkit offers no wrapper for. The handles are the toolkit's native ones,
// passed untyped so that callers need no GTK headers. A handle of the wrong kind makes a
// call return false and is reported once on standard error.

namespace platform {

// Puts a shown top-level window on top of the others without giving it the keyboard focus
// (the toolkit's own raise also activates the window). `gtkWindow` is the window's native
// handle, a GtkWindow. False when the window is not realised.
bool RaiseWithoutFocus(void* gtkWindow);

// Gives a GtkScrolledWindow (the native handle of a multi-line text box) scroll bars that
// stay on screen while there is something to scroll, instead of overlay indicators that
// appear only under the pointer.
bool KeepScrollBarsVisible(void* gtkScrolledWindow);

// Leaves `pixels` of space below every line of a multi-line text box (the native handle, a
// GtkScrolledWindow holding a GtkTextView). Some fonts draw an underscore below the line
// height they give, where the next line's background covers it.
bool SetLineGap(void* gtkScrolledWindow, int pixels);

// Gives a top-level window that was never shown the size it is about to be shown at, so
// that its native window is created at that size. Under a window manager the toolkit
// creates it first at a stub size of two by one pixels while it waits for the size of the
// decorations, and a menu bar laid out in one pixel makes GTK report a critical error.
// False when the window is already realised.
bool SizeBeforeFirstShow(void* gtkWindow, int width, int height);

// Gives a top-level window that was never shown a title bar that the toolkit draws: the
// window's title and no buttons. Window managers draw minimise, maximise and close buttons
// on every window they decorate, whatever the window asks for, but leave undecorated a
// window that draws its own title bar; a drag on it moves the window, with or without a
// window manager. False when the window is already realised.
bool TitleBarWithoutButtons(void* gtkWindow);

// Whether the window has been put on screen (mapped). Under a window manager a top-level
// window is put there some time after the toolkit's Show returns.
bool IsMapped(void* gtkWidget);

// A place and size on the screen, in pixels.
struct ScreenRect {
    int x = 0, y = 0, width = 0, height = 0;
};

// The place and size a shown top-level window has on the screen now, its window manager's
// decorations included, as the display server reports them. The toolkit learns a new size
// only when it next lays the window out, some time after a move or resize has been made;
// a window closed in between would otherwise report its old size. False when the window is
// not realised.
bool FrameRectangle(void* gtkWindow, ScreenRect& rect);

// The toolkit's double-click time in milliseconds (GTK's setting, which the desktop may
// change): a press this soon after another at about the same place is reported as the
// second click of a double click, and one soon after that as the third.
int DoubleClickTime();
// Changes it for this process only.
void SetDoubleClickTime(int milliseconds);

}  // namespace platform
