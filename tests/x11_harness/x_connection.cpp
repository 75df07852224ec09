#include "x_connection.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <optional>
#include <stdexcept>
#include <type_traits>

namespace x11_harness {

static_assert(std::is_same_v<XDisplay, Display> && std::is_same_v<WindowId, Window> &&
                  std::is_same_v<KeySymbol, KeySym> && std::is_same_v<AtomId, Atom>,
              "x_types.h must name the same types as Xlib");

namespace {

// Xlib reports errors through one process-wide callback. The harness is
// driven from a single thread, so a single slot for the first error since
// the last check is enough.
std::optional<XErrorEvent> pendingError;

int rememberError(Display*, XErrorEvent* event) {
    if (!pendingError) {
        pendingError = *event;
    }
    return 0;
}

std::string errorText(Display* display, const XErrorEvent& error) {
    char text[256] = {};
    XGetErrorText(display, error.error_code, text, sizeof text);
    return std::string(text) + " (request " + std::to_string(error.request_code) + "." +
           std::to_string(error.minor_code) + ", resource " + std::to_string(error.resourceid) +
           ")";
}

}  // namespace

XConnection::XConnection(const std::string& displayName) : displayName_(displayName) {
    XSetErrorHandler(rememberError);
    display_ = XOpenDisplay(displayName.c_str());
    if (display_ == nullptr) {
        throw std::runtime_error("cannot connect to the X server " + displayName);
    }
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (!XTestQueryExtension(display_, &eventBase, &errorBase, &major, &minor)) {
        XCloseDisplay(display_);
        throw std::runtime_error("the X server " + displayName + " has no XTEST extension");
    }
}

XConnection::~XConnection() { XCloseDisplay(display_); }

WindowId XConnection::root() const { return DefaultRootWindow(display_); }

AtomId XConnection::atom(const char* name) const { return XInternAtom(display_, name, False); }

void XConnection::syncAndCheck(const std::string& what) {
    XSync(display_, False);
    if (pendingError) {
        const XErrorEvent error = *pendingError;
        pendingError.reset();
        throw std::runtime_error(what + " failed: " + errorText(display_, error));
    }
}

void XConnection::syncIgnoringErrors() {
    XSync(display_, False);
    pendingError.reset();
}

}  // namespace x11_harness
