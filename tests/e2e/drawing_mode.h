// Telling filled drawing from outlines in a picture, by the trunk: filled,
// its box is green all over; as outlines, only along the edges.
#pragma once

#include "program_under_test.h"
#include "rgb_image.h"
#include "scene_geometry.h"

namespace e2e {

enum class DrawingMode { Filled, Outlines };

const char* describe(DrawingMode mode);

// The share of the trunk's box (seen upright, face on) that is trunk green.
double trunkCoverage(const x11_harness::RgbImage& image, const SceneView& view);

bool isDrawnAs(DrawingMode mode, const x11_harness::RgbImage& image, const SceneView& view);

// The first picture drawn in `mode`, or the last picture seen if none was
// within the reaction timeout; the caller checks it either way.
x11_harness::RgbImage pictureDrawnAs(DrawingMode mode, const ProgramUnderTest& program,
                                     const SceneView& view);

}  // namespace e2e
