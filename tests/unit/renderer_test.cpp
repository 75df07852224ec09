// SPDX-License-Identifier: MIT
// Catches a stretched or off-centre projection, objects drawn in the wrong
// colour or place, a caption that moves with the scene, and unbalanced matrix
// stacks that would make the scene drift from frame to frame.
#include <algorithm>
#include <cmath>
#include <iterator>

#include "renderer.h"
#include "test_support.h"

namespace {

using stand_in::gl;
using stand_in::Vec3;

constexpr double PI = 3.14159265358979323846;
constexpr double EPS = 1e-4;

// ---- One-time state ----

using RenderStateTest = HandlerTest;

TEST_F(RenderStateTest, BlackBackgroundBackFaceCullingAndDepthTest) {
    initRenderState();
    const std::vector<std::string> expected = {"glClearColor", "glEnable", "glCullFace",
                                               "glEnable"};
    ASSERT_EQ(gl.callNames(), expected);
    EXPECT_EQ(gl.calls[0].args, (std::vector<double>{0, 0, 0, 1}));
    EXPECT_EQ(gl.calls[1].args.at(0), GL_CULL_FACE);
    EXPECT_EQ(gl.calls[2].args.at(0), GL_BACK);
    EXPECT_EQ(gl.calls[3].args.at(0), GL_DEPTH_TEST);
}

// ---- Projection ----

struct ReshapeCase {
    const char* name;
    int width, height;
    double viewportWidth, viewportHeight;
    double halfWidth, halfHeight;  // the visible extent in scene units
};

const ReshapeCase RESHAPES[] = {
    {"Square", 400, 400, 400, 400, 25, 25},
    {"TwiceAsWide", 800, 400, 800, 400, 50, 25},
    {"TwiceAsTall", 400, 800, 400, 800, 25, 50},
    {"WideAtThreeToTwo", 300, 200, 300, 200, 37.5, 25},  // ratios not whole numbers
    {"TallAtEightToFive", 250, 400, 250, 400, 25, 40},
    {"Thin", 3, 300, 3, 300, 25, 2500},
    {"ZeroHeightCountsAsOne", 300, 0, 300, 1, 7500, 25},
    {"ZeroWidthCountsAsOne", 0, 300, 1, 300, 25, 7500},
    {"ZeroBoth", 0, 0, 1, 1, 25, 25},
};

class ReshapeTest : public HandlerTest, public ::testing::WithParamInterface<ReshapeCase> {};

TEST_P(ReshapeTest, ShorterAxisShowsFiftyUnitsUndistorted) {
    const ReshapeCase& c = GetParam();
    reshapeView(c.width, c.height);

    const stand_in::Call* viewport = gl.findCall("glViewport");
    ASSERT_NE(viewport, nullptr);
    EXPECT_EQ(viewport->args, (std::vector<double>{0, 0, c.viewportWidth, c.viewportHeight}));

    const stand_in::Call* ortho = gl.findCall("glOrtho");
    ASSERT_NE(ortho, nullptr);
    const std::vector<double> expected = {-c.halfWidth, c.halfWidth, -c.halfHeight,
                                          c.halfHeight, -25.0,       25.0};
    ASSERT_EQ(ortho->args.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(ortho->args[i], expected[i], 1e-9) << "glOrtho argument " << i;
    }
    // The projection replaces, not accumulates: a second reshape gives the same.
    EXPECT_EQ(gl.callNames().at(2), "glLoadIdentity");
}

INSTANTIATE_TEST_SUITE_P(Table, ReshapeTest, ::testing::ValuesIn(RESHAPES), RowName());

using ProjectionTest = HandlerTest;

TEST_F(ProjectionTest, WindowTooLargeToDrawIsAskedBackToTheLargestDrawableSize) {
    reshapeView(40000, 300);
    const stand_in::Call* resize = gl.findCall("glutReshapeWindow");
    ASSERT_NE(resize, nullptr);
    EXPECT_EQ(resize->args, (std::vector<double>{16384, 300}));

    stand_in::reset();
    reshapeView(200, 99999);
    resize = gl.findCall("glutReshapeWindow");
    ASSERT_NE(resize, nullptr);
    EXPECT_EQ(resize->args, (std::vector<double>{200, 16384}));
}

TEST_F(ProjectionTest, DrawableWindowSizesAreLeftAlone) {
    reshapeView(16384, 16384);
    reshapeView(300, 300);
    EXPECT_EQ(gl.findCall("glutReshapeWindow"), nullptr);
}

TEST_F(ProjectionTest, ReshapeReplacesTheProjectionAndLeavesIdentityModelViewCurrent) {
    reshapeView(800, 400);
    reshapeView(400, 400);  // must not accumulate onto the previous projection
    EXPECT_EQ(gl.matrixMode, static_cast<GLenum>(GL_MODELVIEW));
    EXPECT_EQ(gl.modelView(), stand_in::identityMatrix());
    // A point at the edge of the square view lands at the edge of the viewport.
    const Vec3 corner = stand_in::transformPoint(gl.projection(), {25.0, -25.0, 25.0});
    EXPECT_NEAR(corner.x, 1.0, EPS);
    EXPECT_NEAR(corner.y, -1.0, EPS);
    EXPECT_NEAR(corner.z, -1.0, EPS);
}

// ---- Frame ----

// Where a primitive's local point ends up in eye coordinates.
Vec3 eyePosition(const stand_in::Primitive& primitive, Vec3 local) {
    return stand_in::transformPoint(primitive.modelView, local);
}

void expectNear(Vec3 actual, Vec3 expected, const char* what) {
    EXPECT_NEAR(actual.x, expected.x, EPS) << what;
    EXPECT_NEAR(actual.y, expected.y, EPS) << what;
    EXPECT_NEAR(actual.z, expected.z, EPS) << what;
}

void expectColour(stand_in::Colour actual, stand_in::Colour expected, const char* what) {
    EXPECT_FLOAT_EQ(actual.r, expected.r) << what;
    EXPECT_FLOAT_EQ(actual.g, expected.g) << what;
    EXPECT_FLOAT_EQ(actual.b, expected.b) << what;
}

constexpr stand_in::Colour WHITE{1, 1, 1};
constexpr stand_in::Colour GREEN{0, 0.8f, 0};
constexpr stand_in::Colour RED{1, 0, 0};

class FrameTest : public HandlerTest {
protected:
    // Draws one frame; returns trunk, body and cone, in drawing order.
    const std::vector<stand_in::Primitive>& drawFrame() {
        reshapeView(500, 500);
        gl.primitives.clear();
        displayScene();
        EXPECT_EQ(gl.primitives.size(), 3u);
        return gl.primitives;
    }
};

TEST_F(FrameTest, DrawsTrunkBodyAndConeInTheirColoursAndShapes) {
    const auto& drawn = drawFrame();
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_EQ(drawn[0].name, "glutSolidCube");
    EXPECT_EQ(drawn[0].args, std::vector<double>{1.0});
    expectColour(drawn[0].colour, GREEN, "trunk");
    EXPECT_EQ(drawn[1].name, "glutSolidCube");
    EXPECT_EQ(drawn[1].args, std::vector<double>{1.0});
    expectColour(drawn[1].colour, WHITE, "body");
    EXPECT_EQ(drawn[2].name, "glutSolidCone");
    EXPECT_EQ(drawn[2].args, (std::vector<double>{1.0, 3.0, 16, 1}));
    expectColour(drawn[2].colour, RED, "cone");
}

TEST_F(FrameTest, TrunkIsUprightThirtyFiveUnitsTallAndOneWide) {
    const auto& drawn = drawFrame();
    ASSERT_EQ(drawn.size(), 3u);
    expectNear(eyePosition(drawn[0], {0, 0, 0}), {0, 0, 0}, "trunk centre");
    expectNear(eyePosition(drawn[0], {0.5, 0.5, 0.5}), {0.5, 17.5, 0.5}, "trunk corner");
}

// The figure's placement at telling poses: where its body centre, the centre
// of its body's right face, the cone's base and the cone's tip are.
struct FigureCase {
    const char* name;
    float orbit, height, tilt;
    Vec3 bodyCentre, bodyRightFace, coneBase, coneTip;
};

double sinDeg(double degrees) { return std::sin(degrees * PI / 180.0); }
double cosDeg(double degrees) { return std::cos(degrees * PI / 180.0); }

// clang-format off
const FigureCase FIGURES[] = {
    // Behind the trunk, its 3-unit face to the viewer, the tip touching the trunk.
    {"BehindAtOrbit0",            0,  10, 0, {0, 10, -4.5}, {1.5, 10, -4.5},  {0, 12.5, -3.5}, {0, 12.5, -0.5}},
    {"LeftAtOrbit90",            90,  10, 0, {-4.5, 10, 0}, {-4.5, 10, -1.5}, {-3.5, 12.5, 0}, {-0.5, 12.5, 0}},
    {"InFrontAtOrbit180",       180, -15, 0, {0, -15, 4.5}, {-1.5, -15, 4.5}, {0, -12.5, 3.5}, {0, -12.5, 0.5}},
    {"RightAtOrbit270",         270,  15, 0, {4.5, 15, 0},  {4.5, 15, 1.5},   {3.5, 17.5, 0},  {0.5, 17.5, 0}},
    {"Orbit360DrawsLikeOrbit0", 360,  10, 0, {0, 10, -4.5}, {1.5, 10, -4.5},  {0, 12.5, -3.5}, {0, 12.5, -0.5}},
    // Tilted back by 10 degrees about the body's centre: the cone end leaves the trunk.
    {"TiltedBack", 0, 10, -10, {0, 10, -4.5}, {1.5, 10, -4.5},
     {0, 10 + 2.5 * cosDeg(10) + 1 * sinDeg(10), -4.5 - 2.5 * sinDeg(10) + 1 * cosDeg(10)},
     {0, 10 + 2.5 * cosDeg(10) + 4 * sinDeg(10), -4.5 - 2.5 * sinDeg(10) + 4 * cosDeg(10)}},
};
// clang-format on

class FigurePlacementTest : public FrameTest, public ::testing::WithParamInterface<FigureCase> {};

TEST_P(FigurePlacementTest, BodyAndConeAreWhereThePoseSays) {
    const FigureCase& c = GetParam();
    sceneState.figureOrbit = c.orbit;
    sceneState.figureHeight = c.height;
    sceneState.figureTilt = c.tilt;
    const auto& drawn = drawFrame();
    ASSERT_EQ(drawn.size(), 3u);
    expectNear(eyePosition(drawn[1], {0, 0, 0}), c.bodyCentre, "body centre");
    expectNear(eyePosition(drawn[1], {0.5, 0, 0}), c.bodyRightFace, "body right face");
    // The body is 8 tall and 2 deep, whatever the pose.
    const Vec3 top = eyePosition(drawn[1], {0, 0.5, 0});
    const Vec3 centre = eyePosition(drawn[1], {0, 0, 0});
    EXPECT_NEAR(std::hypot(top.x - centre.x, top.y - centre.y, top.z - centre.z), 4.0, EPS);
    const Vec3 front = eyePosition(drawn[1], {0, 0, 0.5});
    EXPECT_NEAR(std::hypot(front.x - centre.x, front.y - centre.y, front.z - centre.z), 1.0, EPS);
    expectNear(eyePosition(drawn[2], {0, 0, 0}), c.coneBase, "cone base");
    expectNear(eyePosition(drawn[2], {0, 0, 3}), c.coneTip, "cone tip");
}

INSTANTIATE_TEST_SUITE_P(Poses, FigurePlacementTest, ::testing::ValuesIn(FIGURES), RowName());

TEST_F(FrameTest, ViewAnglesTurnTheWholeSceneXFirst) {
    // Down 18 times: the trunk's top comes towards the viewer, seen end-on.
    sceneState.viewAngleX = 90;
    const auto& endOn = drawFrame();
    ASSERT_EQ(endOn.size(), 3u);
    expectNear(eyePosition(endOn[0], {0, 0.5, 0}), {0, 0, 17.5}, "trunk top, X turned");
    expectNear(eyePosition(endOn[1], {0, 0, 0}), {0, 4.5, 10}, "body, X turned");

    // Both turned: Y first turns the figure to the left, then X tips it over.
    sceneState.viewAngleY = 90;
    const auto& both = drawFrame();
    ASSERT_EQ(both.size(), 3u);
    expectNear(eyePosition(both[1], {0, 0, 0}), {-4.5, 0, 10}, "body, both turned");
}

TEST_F(FrameTest, PolygonModeFollowsFilledModeForEveryObject) {
    for (const auto& [filled, mode] : {std::pair{1, GL_FILL}, std::pair{0, GL_LINE}}) {
        sceneState.filledMode = filled;
        for (const auto& primitive : drawFrame()) {
            EXPECT_EQ(primitive.polygonMode, static_cast<GLenum>(mode)) << primitive.name;
        }
        const stand_in::Call* polygonMode = gl.findCall("glPolygonMode");
        ASSERT_NE(polygonMode, nullptr);
        EXPECT_EQ(polygonMode->args.at(0), GL_FRONT_AND_BACK);
    }
}

TEST_F(FrameTest, CaptionIsWrittenInEyeCoordinatesBeforeAnyTransform) {
    sceneState.viewAngleX = 40;
    sceneState.viewAngleY = 75;
    drawFrame();
    ASSERT_EQ(gl.rasterPositions.size(), 1u);
    EXPECT_EQ(gl.rasterPositions[0].x, -20.0);
    EXPECT_EQ(gl.rasterPositions[0].y, 20.0);
    EXPECT_EQ(gl.rasterPositions[0].modelView, stand_in::identityMatrix());
    EXPECT_EQ(gl.bitmapText, "Kelmor Ubrino programja");
    for (void* font : gl.bitmapFonts) {
        EXPECT_EQ(font, GLUT_BITMAP_HELVETICA_18);
    }
}

TEST_F(FrameTest, CaptionIsWhiteOnTheFirstFrameAndRedAfter) {
    drawFrame();
    drawFrame();
    ASSERT_EQ(gl.rasterPositions.size(), 2u);
    expectColour(gl.rasterPositions[0].colour, WHITE, "first frame's caption");
    expectColour(gl.rasterPositions[1].colour, RED, "second frame's caption");
}

TEST_F(FrameTest, ClearsFirstAndSwapsLast) {
    drawFrame();
    const auto names = gl.callNames();
    const auto frameStart = std::find(names.begin(), names.end(), "glClear");
    ASSERT_NE(frameStart, names.end());
    EXPECT_EQ(gl.findCall("glClear")->args.at(0), GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    EXPECT_EQ(*std::next(frameStart), "glRasterPos2f");
    EXPECT_EQ(names.back(), "glutSwapBuffers");
    EXPECT_EQ(gl.swaps, 1);
}

TEST_F(FrameTest, MatrixPushesAndPopsBalanceFrameAfterFrame) {
    for (int frame = 0; frame < 3; ++frame) {
        sceneState.figureOrbit = 35.0f * static_cast<float>(frame);
        drawFrame();
        EXPECT_FALSE(gl.matrixStackUnderflow);
        EXPECT_EQ(gl.modelViewStack.size(), 1u);
        EXPECT_EQ(gl.modelView(), stand_in::identityMatrix());
    }
    EXPECT_EQ(gl.deepestModelViewStack, 3u);  // view, then one object's own scale
}

TEST_F(FrameTest, DrawingDoesNotChangeTheScene) {
    sceneState.figureOrbit = 55.0f;
    sceneState.filledMode = 0;
    drawFrame();
    EXPECT_EQ(sceneState.figureOrbit, 55.0f);
    EXPECT_EQ(sceneState.filledMode, 0);
    EXPECT_EQ(gl.redisplays, 0);
}

}  // namespace
