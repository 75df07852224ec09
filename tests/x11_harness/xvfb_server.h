// A private X server for tests: Xvfb on a display number it picks itself,
// independent of the caller's DISPLAY, stopped when its owner goes away.
#pragma once

#include <memory>
#include <string>

#include "child_process.h"
#include "wait_for.h"

namespace x11_harness {

struct ScreenSize {
    int width = 1280;
    int height = 1024;
};

class XvfbServer {
public:
    // Starts Xvfb with one 24-bit screen of `screen` size and waits until it
    // accepts connections. Throws std::runtime_error (with the server's own
    // error output) if it does not come up within `startTimeout`.
    explicit XvfbServer(ScreenSize screen = {}, Milliseconds startTimeout = Milliseconds{10000});

    // The display name to connect to, for example ":3".
    const std::string& displayName() const { return displayName_; }

    // Environment entries that point a client at this server and at Mesa's
    // software renderer (the server has no GPU behind it).
    std::vector<std::string> clientEnvironment() const;

private:
    std::unique_ptr<ChildProcess> process_;
    std::string displayName_;
};

}  // namespace x11_harness
