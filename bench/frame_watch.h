// SPDX-License-Identifier: MIT
// Sees the frames a program puts on screen, from outside the program.
//
// With Mesa's software renderer on Xvfb every buffer swap reaches the
// server as one image written into the window, and the XDamage extension
// reports each such write as it happens. So one damage report inside the
// program's main window is one frame delivered, and its arrival time is the
// frame's time as a viewer would see it.
//
// The watcher follows damage on the whole screen (the root window), not on
// the program's window: it is set up before the program starts, so even a
// first frame drawn before the watcher has learnt of the window is counted.
#pragma once

#include <cstddef>
#include <vector>

#include "wait_for.h"
#include "x_connection.h"
#include "x_types.h"

namespace bench {

using x11_harness::Clock;

class FrameWatch {
public:
    // Starts watching the screen for new windows and for drawing. Create it
    // before starting the program. Throws std::runtime_error if the server
    // has no XDamage extension.
    explicit FrameWatch(x11_harness::XConnection& x);
    // Stops watching and forgets the window.
    ~FrameWatch();

    FrameWatch(const FrameWatch&) = delete;
    FrameWatch& operator=(const FrameWatch&) = delete;

    // Handles events as they arrive until `deadline`, sleeping in between,
    // so each frame is stamped with the moment it reached the watcher.
    void collectUntil(Clock::time_point deadline);
    // Handles the events that have already arrived, without waiting.
    void collectPending();
    // Collects until at least `count` frames have been seen in all, or until
    // `deadline`; returns whether the count was reached.
    bool collectUntilFrames(std::size_t count, Clock::time_point deadline);
    // Like collectUntilFrames, but missing the count is an error: throws
    // x11_harness::TimeoutError if it is not reached within `timeout`.
    void waitForFrames(std::size_t count, x11_harness::Milliseconds timeout);

    // The program's main window, or 0 before it has been created.
    x11_harness::WindowId mainWindow() const { return mainWindow_; }
    // When each frame on the main window arrived, oldest first.
    const std::vector<Clock::time_point>& frameTimes() const { return frameTimes_; }

private:
    // Handles events until `deadline` or until `frameCount` frames have been
    // seen; with `wait` false, only those already arrived.
    void handleEvents(bool wait, Clock::time_point deadline, std::size_t frameCount);
    void discardQueuedEvents();

    // Where a window lies on the screen.
    struct Area {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
    };

    x11_harness::XConnection& x_;
    int damageEventBase_ = 0;
    unsigned long screenDamage_ = 0;  // the XDamage object on the root window
    x11_harness::WindowId mainWindow_ = 0;
    Area mainWindowArea_;
    std::vector<Clock::time_point> frameTimes_;
};

}  // namespace bench
