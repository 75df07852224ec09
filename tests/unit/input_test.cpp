// SPDX-License-Identifier: MIT
// Catches wrong view steps and wrap-arounds, and key reports that differ by a
// byte, lose a modifier, come out of order or stay stuck in a buffer.
#include <sys/wait.h>
#include <set>

#include "input.h"
#include "test_support.h"

namespace {

// ---- Arrow keys ----

struct SpecialKeyCase {
    const char* name;
    float startX, startY;
    int key;
    float expectedX, expectedY;
};

const SpecialKeyCase SPECIAL_KEYS[] = {
    {"UpSteps", 10, 20, GLUT_KEY_UP, 5, 20},
    {"DownSteps", 10, 20, GLUT_KEY_DOWN, 15, 20},
    {"LeftSteps", 10, 20, GLUT_KEY_LEFT, 10, 15},
    {"RightSteps", 10, 20, GLUT_KEY_RIGHT, 10, 25},
    {"UpFromZeroWrapsTo355", 0, 0, GLUT_KEY_UP, 355, 0},
    {"DownFrom355WrapsToZero", 355, 0, GLUT_KEY_DOWN, 0, 0},
    {"LeftFromZeroWrapsTo355", 0, 0, GLUT_KEY_LEFT, 0, 355},
    {"RightFrom355WrapsToZero", 0, 355, GLUT_KEY_RIGHT, 0, 0},
    {"DownTo355StaysBelowTheWrap", 350, 0, GLUT_KEY_DOWN, 355, 0},
    {"UpToZeroStaysAboveTheWrap", 5, 0, GLUT_KEY_UP, 0, 0},
    {"F1ChangesNothing", 35, 40, GLUT_KEY_F1, 35, 40},
    {"PageUpChangesNothing", 35, 40, GLUT_KEY_PAGE_UP, 35, 40},
    {"HomeChangesNothing", 0, 355, GLUT_KEY_HOME, 0, 355},
};

class SpecialKeyTest : public HandlerTest, public ::testing::WithParamInterface<SpecialKeyCase> {};

TEST_P(SpecialKeyTest, TurnsTheViewAndAlwaysRedraws) {
    const SpecialKeyCase& c = GetParam();
    sceneState.viewAngleX = c.startX;
    sceneState.viewAngleY = c.startY;
    const SceneState before = sceneState;

    const std::string output = captureStdout([&] { handleSpecialKey(c.key, 120, 45); });

    EXPECT_EQ(sceneState.viewAngleX, c.expectedX);
    EXPECT_EQ(sceneState.viewAngleY, c.expectedY);
    EXPECT_EQ(stand_in::gl.redisplays, 1);
    EXPECT_EQ(output, "");  // arrow keys are not reported
    EXPECT_EQ(sceneState.figureHeight, before.figureHeight);
    EXPECT_EQ(sceneState.filledMode, before.filledMode);
}

INSTANTIATE_TEST_SUITE_P(Table, SpecialKeyTest, ::testing::ValuesIn(SPECIAL_KEYS), RowName());

class ArrowCycleTest : public HandlerTest, public ::testing::WithParamInterface<int> {};

TEST_P(ArrowCycleTest, SeventyTwoPressesVisitEveryStepOnceAndReturnToTheStart) {
    const int key = GetParam();
    const bool turnsX = key == GLUT_KEY_UP || key == GLUT_KEY_DOWN;
    float& angle = turnsX ? sceneState.viewAngleX : sceneState.viewAngleY;
    std::set<float> visited;
    for (int press = 0; press < 72; ++press) {
        handleSpecialKey(key, 0, 0);
        EXPECT_GE(angle, 0.0f);
        EXPECT_LE(angle, 355.0f);
        visited.insert(angle);
    }
    EXPECT_EQ(visited.size(), 72u);
    EXPECT_EQ(angle, 0.0f);
    EXPECT_EQ(stand_in::gl.redisplays, 72);
}

INSTANTIATE_TEST_SUITE_P(EachArrow, ArrowCycleTest,
                         ::testing::Values(GLUT_KEY_UP, GLUT_KEY_DOWN, GLUT_KEY_LEFT,
                                           GLUT_KEY_RIGHT));

// ---- Key report ----

struct KeyReportCase {
    const char* name;
    unsigned char key;
    int x, y;
    int modifiers;
    std::string expected;
};

const std::string PLAIN_A = "Billentyu lenyomva, kodja a, pozicio (120,45). ";
const std::string SHIFTED_A = "Billentyu lenyomva, kodja A, pozicio (120,45). ";

const KeyReportCase KEY_REPORTS[] = {
    {"NoModifier", 'a', 120, 45, 0, PLAIN_A + "\n"},
    {"Shift", 'A', 120, 45, GLUT_ACTIVE_SHIFT, SHIFTED_A + "SHIFT lenyomva. \n"},
    {"Ctrl", 'a', 120, 45, GLUT_ACTIVE_CTRL, PLAIN_A + "CTRL lenyomva. \n"},
    {"Alt", 'a', 120, 45, GLUT_ACTIVE_ALT, PLAIN_A + "ALT lenyomva. \n"},
    {"ShiftAndAlt", 'A', 120, 45, GLUT_ACTIVE_SHIFT | GLUT_ACTIVE_ALT,
     SHIFTED_A + "SHIFT lenyomva. ALT lenyomva. \n"},
    {"AllThreeInFixedOrder", 'A', 120, 45, GLUT_ACTIVE_ALT | GLUT_ACTIVE_CTRL | GLUT_ACTIVE_SHIFT,
     SHIFTED_A + "SHIFT lenyomva. CTRL lenyomva. ALT lenyomva. \n"},
    {"ControlCharacterAsRawByte", 0x01, 7, 8, GLUT_ACTIVE_CTRL,
     "Billentyu lenyomva, kodja \x01, pozicio (7,8). CTRL lenyomva. \n"},
    {"EscapeIsReportedLikeAnyKey", 0x1b, 0, 0, 0,
     "Billentyu lenyomva, kodja \x1b, pozicio (0,0). \n"},
    {"HighByteUnchanged", 0xe9, 3, 4, 0, "Billentyu lenyomva, kodja \xe9, pozicio (3,4). \n"},
    {"PositionOutsideTheWindow", 'q', -5, 1200, 0,
     "Billentyu lenyomva, kodja q, pozicio (-5,1200). \n"},
};

class KeyReportTest : public HandlerTest, public ::testing::WithParamInterface<KeyReportCase> {};

TEST_P(KeyReportTest, WritesOneExactLineAndRedraws) {
    const KeyReportCase& c = GetParam();
    stand_in::gl.modifiers = c.modifiers;

    const std::string output = captureStdout([&] { handleKey(c.key, c.x, c.y); });

    EXPECT_EQ(output, c.expected);
    EXPECT_EQ(stand_in::gl.redisplays, 1);
}

INSTANTIATE_TEST_SUITE_P(Table, KeyReportTest, ::testing::ValuesIn(KEY_REPORTS), RowName());

using KeyTest = HandlerTest;

TEST_F(KeyTest, NulKeyIsWrittenAsOneZeroByte) {
    const std::string output = captureStdout([] { handleKey('\0', 1, 2); });
    const char expected[] = "Billentyu lenyomva, kodja \0, pozicio (1,2). \n";
    EXPECT_EQ(output, std::string(expected, sizeof expected - 1));
}

TEST_F(KeyTest, OrdinaryKeysChangeNothingInTheScene) {
    captureStdout([] {
        for (const char key : std::string("aq\x1b+ ")) {
            handleKey(static_cast<unsigned char>(key), 10, 10);
        }
    });
    const SceneState initial;
    EXPECT_EQ(sceneState.viewAngleX, initial.viewAngleX);
    EXPECT_EQ(sceneState.viewAngleY, initial.viewAngleY);
    EXPECT_EQ(sceneState.figureHeight, initial.figureHeight);
    EXPECT_EQ(sceneState.filledMode, initial.filledMode);
}

TEST_F(KeyTest, ReportIsFlushedAtOnceWhenOutputIsAPipeOrFile) {
    stand_in::gl.modifiers = GLUT_ACTIVE_SHIFT;
    // The child ends without flushing: only what handleKey flushed arrives.
    const ChildRun run = runInChildWithPipedStdout([] { handleKey('Z', 3, 4); });
    EXPECT_EQ(run.output, "Billentyu lenyomva, kodja Z, pozicio (3,4). SHIFT lenyomva. \n");
    EXPECT_TRUE(WIFEXITED(run.waitStatus));
    EXPECT_EQ(WEXITSTATUS(run.waitStatus), CHILD_RETURNED);
}

}  // namespace
