// SPDX-License-Identifier: MIT
// Catches key reports lost, reordered, merged or written with the wrong key, position or modifiers when keys arrive far faster than the program draws, on a terminal and through a pipe (where only an explicit flush sends a line out).
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "program_session.h"
#include "x_windows.h"

namespace {

using namespace reliability;
using x11_harness::Console;

constexpr int STORM_KEYS = 2400;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        lines.push_back(line + "\n");
    }
    return lines;
}

// Waits until `count` lines are there (or the deadline passes) and
// returns the output seen, without quoting it all in an exception.
std::string awaitLines(x11_harness::ChildProcess& process, std::size_t count) {
    return x11_harness::pollFor(
               EVENT_TIMEOUT, [&] { return process.output(); },
               [&](const std::string& text) {
                   return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) >=
                          count;
               })
        .lastSeen;
}

// Names the first line that differs, so a failure says what was lost.
::testing::AssertionResult sameLines(const std::vector<std::string>& expected,
                                     const std::vector<std::string>& actual) {
    const std::size_t common = std::min(expected.size(), actual.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (expected[i] != actual[i]) {
            return ::testing::AssertionFailure()
                   << "line " << i << " of " << expected.size() << " differs: expected \""
                   << x11_harness::printable(expected[i]) << "\", got \""
                   << x11_harness::printable(actual[i]) << "\"";
        }
    }
    if (expected.size() != actual.size()) {
        return ::testing::AssertionFailure()
               << expected.size() << " lines expected, " << actual.size() << " arrived";
    }
    return ::testing::AssertionSuccess();
}

class KeyStorm : public ::testing::TestWithParam<Console> {};

TEST_P(KeyStorm, EveryReportArrivesInOrderWithItsKeyPositionAndModifiers) {
    x11_harness::XvfbServer server;
    x11_harness::XConnection x(server.displayName());
    SessionOptions options;
    options.console = GetParam();
    ProgramSession session(server, x, options);
    const auto geometry = x11_harness::windowGeometry(x, session.window());

    const auto strokes = strokeSequence(STORM_KEYS, geometry.width, geometry.height);
    std::vector<std::string> expected;
    for (const KeyStroke& stroke : strokes) {
        expected.push_back(reportLine(stroke));
    }
    sendStrokes(x, session.window(), strokes);

    const std::string output = awaitLines(session.process(), expected.size());
    EXPECT_TRUE(sameLines(expected, linesOf(output)));
    EXPECT_TRUE(session.process().isRunning())
        << session.process().exitStatus()->describe() << "; error output: "
        << x11_harness::printable(session.process().errorOutput());
}

INSTANTIATE_TEST_SUITE_P(Console, KeyStorm,
                         ::testing::Values(Console::Terminal, Console::Pipe),
                         [](const ::testing::TestParamInfo<Console>& param) {
                             return param.param == Console::Terminal ? "Terminal" : "Pipe";
                         });

}  // namespace
