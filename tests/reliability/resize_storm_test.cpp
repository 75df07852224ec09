// SPDX-License-Identifier: MIT
// Catches a crash or a stretched picture after the window has been resized many times in a row to extreme shapes (1x1, as wide and as thin as the GL draws, larger than it draws) and back.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "program_session.h"
#include "x_capture.h"
#include "x_windows.h"

namespace {

using namespace reliability;

struct Size {
    int width;
    int height;
};

// 16384 is the largest viewport side Mesa's software renderer supports
// (GL_MAX_VIEWPORT_DIMS); windows beyond it are a separate case.
const std::vector<Size> STORM = {{1, 1},     {16384, 1}, {1, 16384}, {16384, 2}, {2, 16384},
                                 {1, 1},     {3000, 7},  {7, 3000},  {1, 2},     {2, 1},
                                 {800, 1},   {1, 800},   {1, 1},     {16384, 1}, {1, 16384}};
constexpr int STORM_ROUNDS = 4;
constexpr int EDGE_TOLERANCE = 2;  // pixels, for rasterisation at the trunk's edges

// Waits for a frame at `size` in which the whole trunk shows (the figure
// passes in front of it now and then) and checks it is not stretched.
void expectUnstretchedTrunk(x11_harness::XConnection& x, ProgramSession& session, Size size,
                            Milliseconds timeout = EVENT_TIMEOUT) {
    const auto expected = expectedTrunkBox(size.width, size.height, 0.0, 0.0);
    const auto seen = x11_harness::pollFor(
        timeout,
        [&] {
            return x11_harness::boundingBox(x11_harness::captureWindow(x, session.window()),
                                            trunkGreen(), COLOUR_TOLERANCE);
        },
        [&](const std::optional<x11_harness::Rect>& box) {
            return box && boxesMatch(*box, expected, EDGE_TOLERANCE);
        });
    EXPECT_TRUE(seen.accepted) << "trunk expected at " << x11_harness::describe(expected)
                               << ", last seen at " << x11_harness::describe(seen.lastSeen);
}

std::string deathReport(x11_harness::ChildProcess& process) {
    const auto status = process.exitStatus();
    return (status ? status->describe() : std::string("still running")) + "; error output: " +
           x11_harness::printable(process.errorOutput().substr(0, 2000));
}

class ResizeStorm : public ::testing::TestWithParam<Size> {};

TEST_P(ResizeStorm, ProgramSurvivesAndDrawsUnstretchedAtTheFinalSize) {
    const Size last = GetParam();
    x11_harness::XvfbServer server;
    x11_harness::XConnection x(server.displayName());
    ProgramSession session(server, x);

    for (int round = 0; round < STORM_ROUNDS; ++round) {
        for (const Size& size : STORM) {
            x11_harness::resizeWindow(x, session.window(), size.width, size.height);
        }
        ASSERT_TRUE(session.process().isRunning())
            << "after resize round " << round << ": " << deathReport(session.process());
    }
    x11_harness::resizeWindow(x, session.window(), last.width, last.height);
    expectUnstretchedTrunk(x, session, last);
    EXPECT_TRUE(session.process().isRunning()) << deathReport(session.process());
}

// Any X client may make a window larger than Mesa's software renderer can
// draw. Each size is held until the program has drawn at it: a key is
// reported, and a second one after it, so a frame came in between.
TEST(ResizeBeyondTheRenderer, ProgramSurvivesAndDrawsAgainAtANormalSize) {
    const std::vector<Size> huge = {{32767, 32767}, {65535, 16384}, {40000, 40000}};
    x11_harness::XvfbServer server;
    x11_harness::XConnection x(server.displayName());
    ProgramSession session(server, x);
    auto& process = session.process();
    const auto strokes = strokeSequence(2 * static_cast<int>(huge.size()), 100, 100);
    std::string expected;

    for (std::size_t i = 0; i < huge.size(); ++i) {
        x11_harness::resizeWindow(x, session.window(), huge[i].width, huge[i].height);
        for (const KeyStroke& stroke : {strokes[2 * i], strokes[2 * i + 1]}) {
            sendStrokes(x, session.window(), {stroke});
            expected += reportLine(stroke);
            const auto seen = x11_harness::pollFor(
                HUGE_WINDOW_TIMEOUT, [&] { return process.output(); },
                [&](const std::string& text) {
                    return text == expected || !process.isRunning();
                });
            ASSERT_EQ(seen.lastSeen, expected)
                << "at " << huge[i].width << "x" << huge[i].height << ": "
                << deathReport(process);
        }
    }
    const Size normal{800, 300};
    x11_harness::resizeWindow(x, session.window(), normal.width, normal.height);
    expectUnstretchedTrunk(x, session, normal, HUGE_WINDOW_TIMEOUT);
}

INSTANTIATE_TEST_SUITE_P(FinalSize, ResizeStorm,
                         ::testing::Values(Size{800, 300}, Size{300, 800}),
                         [](const ::testing::TestParamInfo<Size>& param) {
                             return std::to_string(param.param.width) + "x" +
                                    std::to_string(param.param.height);
                         });

}  // namespace
