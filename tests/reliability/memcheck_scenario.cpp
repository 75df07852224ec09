// SPDX-License-Identifier: MIT
// A short end-to-end scenario for running the program under a checker such
// as valgrind: the program starts under the command given here, draws, reports
// keys, turns the view, toggles the drawing mode twice, is resized and ends
// through its menu. Exits with the program's own exit status (a checker's
// error status comes through), or 1 if the scenario itself failed.
//
//   glut_alap_memcheck_scenario [--program PATH] [CHECKER ARGUMENTS...]
//   e.g. glut_alap_memcheck_scenario valgrind --tool=memcheck --error-exitcode=99
#include <X11/keysym.h>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "program_session.h"
#include "x_capture.h"
#include "x_windows.h"

namespace {

using namespace reliability;

// Under valgrind the first frame alone, with the GL driver's code
// generation, takes tens of seconds.
constexpr Milliseconds SLOW_TIMEOUT{300000};

bool trunkShows(x11_harness::XConnection& x, Window window) {
    return x11_harness::countNear(x11_harness::captureWindow(x, window), trunkGreen(),
                                  COLOUR_TOLERANCE) > 0;
}

void step(const char* what) {
    std::printf("scenario: %s\n", what);
    std::fflush(stdout);
}

int run(int argc, char** argv) {
    std::string program;
    SessionOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--program" && i + 1 < argc) {
            program = argv[++i];
        } else {
            options.wrapper.push_back(argument);
        }
    }
    options.windowTimeout = SLOW_TIMEOUT;

    x11_harness::XvfbServer server;
    x11_harness::XConnection x(server.displayName());
    step("starting");
    ProgramSession session(server, x, options, program);
    auto& process = session.process();
    const Window window = session.window();

    step("waiting for the first frame");
    x11_harness::waitUntil(
        "the first frame", SLOW_TIMEOUT, [&] { return trunkShows(x, window); },
        [] { return std::string("no trunk drawn"); });

    step("typing");
    const auto strokes = strokeSequence(20, 300, 300);
    std::string expected;
    for (const KeyStroke& stroke : strokes) {
        expected += reportLine(stroke);
    }
    sendStrokes(x, window, strokes);
    process.waitForOutput("the key reports", SLOW_TIMEOUT,
                          [&](const std::string& text) { return text == expected; });

    step("turning the view");
    sendKeys(x, {XK_Up, XK_Up, XK_Left, XK_Down, XK_Right, XK_Right, XK_F1});

    step("toggling the drawing mode twice");
    for (int toggle = 0; toggle < 2; ++toggle) {
        chooseMenuEntry(x, window, 150, 150, MENU_ENTRY_TOGGLE);
        expected += TOGGLE_LINE;
        process.waitForOutput("the toggle line", SLOW_TIMEOUT,
                              [&](const std::string& text) { return text == expected; });
    }

    step("resizing");
    for (const auto& size : std::vector<std::pair<int, int>>{{1, 1}, {500, 200}, {300, 300}}) {
        x11_harness::resizeWindow(x, window, size.first, size.second);
    }
    x11_harness::waitUntil(
        "a frame at the last size", SLOW_TIMEOUT, [&] { return trunkShows(x, window); },
        [] { return std::string("no trunk drawn"); });

    step("ending through the menu");
    chooseMenuEntry(x, window, 150, 150, MENU_ENTRY_EXIT);
    const auto status = process.waitForExit(SLOW_TIMEOUT);
    std::printf("scenario: the program %s\n", status.describe().c_str());
    if (process.output() != expected) {
        std::printf("scenario: console output differs: \"%s\"\n",
                    x11_harness::printable(process.output()).c_str());
        return 1;
    }
    std::fputs(process.errorOutput().c_str(), stderr);
    return status.exitedNormally ? status.code : 128 + status.code;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception& error) {
        std::printf("scenario failed: %s\n", error.what());
        return 1;
    }
}
