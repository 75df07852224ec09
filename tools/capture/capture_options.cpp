// SPDX-License-Identifier: MIT
#include "capture_options.h"

#include <X11/Xlib.h>

#include <string_view>

namespace capture {
namespace {

// The frame count is held in memory before encoding: a bound keeps a typo
// such as 30000 from filling it (1000 frames of 300x300 pixels: 270 MB).
constexpr int MAX_FRAMES = 1000;

int parseFrameCount(const std::string& text) {
    std::size_t used = 0;
    int count = 0;
    try {
        count = std::stoi(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != text.size() || count < 1 || count > MAX_FRAMES) {
        throw UsageError("--frames needs a whole number from 1 to " + std::to_string(MAX_FRAMES) +
                         ", not \"" + text + "\"");
    }
    return count;
}

// X's own names: Up, Down, Left, Right, a, Escape, F1, ...
x11_harness::KeySymbol parseKey(const std::string& name) {
    const KeySym key = XStringToKeysym(name.c_str());
    if (key == NoSymbol) {
        throw UsageError("--key: X knows no key named \"" + name + "\" (try Up, Left, a, F1)");
    }
    return key;
}

}  // namespace

CaptureOptions parseOptions(int argc, const char* const* argv, const std::string& defaultProgram) {
    CaptureOptions options;
    options.program = defaultProgram;
    int index = 1;
    // The value after an option such as --frames.
    const auto valueOf = [&](std::string_view option) -> std::string {
        if (index + 1 >= argc) {
            throw UsageError(std::string(option) + " needs a value");
        }
        return argv[++index];
    };
    for (; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (argument == "--") {
            options.programArguments.assign(argv + index + 1, argv + argc);
            break;
        }
        if (argument == "--help") {
            options.helpWanted = true;
        } else if (argument == "--frames") {
            options.frames = parseFrameCount(valueOf(argument));
        } else if (argument == "--out") {
            options.outputDirectory = valueOf(argument);
        } else if (argument == "--key") {
            options.keys.push_back(parseKey(valueOf(argument)));
        } else if (argument == "--wireframe") {
            options.toggleFill = true;
        } else if (argument == "--program") {
            options.program = valueOf(argument);
        } else {
            throw UsageError("unknown option \"" + std::string(argument) +
                             "\"; options for the program go after \"--\"");
        }
    }
    return options;
}

std::string usageText() {
    return "usage: glut-alap-capture [options] [-- program options]\n"
           "\n"
           "Starts the program on a private virtual X server (Xvfb), optionally sends\n"
           "input, then records the frames it draws, one per animation step (100 ms),\n"
           "as PNG files and an animated GIF.\n"
           "\n"
           "  --frames N      frames to record (default 30, that is 3 s)\n"
           "  --out DIR       where to write frame-NN.png and animation.gif (default capture)\n"
           "  --key NAME      tap this key before recording, by its X name: Up, Down, Left,\n"
           "                  Right, a, F1, ...; may be given more than once\n"
           "  --wireframe     choose \"Drotvazas/kitoltott mod valtasa\" in the pop-up menu\n"
           "                  before recording, so the scene is drawn as outlines\n"
           "  --program PATH  the program to run (default: the one built beside this tool)\n"
           "  --help          show this text\n"
           "  -- OPTIONS      everything after -- goes to the program, e.g. -geometry 400x300\n";
}

}  // namespace capture
