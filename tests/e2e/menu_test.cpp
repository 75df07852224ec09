// Catches a menu toggle that writes the wrong line, misses the drawing mode, or moves the view.
#include <gtest/gtest.h>

#include <string>

#include "console_text.h"
#include "drawing_mode.h"
#include "program_under_test.h"
#include "scene_geometry.h"

namespace e2e {
namespace {

// 10 pixels per unit: the trunk is a 10 x 350 pixel bar.
constexpr int WINDOW_SIZE = 500;
// The menu opens with its corner at the pointer. Right of the trunk and
// below it, the open menu covers none of the trunk.
constexpr int MENU_CORNER_X = 300;
constexpr int MENU_CORNER_Y = 440;

const SceneBox TRUNK_BOX = boxAround(0, 0, TRUNK_HALF_WIDTH, TRUNK_HALF_HEIGHT);

// The picture is drawn in `mode`, with the trunk where it always is.
void expectDrawnAs(DrawingMode mode, const x11_harness::RgbImage& picture, const SceneView& view) {
    EXPECT_TRUE(isDrawnAs(mode, picture, view))
        << "expected " << describe(mode) << ", but the trunk's box is "
        << 100 * trunkCoverage(picture, view) << "% green";
    EXPECT_TRUE(edgesMatch(x11_harness::boundingBox(picture, TRUNK_GREEN, COLOUR_TOLERANCE),
                           TRUNK_BOX, view))
        << "the trunk moved";
}

TEST(Menu, FirstEntrySwitchesToOutlinesAndBackWritingOneLineEachTime) {
    ProgramUnderTest program({"-geometry", "500x500+0+0"});
    const SceneView view(WINDOW_SIZE, WINDOW_SIZE);
    program.pointAt(MENU_CORNER_X, MENU_CORNER_Y);
    expectDrawnAs(DrawingMode::Filled, program.capture(), view);

    program.chooseFromMenu(MenuEntry::ToggleOutlines);
    EXPECT_EQ(program.process().waitForLines(1, REACTION_TIMEOUT), TOGGLE_LINE);
    expectDrawnAs(DrawingMode::Outlines, pictureDrawnAs(DrawingMode::Outlines, program, view),
                  view);

    program.chooseFromMenu(MenuEntry::ToggleOutlines);
    EXPECT_EQ(program.process().waitForLines(2, REACTION_TIMEOUT), TOGGLE_LINE + TOGGLE_LINE);
    expectDrawnAs(DrawingMode::Filled, pictureDrawnAs(DrawingMode::Filled, program, view), view);

    EXPECT_NO_THROW(program.waitForNewPictures(2)) << "the animation stopped";
}

}  // namespace
}  // namespace e2e
