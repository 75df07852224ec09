// SPDX-License-Identifier: MIT
// The capture tool's command line: what to run, what input to send first,
// how many frames to record and where to put them.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "x_types.h"

namespace capture {

struct CaptureOptions {
    std::string program;                        // the executable to start
    std::vector<std::string> programArguments;  // everything after "--": toolkit options
    int frames = 30;                            // 3 s of the program's 10 frames per second
    std::string outputDirectory = "capture";
    std::vector<x11_harness::KeySymbol> keys;  // tapped in order before recording
    bool toggleFill = false;                   // pick the menu's fill/wireframe entry first
    bool helpWanted = false;                   // --help: print the usage text, record nothing
};

// A command line the tool cannot follow; the message says what is wrong.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads argv[1..argc-1]. `defaultProgram` is used unless --program is given.
// Throws UsageError for an unknown option, a missing or bad value, or a key
// name X does not know.
CaptureOptions parseOptions(int argc, const char* const* argv, const std::string& defaultProgram);

// The help text, starting with the usage line.
std::string usageText();

}  // namespace capture
