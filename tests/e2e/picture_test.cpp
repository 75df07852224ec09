// Catches a stretched, off-centre or mis-scaled scene, wrong colours, or a missing scene element.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "program_under_test.h"
#include "scene_geometry.h"

namespace e2e {
namespace {

using x11_harness::boundingBox;
using x11_harness::countNear;
using x11_harness::countNotNear;

// The pictures are taken in the first seconds, while the figure is still in
// the upper half of its first descent from START_HEIGHT: nothing of it
// reaches above this height, and the caption reaches no lower.
constexpr double CAPTION_REGION_BOTTOM = 16.0;

// The figure's tilt runs from 0 back to 10 degrees. Tilted, the body shows
// a little of its top and bottom faces, and seen from the side its slanted
// height adds to its depth.
const double MAX_TILT = radians(10.0);
const double TILTED_BODY_HALF_HEIGHT =
    BODY_HALF_HEIGHT * std::cos(MAX_TILT) + BODY_HALF_DEPTH * std::sin(MAX_TILT);
const double TILTED_BODY_HALF_DEPTH =
    BODY_HALF_HEIGHT * std::sin(MAX_TILT) + BODY_HALF_DEPTH * std::cos(MAX_TILT);

// How far left or right of the trunk's axis the figure can reach: the
// corner of its (tilted) cross-section furthest from the axis.
const double FIGURE_REACH = std::hypot(ORBIT_RADIUS + TILTED_BODY_HALF_DEPTH, BODY_HALF_WIDTH);

// The body seen from the side, upright, is as wide as it is deep; turned and
// tilted, at most as wide as the diagonal of its tilted cross-section.
const double BODY_MIN_VISIBLE_WIDTH = 2.0 * BODY_HALF_DEPTH;
const double BODY_MAX_VISIBLE_WIDTH = 2.0 * std::hypot(BODY_HALF_WIDTH, TILTED_BODY_HALF_DEPTH);

// A filled trunk shows green over nearly its whole box; the figure passing
// in front of it covers at most 8 of its 35 units of height.
constexpr double FILLED_TRUNK_MIN_COVERAGE = 0.7;

// The bitmap font's glyphs belong to the toolkit; the bounds below only
// assume a font about 18 pixels high: capitals 9 to 18 pixels above the
// baseline, descenders at most 6 below, and a 23-letter caption at least
// 100 pixels long unless the window cuts it off.
constexpr int CAPTION_MIN_ASCENT_PX = 9;
constexpr int CAPTION_MAX_ASCENT_PX = 18;
constexpr int CAPTION_MAX_DESCENT_PX = 6;
constexpr int CAPTION_MIN_LENGTH_PX = 100;
// The first glyph may start a pixel or so right of the raster position.
constexpr int CAPTION_MAX_INDENT_PX = 3;

const SceneBox TRUNK_BOX = boxAround(0.0, 0.0, TRUNK_HALF_WIDTH, TRUNK_HALF_HEIGHT);

SceneBox captionRegion(const SceneView& view) {
    const SceneBox visible = view.visibleBox();
    return {visible.left, CAPTION_REGION_BOTTOM, visible.right, visible.top};
}

SceneBox figureRegion(const SceneView& view) {
    const SceneBox visible = view.visibleBox();
    return {visible.left, visible.bottom, visible.right, CAPTION_REGION_BOTTOM};
}

// Parts of the window where nothing but background may appear, whatever
// the figure's pose in its first descent.
std::vector<std::pair<std::string, SceneBox>> emptyRegions(const SceneView& view) {
    const SceneBox visible = view.visibleBox();
    const double besideFigure = FIGURE_REACH + 1.0;
    const double belowEverything =
        std::min(-TRUNK_HALF_HEIGHT, BOTTOM_HEIGHT - TILTED_BODY_HALF_HEIGHT) - 1.0;
    const double aboveCaption =
        CAPTION_BASELINE_Y + (CAPTION_MAX_ASCENT_PX + 1) / view.pixelsPerUnit();
    const double leftOfCaption = CAPTION_X - 1.0 / view.pixelsPerUnit();
    return {
        {"left of the figure",
         {visible.left, visible.bottom, -besideFigure, CAPTION_REGION_BOTTOM}},
        {"right of the figure",
         {besideFigure, visible.bottom, visible.right, CAPTION_REGION_BOTTOM}},
        {"below the trunk", {visible.left, visible.bottom, visible.right, belowEverything}},
        {"left of the caption", {visible.left, CAPTION_REGION_BOTTOM, leftOfCaption, visible.top}},
        {"above the caption", {visible.left, aboveCaption, visible.right, visible.top}},
    };
}

void expectBackground(const x11_harness::RgbImage& image, const SceneView& view) {
    for (const auto& [name, box] : emptyRegions(view)) {
        const Rect region = view.pixelsOf(box);
        EXPECT_EQ(countNotNear(image, BACKGROUND, COLOUR_TOLERANCE, region), 0)
            << "something drawn " << name << ", " << x11_harness::describe(region);
    }
}

void expectTrunk(const x11_harness::RgbImage& image, const SceneView& view) {
    EXPECT_TRUE(edgesMatch(boundingBox(image, TRUNK_GREEN, COLOUR_TOLERANCE), TRUNK_BOX, view))
        << "trunk";
    const Rect trunk = view.pixelsOf(TRUNK_BOX);
    const double area = trunk.width * trunk.height;
    EXPECT_GE(countNear(image, TRUNK_GREEN, COLOUR_TOLERANCE, trunk),
              FILLED_TRUNK_MIN_COVERAGE * area)
        << "trunk not filled green, " << x11_harness::describe(trunk);
}

void expectCaption(const x11_harness::RgbImage& image, const SceneView& view) {
    const auto caption =
        boundingBox(image, CONE_RED, COLOUR_TOLERANCE, view.pixelsOf(captionRegion(view)));
    ASSERT_TRUE(caption) << "no red caption";
    const int start = static_cast<int>(std::lround(view.columnOf(CAPTION_X)));
    const int baseline = static_cast<int>(std::lround(view.rowOf(CAPTION_BASELINE_Y)));
    EXPECT_GE(caption->x, start) << "caption starts left of its raster position";
    EXPECT_LE(caption->x, start + CAPTION_MAX_INDENT_PX) << "caption starts too far right";
    EXPECT_GE(caption->y, baseline - CAPTION_MAX_ASCENT_PX) << "caption too high";
    EXPECT_LE(caption->y, baseline - CAPTION_MIN_ASCENT_PX) << "caption too low";
    EXPECT_LE(caption->bottom(), baseline + CAPTION_MAX_DESCENT_PX) << "caption too low";
    EXPECT_GE(caption->right(), std::min(start + CAPTION_MIN_LENGTH_PX, view.width()))
        << "caption too short";
}

void expectFigure(const x11_harness::RgbImage& image, const SceneView& view) {
    const Rect region = view.pixelsOf(figureRegion(view));
    const auto body = boundingBox(image, BODY_WHITE, COLOUR_TOLERANCE, region);
    ASSERT_TRUE(body) << "no white figure body";
    const double k = view.pixelsPerUnit();
    EXPECT_GE(body->height, 2 * BODY_HALF_HEIGHT * k - EDGE_TOLERANCE_PX) << "body too short";
    EXPECT_LE(body->height, 2 * TILTED_BODY_HALF_HEIGHT * k + EDGE_TOLERANCE_PX) << "body too tall";
    EXPECT_GE(body->width, BODY_MIN_VISIBLE_WIDTH * k - EDGE_TOLERANCE_PX) << "body too narrow";
    EXPECT_LE(body->width, BODY_MAX_VISIBLE_WIDTH * k + EDGE_TOLERANCE_PX) << "body too wide";

    const double centreY = view.sceneYOf(body->y + body->height / 2.0);
    EXPECT_LE(centreY, START_HEIGHT + EDGE_TOLERANCE_PX / k) << "figure above its start";
    const SceneBox reach = {-FIGURE_REACH, BOTTOM_HEIGHT - TILTED_BODY_HALF_HEIGHT, FIGURE_REACH,
                            CAPTION_REGION_BOTTOM};
    const Rect reachPixels = view.pixelsOf(reach);
    EXPECT_EQ(x11_harness::intersection(*body, reachPixels), *body)
        << "figure body beyond the figure's reach: " << x11_harness::describe(*body);

    const auto cone = boundingBox(image, CONE_RED, COLOUR_TOLERANCE, region);
    ASSERT_TRUE(cone) << "no red cone";
    EXPECT_EQ(x11_harness::intersection(*cone, reachPixels), *cone)
        << "cone beyond the figure's reach: " << x11_harness::describe(*cone);
}

// Every check on one picture; each failing region is reported, not just the first.
void expectScene(const x11_harness::RgbImage& image, const SceneView& view) {
    expectBackground(image, view);
    expectTrunk(image, view);
    expectCaption(image, view);
    expectFigure(image, view);
}

// A picture worth checking: drawn for this window size (the trunk where
// the projection puts it), after the first frame (whose caption is white),
// with the cone turned far enough towards the viewer to be seen.
bool isSettled(const x11_harness::RgbImage& image, const SceneView& view) {
    return image.width() == view.width() && image.height() == view.height() &&
           edgesMatch(boundingBox(image, TRUNK_GREEN, COLOUR_TOLERANCE), TRUNK_BOX, view) &&
           countNear(image, CONE_RED, COLOUR_TOLERANCE, view.pixelsOf(captionRegion(view))) > 0 &&
           countNear(image, CONE_RED, COLOUR_TOLERANCE, view.pixelsOf(figureRegion(view))) > 0;
}

x11_harness::RgbImage settledPicture(const ProgramUnderTest& program, const SceneView& view) {
    // On a timeout the last picture is checked anyway, to report what is wrong with it.
    return x11_harness::pollFor(
               REACTION_TIMEOUT, [&] { return program.capture(); },
               [&](const x11_harness::RgbImage& image) { return isSettled(image, view); })
        .lastSeen;
}

struct WindowShape {
    std::string name;
    int width;
    int height;
};

std::string geometryOption(const WindowShape& shape) {
    return std::to_string(shape.width) + "x" + std::to_string(shape.height);
}

std::string nameOf(const testing::TestParamInfo<WindowShape>& info) { return info.param.name; }
void PrintTo(const WindowShape& shape, std::ostream* out) { *out << geometryOption(shape); }

class PictureInWindow : public testing::TestWithParam<WindowShape> {};

TEST_P(PictureInWindow, ShowsTheSceneUndistortedWithFiftyUnitsOnTheShorterAxis) {
    const WindowShape shape = GetParam();
    ProgramUnderTest program({"-geometry", geometryOption(shape)});
    const SceneView view(shape.width, shape.height);

    expectScene(settledPicture(program, view), view);
}

INSTANTIATE_TEST_SUITE_P(Shapes, PictureInWindow,
                         testing::Values(WindowShape{"Square", 300, 300},
                                         WindowShape{"TwiceAsWide", 600, 300},
                                         WindowShape{"TwiceAsTall", 300, 600},
                                         WindowShape{"LargeSquare", 640, 640}),
                         nameOf);

class PictureAfterResize : public testing::TestWithParam<WindowShape> {};

TEST_P(PictureAfterResize, FollowsTheNewWindowSize) {
    const WindowShape shape = GetParam();
    ProgramUnderTest program({"-geometry", "400x400+0+0"});

    x11_harness::resizeWindow(program.x(), program.window(), shape.width, shape.height);
    const SceneView view(shape.width, shape.height);

    expectScene(settledPicture(program, view), view);
}

INSTANTIATE_TEST_SUITE_P(Shapes, PictureAfterResize,
                         testing::Values(WindowShape{"ToWide", 500, 250},
                                         WindowShape{"ToTall", 250, 500},
                                         WindowShape{"ToLargerSquare", 520, 520}),
                         nameOf);

// The caption takes whatever colour is current when it is drawn: GL's
// initial white in the very first frame, the cone's red in every later one.
TEST(Caption, IsWhiteInTheFirstFrameAndRedInTheNext) {
    ProgramUnderTest program({"-geometry", "500x500+0+0"});
    const SceneView view(500, 500);
    const Rect caption = view.pixelsOf(captionRegion(view));
    const auto& first = program.firstPicture();

    // Only the first frame shows the figure in its start pose: at its start
    // height, behind the trunk, upright, its broad face to the viewer. The
    // next frame, a tick later, has it lower, turned and tilted.
    const SceneBox startPose = boxAround(0, START_HEIGHT, BODY_HALF_WIDTH, BODY_HALF_HEIGHT);
    const auto body =
        boundingBox(first, BODY_WHITE, COLOUR_TOLERANCE, view.pixelsOf(figureRegion(view)));
    const auto inStartPose = edgesMatch(body, startPose, view);
    if (!inStartPose) {
        GTEST_SKIP() << "the first frame was replaced before it could be captured; the first "
                        "picture seen does not show the figure's start pose: "
                     << inStartPose.message();
    }
    EXPECT_GT(countNear(first, BODY_WHITE, COLOUR_TOLERANCE, caption), 0) << "no white caption";
    EXPECT_EQ(countNear(first, CONE_RED, COLOUR_TOLERANCE, caption), 0) << "red in the caption";

    const auto next = program.waitForNewPictures(1);
    EXPECT_GT(countNear(next, CONE_RED, COLOUR_TOLERANCE, caption), 0) << "no red caption";
    EXPECT_EQ(countNear(next, BODY_WHITE, COLOUR_TOLERANCE, caption), 0) << "white in the caption";
}

}  // namespace
}  // namespace e2e
