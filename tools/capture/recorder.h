// SPDX-License-Identifier: MIT
// Runs the program on a private virtual X server, sends the requested input
// and records the frames its window shows.
#pragma once

#include <string>
#include <vector>

#include "capture_options.h"
#include "rgb_image.h"

namespace capture {

struct Recording {
    std::vector<x11_harness::RgbImage> frames;  // in the order the program drew them
    std::string consoleOutput;                  // what the program wrote meanwhile
};

// Starts options.program with options.programArguments on its own Xvfb,
// waits for its window and first frame, sends options.keys and the menu
// choice, and records options.frames consecutive frames. The program and
// the server are stopped before this returns. Throws std::runtime_error,
// with the program's own error output, if any step fails.
Recording recordProgram(const CaptureOptions& options);

}  // namespace capture
