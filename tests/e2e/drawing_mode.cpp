#include "drawing_mode.h"

namespace e2e {
namespace {

// Filled, the trunk's box is green but where the figure passes in front
// (at most 8 of its 35 units of height). As outlines, only the edges of its
// front face are green: two long sides and the diagonals of the triangles
// the toolkit may draw it with.
constexpr double FILLED_MIN_COVERAGE = 0.7;
constexpr double OUTLINES_MAX_COVERAGE = 0.45;

}  // namespace

const char* describe(DrawingMode mode) {
    return mode == DrawingMode::Filled ? "filled" : "outlines";
}

double trunkCoverage(const x11_harness::RgbImage& image, const SceneView& view) {
    const Rect trunk = view.pixelsOf(boxAround(0, 0, TRUNK_HALF_WIDTH, TRUNK_HALF_HEIGHT));
    return x11_harness::countNear(image, TRUNK_GREEN, COLOUR_TOLERANCE, trunk) /
           static_cast<double>(trunk.width * trunk.height);
}

bool isDrawnAs(DrawingMode mode, const x11_harness::RgbImage& image, const SceneView& view) {
    const double coverage = trunkCoverage(image, view);
    return mode == DrawingMode::Filled ? coverage >= FILLED_MIN_COVERAGE
                                       : coverage <= OUTLINES_MAX_COVERAGE;
}

x11_harness::RgbImage pictureDrawnAs(DrawingMode mode, const ProgramUnderTest& program,
                                     const SceneView& view) {
    return x11_harness::pollFor(
               REACTION_TIMEOUT, [&] { return program.capture(); },
               [&](const x11_harness::RgbImage& image) { return isDrawnAs(mode, image, view); })
        .lastSeen;
}

}  // namespace e2e
