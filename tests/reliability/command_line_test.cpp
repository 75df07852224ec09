// SPDX-License-Identifier: MIT
// Catches a program that dies by a signal, hangs, or ends silently or with a wrong status on a bad command line: no display, malformed toolkit options, unknown options, a very long argument list.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "program_session.h"
#include "x_capture.h"
#include "x_windows.h"

namespace {

using namespace reliability;

// Stands for the name of a display whose server has just gone away.
constexpr char GONE_DISPLAY[] = "<gone>";

std::string displayThatWentAway() {
    const x11_harness::XvfbServer server;
    return server.displayName();
}

std::vector<std::string> withGoneDisplay(std::vector<std::string> arguments) {
    for (auto& argument : arguments) {
        if (argument == GONE_DISPLAY) {
            argument = displayThatWentAway();
        }
    }
    return arguments;
}

// The toolkit refuses the command line: a message on standard error and
// exit status 1, from freeglut itself or from Xlib's error handler.
struct RefusedCase {
    const char* name;
    std::vector<std::string> arguments;
    const char* display;  // the DISPLAY variable, or nullptr for the test server's
    const char* message;  // part of the expected standard error
};

const RefusedCase REFUSED[] = {
    {"NoDisplayVariable", {}, "", "failed to open display ''"},
    {"DisplayWentAway", {"-display", GONE_DISPLAY}, nullptr, "failed to open display ':"},
    {"DisplayNameOfOneHundredKilobytes",
     {"-display", std::string(100000, 'x')},
     nullptr,
     "failed to open display 'xxxx"},
    {"DisplayOptionWithoutValue", {"-display"}, nullptr, "-display parameter must be followed"},
    {"GeometryOptionWithoutValue", {"-geometry"}, nullptr, "-geometry parameter must be followed"},
    {"GeometryNotANumber", {"-geometry", "abc"}, nullptr, "BadValue"},
    {"GeometryZeroSize", {"-geometry", "0x0"}, nullptr, "BadValue"},
    {"GeometryNegativeSize", {"-geometry", "-5x-5"}, nullptr, "BadValue"},
    {"DirectAndIndirect", {"-direct", "-indirect"}, nullptr, "-direct and -indirect"},
};

class RefusedCommandLine : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedCommandLine, ToolkitMessageOnStandardErrorAndStatusOne) {
    const RefusedCase& refused = GetParam();
    x11_harness::XvfbServer server;
    x11_harness::ProcessOptions options;
    SessionOptions session;
    session.arguments = withGoneDisplay(refused.arguments);
    options.arguments = commandLine(programPath(), session);
    options.environment = server.clientEnvironment();
    if (refused.display != nullptr) {
        std::replace_if(
            options.environment.begin(), options.environment.end(),
            [](const std::string& entry) { return entry.rfind("DISPLAY=", 0) == 0; },
            std::string("DISPLAY=") + refused.display);
    }
    x11_harness::ChildProcess process(options);

    const auto status = process.waitForExit(EVENT_TIMEOUT);
    EXPECT_TRUE(status.exitedNormally && status.code == 1) << status.describe();
    EXPECT_NE(process.errorOutput().find(refused.message), std::string::npos)
        << "error output: " << x11_harness::printable(process.errorOutput().substr(0, 2000));
}

INSTANTIATE_TEST_SUITE_P(Refused, RefusedCommandLine, ::testing::ValuesIn(REFUSED),
                         [](const ::testing::TestParamInfo<RefusedCase>& param) {
                             return param.param.name;
                         });

// The toolkit accepts the command line (it ignores what it does not know):
// the program draws, answers a key and ends with status 0 when its window
// is closed. (Not through the menu: freeglut places its menu entries by
// where it last put the window, and this test moves the window.)
struct AcceptedCase {
    const char* name;
    std::vector<std::string> arguments;
    // A window of 16384 x 16384 pixels or more: each frame takes the
    // software renderer a second or more.
    bool huge = false;
};

std::vector<std::string> longArgumentList() {
    std::vector<std::string> arguments(20000, "-x");
    arguments.push_back(std::string(100000, 'y'));
    arguments.push_back("-geometry");
    arguments.push_back("320x240");
    return arguments;
}

const AcceptedCase ACCEPTED[] = {
    {"UnknownOptions", {"--no-such-option", "-bogus", "value"}},
    {"TwentyThousandArgumentsAndOneOfOneHundredKilobytes", longArgumentList()},
    {"PositionBeyondAnyScreen", {"-geometry", "300x300+99999999999+99999999999"}},
    // Wider and taller than the software renderer can draw.
    {"SizeBeyondTheRenderer", {"-geometry", "40000x40000"}, true},
    {"SizeBeyondAnyNumber", {"-geometry", "99999999999x99999999999"}, true},
};

class AcceptedCommandLine : public ::testing::TestWithParam<AcceptedCase> {};

TEST_P(AcceptedCommandLine, ProgramRunsAndEndsWhenClosed) {
    const AcceptedCase& accepted = GetParam();
    const Milliseconds timeout = accepted.huge ? HUGE_WINDOW_TIMEOUT : EVENT_TIMEOUT;
    x11_harness::XvfbServer server;
    x11_harness::XConnection x(server.displayName());
    SessionOptions options;
    options.arguments = accepted.arguments;
    ProgramSession session(server, x, options);
    auto& process = session.process();

    // Bring the middle of the window, where the trunk is, to the middle of
    // the screen, whatever the window's size and position.
    const auto geometry = x11_harness::windowGeometry(x, session.window());
    const int screenWidth = DisplayWidth(x.display(), DefaultScreen(x.display()));
    const int screenHeight = DisplayHeight(x.display(), DefaultScreen(x.display()));
    x11_harness::moveWindow(x, session.window(), screenWidth / 2 - geometry.width / 2,
                            screenHeight / 2 - geometry.height / 2);
    const int middleX = geometry.width / 2;
    const int middleY = geometry.height / 2;
    const x11_harness::Rect middle{middleX - 20, middleY - 20, 40, 40};

    const auto drawn = x11_harness::pollFor(
        timeout,
        [&] {
            return process.isRunning() &&
                   x11_harness::countNear(x11_harness::captureWindow(x, session.window(), middle),
                                          trunkGreen(), COLOUR_TOLERANCE) > 0;
        },
        [&](bool trunkShows) { return trunkShows || !process.isRunning(); });
    ASSERT_TRUE(drawn.lastSeen) << "no trunk drawn in the window's middle; "
                                << (process.isRunning() ? std::string("still running")
                                                        : process.exitStatus()->describe())
                                << "; error output: "
                                << x11_harness::printable(process.errorOutput().substr(0, 2000));

    const KeyStroke stroke{'k', false, middleX, middleY};
    sendStrokes(x, session.window(), {stroke});
    process.waitForOutput("the key report", timeout,
                          [&](const std::string& text) { return text == reportLine(stroke); });
    x11_harness::requestClose(x, session.window());
    const auto status = process.waitForExit(timeout);
    EXPECT_TRUE(status.isSuccess()) << status.describe() << "; error output: "
                                    << x11_harness::printable(process.errorOutput());
}

INSTANTIATE_TEST_SUITE_P(Accepted, AcceptedCommandLine, ::testing::ValuesIn(ACCEPTED),
                         [](const ::testing::TestParamInfo<AcceptedCase>& param) {
                             return param.param.name;
                         });

}  // namespace
