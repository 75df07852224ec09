// SPDX-License-Identifier: MIT
#include "frame_watch.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>

#include <chrono>
#include <limits>
#include <stdexcept>
#include <string>

namespace bench {
namespace {

using x11_harness::Milliseconds;

constexpr std::size_t NO_FRAME_COUNT = std::numeric_limits<std::size_t>::max();

}  // namespace

FrameWatch::FrameWatch(x11_harness::XConnection& x) : x_(x) {
    int errorBase = 0;
    if (!XDamageQueryExtension(x_.display(), &damageEventBase_, &errorBase)) {
        throw std::runtime_error("the X server " + x_.displayName() + " has no XDamage extension");
    }
    // Window creation and moves on the screen, to know where the program's
    // main window is, and every drawing on the screen, to see its frames.
    XSelectInput(x_.display(), x_.root(), SubstructureNotifyMask);
    screenDamage_ = XDamageCreate(x_.display(), x_.root(), XDamageReportRawRectangles);
    x_.syncAndCheck("watching the screen");
    // A new damage object first reports the whole screen; that is no frame.
    discardQueuedEvents();
}

FrameWatch::~FrameWatch() {
    XDamageDestroy(x_.display(), screenDamage_);
    XSelectInput(x_.display(), x_.root(), NoEventMask);
    x_.syncIgnoringErrors();
    // Events about this program still queued must not reach the next watcher.
    discardQueuedEvents();
}

void FrameWatch::collectUntil(Clock::time_point deadline) {
    handleEvents(true, deadline, NO_FRAME_COUNT);
}

void FrameWatch::collectPending() { handleEvents(false, Clock::now(), NO_FRAME_COUNT); }

bool FrameWatch::collectUntilFrames(std::size_t count, Clock::time_point deadline) {
    handleEvents(true, deadline, count);
    return frameTimes_.size() >= count;
}

void FrameWatch::waitForFrames(std::size_t count, Milliseconds timeout) {
    if (!collectUntilFrames(count, Clock::now() + timeout)) {
        throw x11_harness::TimeoutError(
            "timed out after " + std::to_string(timeout.count()) + " ms waiting for " +
            std::to_string(count) + " frame(s); seen " + std::to_string(frameTimes_.size()) +
            (mainWindow_ == 0 ? ", and no main window was created" : " on the main window"));
    }
}

void FrameWatch::handleEvents(bool wait, Clock::time_point deadline, std::size_t frameCount) {
    Display* display = x_.display();
    while (frameTimes_.size() < frameCount) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            const auto arrived = Clock::now();
            if (event.type == CreateNotify && event.xcreatewindow.override_redirect == False &&
                mainWindow_ == 0) {
                // Pop-up menus are override-redirect windows; the first
                // ordinary window created is the program's main window.
                const XCreateWindowEvent& created = event.xcreatewindow;
                mainWindow_ = created.window;
                mainWindowArea_ = {created.x, created.y, created.width, created.height};
            } else if (event.type == ConfigureNotify && event.xconfigure.window == mainWindow_) {
                const XConfigureEvent& moved = event.xconfigure;
                mainWindowArea_ = {moved.x, moved.y, moved.width, moved.height};
            } else if (event.type == damageEventBase_ + XDamageNotify) {
                // Areas are in screen coordinates, since the damage object
                // is on the root window. One write may arrive as several
                // rectangles; the last one (more == False) closes the frame.
                const auto& damage = reinterpret_cast<const XDamageNotifyEvent&>(event);
                const Area& window = mainWindowArea_;
                const bool insideMainWindow = mainWindow_ != 0 &&
                                              damage.area.x < window.x + window.width &&
                                              damage.area.x + damage.area.width > window.x &&
                                              damage.area.y < window.y + window.height &&
                                              damage.area.y + damage.area.height > window.y;
                if (insideMainWindow && damage.more == False) {
                    frameTimes_.push_back(arrived);
                }
            }
        }
        const auto left = std::chrono::ceil<Milliseconds>(deadline - Clock::now());
        if (!wait || left.count() <= 0) {
            return;
        }
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        ::poll(&connection, 1, static_cast<int>(left.count()));
    }
}

void FrameWatch::discardQueuedEvents() {
    while (XPending(x_.display()) > 0) {
        XEvent ignored;
        XNextEvent(x_.display(), &ignored);
    }
}

}  // namespace bench
