// SPDX-License-Identifier: MIT
// Catches a menu built wrong (labels, values, order, button), a toggle that
// fails to flip or to report, and an exit that loses console text.
#include <sys/wait.h>
#include <cstdio>
#include <cstdlib>

#include "menu.h"
#include "test_support.h"

namespace {

using MenuTest = HandlerTest;

TEST_F(MenuTest, BuildsTwoEntriesOnTheRightButtonWithHandleMenuAsHandler) {
    buildContextMenu();

    // Entries go to the menu created last, so creation must come first.
    const std::vector<std::string> expectedOrder = {"glutCreateMenu", "glutAddMenuEntry",
                                                    "glutAddMenuEntry", "glutAttachMenu"};
    EXPECT_EQ(stand_in::gl.callNames(), expectedOrder);
    EXPECT_EQ(stand_in::gl.menuCallback, &handleMenu);
    ASSERT_EQ(stand_in::gl.menuEntries.size(), 2u);
    EXPECT_EQ(stand_in::gl.menuEntries[0].label, "Drotvazas/kitoltott mod valtasa");
    EXPECT_EQ(stand_in::gl.menuEntries[0].value, 1);
    EXPECT_EQ(stand_in::gl.menuEntries[1].label, "Kilepes");
    EXPECT_EQ(stand_in::gl.menuEntries[1].value, 5);
    EXPECT_EQ(stand_in::gl.calls.back().args.at(0), GLUT_RIGHT_BUTTON);
}

TEST_F(MenuTest, ToggleSwitchesToWireframeAndBackWithOneLineAndOneRedrawEach) {
    const std::string first = captureStdout([] { handleMenu(MENU_TOGGLE_FILL); });
    EXPECT_EQ(first, "1. menupont kivalasztva.\n");
    EXPECT_EQ(sceneState.filledMode, 0);
    EXPECT_EQ(stand_in::gl.redisplays, 1);

    const std::string second = captureStdout([] { handleMenu(MENU_TOGGLE_FILL); });
    EXPECT_EQ(second, "1. menupont kivalasztva.\n");
    EXPECT_EQ(sceneState.filledMode, 1);
    EXPECT_EQ(stand_in::gl.redisplays, 2);
}

TEST_F(MenuTest, ToggleLeavesViewAndPoseAlone) {
    sceneState.viewAngleX = 45.0f;
    sceneState.figureOrbit = 120.0f;
    sceneState.figureHeight = -3.25f;
    sceneState.figureTilt = -6.0f;
    captureStdout([] { handleMenu(MENU_TOGGLE_FILL); });
    EXPECT_EQ(sceneState.viewAngleX, 45.0f);
    EXPECT_EQ(sceneState.figureOrbit, 120.0f);
    EXPECT_EQ(sceneState.figureHeight, -3.25f);
    EXPECT_EQ(sceneState.figureTilt, -6.0f);
}

TEST_F(MenuTest, ToggleLineIsNotFlushedByItself) {
    // Unlike a key report, the menu line is left to the stream's buffering.
    const ChildRun run = runInChildWithPipedStdout([] { handleMenu(MENU_TOGGLE_FILL); });
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(WEXITSTATUS(run.waitStatus), CHILD_RETURNED);
}

TEST_F(MenuTest, UnknownValueDoesNothing) {
    const std::string output = captureStdout([] { handleMenu(3); });
    EXPECT_EQ(output, "");
    EXPECT_EQ(sceneState.filledMode, 1);
    EXPECT_EQ(stand_in::gl.redisplays, 0);
}

TEST_F(MenuTest, ExitEndsWithStatusZeroAndWritesBufferedTextWithoutRedrawing) {
    const ChildRun run = runInChildWithPipedStdout([] {
        std::printf("earlier text, still buffered\n");
        handleMenu(MENU_TOGGLE_FILL);
        // Runs during exit, before the streams are flushed, so its line comes last.
        std::atexit([] { std::printf("redisplays at exit: %d\n", stand_in::gl.redisplays); });
        handleMenu(MENU_EXIT);
    });
    ASSERT_TRUE(WIFEXITED(run.waitStatus));
    EXPECT_EQ(WEXITSTATUS(run.waitStatus), 0);
    EXPECT_EQ(run.output,
              "earlier text, still buffered\n"
              "1. menupont kivalasztva.\n"
              "redisplays at exit: 1\n");  // the toggle's redraw only
}

}  // namespace
