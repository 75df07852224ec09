// SPDX-License-Identifier: MIT
// Catches a start-up that registers a handler late or not at all, asks for
// the wrong window, arms the first tick wrongly, or sets GL state before the
// menu exists.
//
// This executable contains the program's real main. main runs first, against
// the stand-in; when it enters the toolkit's event loop, the stand-in's
// glutMainLoop hands over to GoogleTest, and the tests below look at what
// main did on the way. The program never calls an idle, mouse, motion,
// visibility or key-release registration: the stand-in defines none, so such
// a call would not even link.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "animation.h"
#include "gl_stand_in.h"
#include "input.h"
#include "menu.h"
#include "renderer.h"
#include "scene_state.h"
#include "test_support.h"

namespace {

using stand_in::gl;

// The scene as it was when the event loop began, before any test touched it.
SceneState sceneAtMainLoop;

[[noreturn]] void runTestsAsTheEventLoop() {
    sceneAtMainLoop = sceneState;
    testing::InitGoogleTest(gl.initArgc, gl.initArgv);
    std::exit(RUN_ALL_TESTS());
}

const bool eventLoopIsTheTestRun = [] {
    stand_in::mainLoopHook = runTestsAsTheEventLoop;
    return true;
}();

TEST(Startup, CallsFollowTheFixedOrder) {
    const std::vector<std::string> expected = {
        "glutInit",             // the command line first, before any window exists
        "glutGet",              // the size asked for, checked against the drawable limit
        "glutGet",              // (within it: no glutInitWindowSize, the toolkit decides)
        "glutInitDisplayMode",  //
        "glutCreateWindow",     //
        "glutReshapeFunc",      // handlers, in this order
        "glutSpecialFunc",      //
        "glutKeyboardFunc",     //
        "glutDisplayFunc",      //
        "glutTimerFunc",        // the first tick
        "glutCreateMenu",       // the menu, on the new window
        "glutAddMenuEntry",     //
        "glutAddMenuEntry",     //
        "glutAttachMenu",       //
        "glClearColor",         // one-time GL state, in the window's context
        "glEnable",             //
        "glCullFace",           //
        "glEnable",             //
        "glutMainLoop",         // and nothing after it
    };
    EXPECT_EQ(gl.callNames(), expected);
}

TEST(Startup, GivesTheWholeCommandLineToTheToolkit) {
    ASSERT_NE(gl.initArgv, nullptr);
    ASSERT_NE(gl.initArgc, nullptr);
    EXPECT_GE(*gl.initArgc, 1);
    EXPECT_EQ(gl.initArgv[*gl.initArgc], nullptr);  // argv as main received it
}

TEST(Startup, AsksForADoubleBufferedRgbWindowWithDepthTitledGlutAlap) {
    EXPECT_EQ(gl.findCall("glutInitDisplayMode")->args.at(0), 18);
    EXPECT_EQ(gl.findCall("glutCreateWindow")->text, "GLUT Alap");
}

TEST(Startup, RegistersEachHandlerForItsEvent) {
    EXPECT_EQ(gl.reshapeCallback, &reshapeView);
    EXPECT_EQ(gl.specialCallback, &handleSpecialKey);
    EXPECT_EQ(gl.keyboardCallback, &handleKey);
    EXPECT_EQ(gl.displayCallback, &displayScene);
    EXPECT_EQ(gl.menuCallback, &handleMenu);
}

TEST(Startup, ArmsTheFirstTickOnceWithValueOneInAHundredMilliseconds) {
    ASSERT_EQ(gl.timers.size(), 1u);
    EXPECT_EQ(gl.timers[0].milliseconds, 100u);
    EXPECT_EQ(gl.timers[0].callback, &animationTick);
    EXPECT_EQ(gl.timers[0].value, 1);
}

TEST(Startup, DrawsNothingBeforeTheEventLoop) {
    EXPECT_EQ(gl.swaps, 0);
    EXPECT_TRUE(gl.primitives.empty());
    EXPECT_EQ(gl.redisplays, 0);
}

TEST(Startup, SceneIsInItsInitialStateWhenTheLoopStarts) { expectInitialScene(sceneAtMainLoop); }

}  // namespace
