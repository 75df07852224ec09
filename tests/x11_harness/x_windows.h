// Finding the windows of the program under test and acting on them as a
// window manager or the user would.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "wait_for.h"
#include "x_connection.h"
#include "x_types.h"

namespace x11_harness {

// Where a window's inside is on the screen (relative to the root window)
// and how large it is.
struct WindowGeometry {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

std::string describe(const WindowGeometry& geometry);

// The children of the root window, bottom to top.
std::vector<WindowId> topLevelWindows(XConnection& x);

// WM_NAME, the title, or an empty string if the window has none (or is gone).
std::string windowTitle(XConnection& x, WindowId window);

// _NET_WM_PID, the process that says it owns the window, if the window says.
std::optional<pid_t> windowProcess(XConnection& x, WindowId window);

bool isViewable(XConnection& x, WindowId window);

// Throws std::runtime_error if the window no longer exists.
WindowGeometry windowGeometry(XConnection& x, WindowId window);

// Waits for a viewable top-level window titled `title`. If the window
// carries _NET_WM_PID it must equal `owner`, so that a window left over by
// an earlier program on the same server is never taken for the new one.
// Throws TimeoutError listing the top-level windows seen.
WindowId waitForWindow(XConnection& x, const std::string& title, pid_t owner, Milliseconds timeout);

enum class WindowKind {
    // Ordinary application windows, the ones a window manager manages.
    Managed,
    // Override-redirect windows, which bypass the window manager: pop-up
    // menus and tooltips.
    Popup,
};

// The top-level windows of one kind that are currently viewable.
std::vector<WindowId> viewableWindows(XConnection& x, WindowKind kind);

// Waits until exactly one pop-up is viewable and returns it.
WindowId waitForPopup(XConnection& x, Milliseconds timeout);
// Waits until no pop-up is viewable.
void waitForNoPopup(XConnection& x, Milliseconds timeout);

// Moves the window's top-left corner to (x, y) on the screen, the way a
// window manager places a window. Waits until the server has done it.
void moveWindow(XConnection& x, WindowId window, int screenX, int screenY);

// Gives the window the keyboard focus, as a window manager does when the
// user clicks on it, so that key events go to it wherever the pointer is.
void focusWindow(XConnection& x, WindowId window);

// Resizes the window the way a window manager would; the server sends the
// owner a ConfigureNotify. Waits until the server has done it.
void resizeWindow(XConnection& x, WindowId window, int width, int height);

// Asks the owner to close the window the way a window manager does: a
// WM_PROTOCOLS client message carrying WM_DELETE_WINDOW. Throws
// std::runtime_error if the window does not take part in that protocol.
void requestClose(XConnection& x, WindowId window);

}  // namespace x11_harness
