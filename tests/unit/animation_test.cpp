// SPDX-License-Identifier: MIT
// Catches wrong steps or wrap-arounds of the figure's pose, and a timer chain
// that breaks, doubles or loses its count.
#include <climits>

#include "animation.h"
#include "input.h"
#include "menu.h"
#include "test_support.h"

namespace {

using AnimationTest = HandlerTest;

// Runs `count` ticks the way the toolkit would: each from the timer the
// previous one armed.
void runTicks(int count) {
    int value = 1;
    for (int tick = 0; tick < count; ++tick) {
        animationTick(value);
        value = stand_in::gl.timers.back().value;
    }
}

struct PoseAfterTicks {
    int ticks;
    float tilt;
    float orbit;
    float height;
};

// The boundaries of the three cycles: tilt every 6 ticks, orbit every 72,
// height 101 ticks from the start and then every 121.
const PoseAfterTicks POSES[] = {
    {1, -2.0f, 5.0f, 9.75f},
    {5, -10.0f, 25.0f, 8.75f},  // -10 is shown for one tick ...
    {6, 0.0f, 30.0f, 8.5f},     // ... then the tilt snaps forward
    {72, 0.0f, 360.0f, -8.0f},  // 360 is shown for one tick ...
    {73, -2.0f, 5.0f, -8.25f},  // ... then the orbit goes on from 5
    {100, -8.0f, 140.0f, -15.0f},
    {101, -10.0f, 145.0f, 15.0f},  // the bottom reached: back to the top, no overshoot
    {221, -10.0f, 25.0f, -15.0f},
    {222, 0.0f, 30.0f, 15.0f},
};

class AnimationPoseTest : public HandlerTest,
                          public ::testing::WithParamInterface<PoseAfterTicks> {};

TEST_P(AnimationPoseTest, PoseIsExactAfterTicks) {
    const PoseAfterTicks& expected = GetParam();
    runTicks(expected.ticks);
    // The steps are exact in binary floating point, so the values must be too.
    EXPECT_EQ(sceneState.figureTilt, expected.tilt);
    EXPECT_EQ(sceneState.figureOrbit, expected.orbit);
    EXPECT_EQ(sceneState.figureHeight, expected.height);
}

INSTANTIATE_TEST_SUITE_P(CycleBoundaries, AnimationPoseTest, ::testing::ValuesIn(POSES),
                         [](const auto& row) { return "After" + std::to_string(row.param.ticks); });

TEST_F(AnimationTest, EachTickPostsOneRedisplayAndArmsTheNextWithValuePlusOne) {
    animationTick(41);
    EXPECT_EQ(stand_in::gl.redisplays, 1);
    ASSERT_EQ(stand_in::gl.timers.size(), 1u);
    EXPECT_EQ(stand_in::gl.timers[0].milliseconds, 100u);
    EXPECT_EQ(stand_in::gl.timers[0].callback, &animationTick);
    EXPECT_EQ(stand_in::gl.timers[0].value, 42);
}

TEST_F(AnimationTest, TickNeverDrawsNorTouchesViewOrMode) {
    sceneState.viewAngleX = 35.0f;
    sceneState.viewAngleY = 300.0f;
    sceneState.filledMode = 0;
    runTicks(10);
    EXPECT_TRUE(stand_in::gl.primitives.empty());
    EXPECT_EQ(stand_in::gl.swaps, 0);
    EXPECT_EQ(sceneState.viewAngleX, 35.0f);
    EXPECT_EQ(sceneState.viewAngleY, 300.0f);
    EXPECT_EQ(sceneState.filledMode, 0);
}

TEST_F(AnimationTest, TickCountStartsAgainAtOneInsteadOfOverflowing) {
    animationTick(INT_MAX);
    ASSERT_EQ(stand_in::gl.timers.size(), 1u);
    EXPECT_EQ(stand_in::gl.timers[0].value, 1);
    EXPECT_EQ(sceneState.figureHeight, 9.75f);  // the tick itself is an ordinary one
}

TEST_F(AnimationTest, KeysAndMenuBetweenTicksLeaveThePoseAlone) {
    for (int tick = 1; tick <= 30; ++tick) {
        animationTick(tick);
        handleSpecialKey(GLUT_KEY_RIGHT, 0, 0);
        handleSpecialKey(GLUT_KEY_UP, 0, 0);
        captureStdout([] {
            handleKey('x', 10, 10);
            handleMenu(MENU_TOGGLE_FILL);
        });
    }
    // 30 ticks alone: tilt 30 % 6 == 0 -> 0, orbit 150, height 10 - 7.5.
    EXPECT_EQ(sceneState.figureTilt, 0.0f);
    EXPECT_EQ(sceneState.figureOrbit, 150.0f);
    EXPECT_EQ(sceneState.figureHeight, 2.5f);
}

}  // namespace
