#include "x_windows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <stdexcept>

namespace x11_harness {
namespace {

// XGetWindowAttributes fails (and returns 0) for a window destroyed after
// it was listed; that window simply no longer counts.
std::optional<XWindowAttributes> attributesOf(XConnection& x, WindowId window) {
    XWindowAttributes attributes{};
    const Status ok = XGetWindowAttributes(x.display(), window, &attributes);
    x.syncIgnoringErrors();
    if (ok == 0) {
        return std::nullopt;
    }
    return attributes;
}

std::string describeWindow(XConnection& x, WindowId window) {
    return std::to_string(window) + " \"" + windowTitle(x, window) + "\"" +
           (isViewable(x, window) ? " viewable" : " not viewable");
}

std::string describeTopLevelWindows(XConnection& x) {
    std::string text;
    for (const WindowId window : topLevelWindows(x)) {
        text += (text.empty() ? "" : ", ") + describeWindow(x, window);
    }
    return text.empty() ? "no top-level windows" : "top-level windows: " + text;
}

bool isProgramWindow(XConnection& x, WindowId window, const std::string& title, pid_t owner) {
    if (!isViewable(x, window) || windowTitle(x, window) != title) {
        return false;
    }
    const auto process = windowProcess(x, window);
    return !process || *process == owner;
}

bool holdsAtom(const std::vector<Atom>& atoms, Atom wanted) {
    return std::find(atoms.begin(), atoms.end(), wanted) != atoms.end();
}

std::vector<Atom> windowProtocols(XConnection& x, WindowId window) {
    Atom* protocols = nullptr;
    int count = 0;
    std::vector<Atom> result;
    if (XGetWMProtocols(x.display(), window, &protocols, &count) != 0) {
        result.assign(protocols, protocols + count);
        XFree(protocols);
    }
    x.syncIgnoringErrors();
    return result;
}

}  // namespace

std::string describe(const WindowGeometry& geometry) {
    return std::to_string(geometry.width) + "x" + std::to_string(geometry.height) + "+" +
           std::to_string(geometry.x) + "+" + std::to_string(geometry.y);
}

std::vector<WindowId> topLevelWindows(XConnection& x) {
    WindowId root = 0;
    WindowId parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    std::vector<WindowId> windows;
    if (XQueryTree(x.display(), x.root(), &root, &parent, &children, &count) != 0) {
        windows.assign(children, children + count);
        XFree(children);
    }
    return windows;
}

std::string windowTitle(XConnection& x, WindowId window) {
    char* name = nullptr;
    std::string title;
    if (XFetchName(x.display(), window, &name) != 0 && name != nullptr) {
        title = name;
        XFree(name);
    }
    x.syncIgnoringErrors();
    return title;
}

std::optional<pid_t> windowProcess(XConnection& x, WindowId window) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long bytesAfter = 0;
    unsigned char* data = nullptr;
    std::optional<pid_t> process;
    const int status = XGetWindowProperty(x.display(), window, x.atom("_NET_WM_PID"), 0, 1, False,
                                          XA_CARDINAL, &type, &format, &count, &bytesAfter, &data);
    if (status == Success && data != nullptr && format == 32 && count == 1) {
        // Xlib hands 32-bit properties over as an array of long.
        process = static_cast<pid_t>(*reinterpret_cast<const long*>(data));
    }
    if (data != nullptr) {
        XFree(data);
    }
    x.syncIgnoringErrors();
    return process;
}

bool isViewable(XConnection& x, WindowId window) {
    const auto attributes = attributesOf(x, window);
    return attributes && attributes->map_state == IsViewable;
}

WindowGeometry windowGeometry(XConnection& x, WindowId window) {
    const auto attributes = attributesOf(x, window);
    if (!attributes) {
        throw std::runtime_error("window " + std::to_string(window) + " no longer exists");
    }
    int rootX = 0;
    int rootY = 0;
    WindowId child = 0;
    XTranslateCoordinates(x.display(), window, x.root(), 0, 0, &rootX, &rootY, &child);
    x.syncAndCheck("locating window " + std::to_string(window));
    return {rootX, rootY, attributes->width, attributes->height};
}

WindowId waitForWindow(XConnection& x, const std::string& title, pid_t owner,
                       Milliseconds timeout) {
    const auto findIt = [&]() -> std::optional<WindowId> {
        for (const WindowId window : topLevelWindows(x)) {
            if (isProgramWindow(x, window, title, owner)) {
                return window;
            }
        }
        return std::nullopt;
    };
    return *waitFor(
        "a viewable window titled \"" + title + "\"", timeout, findIt,
        [](const std::optional<WindowId>& found) { return found.has_value(); },
        [&](const std::optional<WindowId>&) { return describeTopLevelWindows(x); });
}

std::vector<WindowId> viewableWindows(XConnection& x, WindowKind kind) {
    const bool wantPopups = kind == WindowKind::Popup;
    std::vector<WindowId> found;
    for (const WindowId window : topLevelWindows(x)) {
        const auto attributes = attributesOf(x, window);
        if (attributes && attributes->map_state == IsViewable &&
            (attributes->override_redirect != 0) == wantPopups) {
            found.push_back(window);
        }
    }
    return found;
}

WindowId waitForPopup(XConnection& x, Milliseconds timeout) {
    return waitFor(
               "exactly one viewable pop-up window", timeout,
               [&] { return viewableWindows(x, WindowKind::Popup); },
               [](const std::vector<WindowId>& popups) { return popups.size() == 1; },
               [](const std::vector<WindowId>& popups) {
                   return std::to_string(popups.size()) + " pop-up window(s)";
               })
        .front();
}

void waitForNoPopup(XConnection& x, Milliseconds timeout) {
    waitFor(
        "no viewable pop-up window", timeout, [&] { return viewableWindows(x, WindowKind::Popup); },
        [](const std::vector<WindowId>& popups) { return popups.empty(); },
        [](const std::vector<WindowId>& popups) {
            return std::to_string(popups.size()) + " pop-up window(s)";
        });
}

void moveWindow(XConnection& x, WindowId window, int screenX, int screenY) {
    XMoveWindow(x.display(), window, screenX, screenY);
    x.syncAndCheck("moving window " + std::to_string(window));
}

void focusWindow(XConnection& x, WindowId window) {
    XSetInputFocus(x.display(), window, RevertToPointerRoot, CurrentTime);
    x.syncAndCheck("focusing window " + std::to_string(window));
}

void resizeWindow(XConnection& x, WindowId window, int width, int height) {
    XResizeWindow(x.display(), window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    x.syncAndCheck("resizing window " + std::to_string(window));
}

void requestClose(XConnection& x, WindowId window) {
    const Atom protocols = x.atom("WM_PROTOCOLS");
    const Atom deleteWindow = x.atom("WM_DELETE_WINDOW");
    if (!holdsAtom(windowProtocols(x, window), deleteWindow)) {
        throw std::runtime_error("window " + std::to_string(window) +
                                 " does not accept WM_DELETE_WINDOW");
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(deleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(x.display(), window, False, NoEventMask, &event);
    x.syncAndCheck("sending WM_DELETE_WINDOW to window " + std::to_string(window));
}

}  // namespace x11_harness
