// SPDX-License-Identifier: MIT
#include "recorder.h"

#include <stdexcept>

#include "animation.h"
#include "child_process.h"
#include "x_capture.h"
#include "x_connection.h"
#include "x_input.h"
#include "x_windows.h"
#include "xvfb_server.h"

namespace capture {
namespace {

using x11_harness::ChildProcess;
using x11_harness::Clock;
using x11_harness::Milliseconds;
using x11_harness::RgbImage;
using x11_harness::WindowId;
using x11_harness::XConnection;

const std::string WINDOW_TITLE = "GLUT Alap";
// What the program writes when its menu's first entry is chosen.
const std::string MENU_CONFIRMATION = "1. menupont kivalasztva.";
// Trunk green, (0, 0.8, 0): on screen in every frame the program draws.
const x11_harness::Rgb TRUNK_GREEN = x11_harness::fromUnit(0.0, 0.8, 0.0);

// Mesa's software renderer can take seconds to start on a busy machine.
constexpr Milliseconds WINDOW_TIMEOUT{10000};
// A frame is due every TIMER_PERIOD_MS; twenty periods without one means
// the program has stopped drawing.
constexpr Milliseconds FRAME_TIMEOUT{20 * TIMER_PERIOD_MS};
constexpr Milliseconds MENU_TIMEOUT{3000};
constexpr unsigned int RIGHT_BUTTON = 3;

x11_harness::ProcessOptions programOptions(const CaptureOptions& options,
                                           const x11_harness::XvfbServer& server) {
    x11_harness::ProcessOptions process;
    process.arguments.push_back(options.program);
    process.arguments.insert(process.arguments.end(), options.programArguments.begin(),
                             options.programArguments.end());
    process.environment = server.clientEnvironment();
    // As when started from a text console: each line arrives as it is written.
    process.console = x11_harness::Console::Terminal;
    return process;
}

// How the program ended and what it said on standard error, to add to a
// failure: the toolkit reports a missing GL or a bad option there.
std::string programReport(ChildProcess& program) {
    std::string report;
    if (const auto status = program.exitStatus()) {
        report += "\nthe program " + status->describe();
    }
    const std::string errors = program.errorOutput();
    if (!errors.empty()) {
        report += "\nits error output:\n" + x11_harness::printable(errors);
    }
    return report;
}

// Waits in short slices, so that a program that ends before it opens its
// window (no GL, say) is reported at once rather than after the whole timeout.
WindowId waitForProgramWindow(XConnection& x, ChildProcess& program) {
    const auto deadline = Clock::now() + WINDOW_TIMEOUT;
    for (;;) {
        try {
            return x11_harness::waitForWindow(x, WINDOW_TITLE, program.pid(), Milliseconds{250});
        } catch (const x11_harness::TimeoutError&) {
            if (!program.isRunning()) {
                throw std::runtime_error("the program ended before its window appeared");
            }
            if (Clock::now() >= deadline) {
                throw;
            }
        }
    }
}

// Until the program first draws, its window shows whatever lies beneath
// it; the trunk's green is the sign that a frame is there.
RgbImage waitForFirstFrame(XConnection& x, WindowId window) {
    return x11_harness::waitFor(
        "the program's first frame (the green trunk)", FRAME_TIMEOUT,
        [&] { return x11_harness::captureWindow(x, window); },
        [](const RgbImage& image) { return x11_harness::countNear(image, TRUNK_GREEN, 2) > 0; },
        [](const RgbImage&) { return std::string("no trunk-green pixel in the window"); });
}

// Every animation step moves the figure, so each new frame differs from
// the one before it; a repeated redraw of the same picture is not a frame.
RgbImage waitForNextFrame(XConnection& x, WindowId window, const RgbImage& previous) {
    return x11_harness::waitFor(
        "the next frame", FRAME_TIMEOUT, [&] { return x11_harness::captureWindow(x, window); },
        [&](const RgbImage& image) { return image != previous; },
        [](const RgbImage&) { return std::string("the same picture as the frame before"); });
}

// The right button opens the menu; releasing it over the upper of the two
// entries chooses the fill/wireframe toggle, which the program confirms on
// its console.
void chooseWireframe(XConnection& x, ChildProcess& program) {
    x11_harness::pressButton(x, RIGHT_BUTTON);
    const WindowId menu = x11_harness::waitForPopup(x, MENU_TIMEOUT);
    const auto entries = x11_harness::windowGeometry(x, menu);
    x11_harness::movePointerTo(x, menu, entries.width / 2, entries.height / 4);
    x11_harness::releaseButton(x, RIGHT_BUTTON);
    x11_harness::waitForNoPopup(x, MENU_TIMEOUT);
    program.waitForOutput("the menu choice's console line", MENU_TIMEOUT,
                          [](const std::string& output) {
                              return output.find(MENU_CONFIRMATION) != std::string::npos;
                          });
}

void sendInput(XConnection& x, WindowId window, const CaptureOptions& options,
               ChildProcess& program) {
    // With no window manager the keyboard goes to the window under the pointer.
    const auto geometry = x11_harness::windowGeometry(x, window);
    x11_harness::movePointerTo(x, window, geometry.width / 2, geometry.height / 2);
    for (const x11_harness::KeySymbol key : options.keys) {
        x11_harness::tapKey(x, key);
    }
    if (options.toggleFill) {
        chooseWireframe(x, program);
    }
}

// The program reads input between two frames, so the first new frame after
// the input may still have been drawn without it; the second one has it.
RgbImage waitForInputToShow(XConnection& x, WindowId window, const RgbImage& before) {
    return waitForNextFrame(x, window, waitForNextFrame(x, window, before));
}

std::vector<RgbImage> recordFrames(XConnection& x, WindowId window, RgbImage first,
                                   std::size_t count) {
    std::vector<RgbImage> frames;
    frames.push_back(std::move(first));
    while (frames.size() < count) {
        RgbImage next = waitForNextFrame(x, window, frames.back());
        frames.push_back(std::move(next));
    }
    return frames;
}

Recording recordRunningProgram(XConnection& x, ChildProcess& program,
                               const CaptureOptions& options) {
    const WindowId window = waitForProgramWindow(x, program);
    // Pixels off the screen cannot be read back, and with no window manager to
    // place it the window may stick out (the toolkit's default puts it at -1, -1).
    x11_harness::moveWindow(x, window, 0, 0);
    RgbImage picture = waitForFirstFrame(x, window);
    if (!options.keys.empty() || options.toggleFill) {
        sendInput(x, window, options, program);
        picture = waitForInputToShow(x, window, picture);
    }
    Recording recording;
    recording.frames =
        recordFrames(x, window, std::move(picture), static_cast<std::size_t>(options.frames));
    recording.consoleOutput = program.output();
    return recording;
}

}  // namespace

Recording recordProgram(const CaptureOptions& options) {
    x11_harness::XvfbServer server;
    XConnection x(server.displayName());
    ChildProcess program(programOptions(options, server));
    try {
        return recordRunningProgram(x, program, options);
    } catch (const std::exception& error) {
        throw std::runtime_error(error.what() + programReport(program));
    }
}

}  // namespace capture
