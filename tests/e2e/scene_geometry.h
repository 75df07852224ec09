// What the program is expected to draw, in scene units, and where those
// units land in a window of a given size. Every expected pixel position in
// the tests is derived from here: the shorter window axis shows 50 units,
// [-25, 25], centred, and the longer axis shows proportionally more.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "rgb_image.h"

namespace e2e {

using x11_harness::Rect;
using x11_harness::Rgb;

// Scene units visible along the window's shorter axis.
inline constexpr double VISIBLE_UNITS = 50.0;

// The trunk: a 1 x 35 x 1 box on the scene's Y axis.
inline constexpr double TRUNK_HALF_WIDTH = 0.5;
inline constexpr double TRUNK_HALF_HEIGHT = 17.5;

// The figure body: a 3 x 8 x 2 box whose centre orbits the trunk.
inline constexpr double BODY_HALF_WIDTH = 1.5;
inline constexpr double BODY_HALF_HEIGHT = 4.0;
inline constexpr double BODY_HALF_DEPTH = 1.0;
inline constexpr double ORBIT_RADIUS = 4.5;
// The cone: base radius 1, height 3, based on the body's trunk-side face
// 2.5 units above the body's centre.
inline constexpr double CONE_RADIUS = 1.0;
inline constexpr double CONE_HEIGHT = 3.0;
inline constexpr double CONE_RISE = 2.5;

// The animation: one tick every 100 ms moves the figure 0.25 units down and
// 5 degrees around the trunk, and steps the tilt through 0, -2, ..., -10.
inline constexpr double START_HEIGHT = 10.0;
inline constexpr double TOP_HEIGHT = 15.0;
inline constexpr double BOTTOM_HEIGHT = -15.0;
inline constexpr double HEIGHT_STEP = 0.25;
inline constexpr double ORBIT_STEP_DEG = 5.0;
inline constexpr int TILT_CYCLE_TICKS = 6;
inline constexpr double TICKS_PER_SECOND = 10.0;

// The caption's raster position, in eye coordinates (no view rotation).
inline constexpr double CAPTION_X = -20.0;
inline constexpr double CAPTION_BASELINE_Y = 20.0;

// Colours as the program sets them with glColor3f / glClearColor.
inline const Rgb BACKGROUND = x11_harness::fromUnit(0.0, 0.0, 0.0);
inline const Rgb TRUNK_GREEN = x11_harness::fromUnit(0.0, 0.8, 0.0);
inline const Rgb BODY_WHITE = x11_harness::fromUnit(1.0, 1.0, 1.0);
inline const Rgb CONE_RED = x11_harness::fromUnit(1.0, 0.0, 0.0);

// Flat colours need no tolerance for shading, only for the 8-bit rounding
// of 0.8; a little more costs nothing and nothing else is near them.
inline constexpr int COLOUR_TOLERANCE = 8;
// Rasterisation may put an edge one pixel either way of the exact line.
inline constexpr double EDGE_TOLERANCE_PX = 2.0;

inline double radians(double degrees) { return degrees * std::acos(-1.0) / 180.0; }

// An axis-aligned box in scene units (x to the right, y up).
struct SceneBox {
    double left;
    double bottom;
    double right;
    double top;
};

// A box centred on (centreX, centreY).
SceneBox boxAround(double centreX, double centreY, double halfWidth, double halfHeight);

// Maps scene units to the pixels of a width x height window.
class SceneView {
public:
    SceneView(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    double pixelsPerUnit() const { return pixelsPerUnit_; }

    // Pixel edge positions (X11: x to the right, y down) of scene coordinates.
    double columnOf(double sceneX) const;
    double rowOf(double sceneY) const;
    // Back from a pixel edge position to scene units.
    double sceneXOf(double column) const;
    double sceneYOf(double row) const;

    // The whole pixels covering `box`, rounded outwards, clipped to the window.
    Rect pixelsOf(const SceneBox& box) const;
    // The scene box that the whole window shows.
    SceneBox visibleBox() const;

private:
    int width_;
    int height_;
    double pixelsPerUnit_;
};

// Passes if `observed` has all four edges within `tolerancePx` of where
// `expected` puts them in `view`; the message gives every edge, expected
// and observed, in pixels and scene units.
testing::AssertionResult edgesMatch(const std::optional<Rect>& observed, const SceneBox& expected,
                                    const SceneView& view, double tolerancePx = EDGE_TOLERANCE_PX);

}  // namespace e2e
