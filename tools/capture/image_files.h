// SPDX-License-Identifier: MIT
// Recorded frames as files: PNG pictures (libpng) and an animated GIF
// (ImageMagick's convert).
#pragma once

#include <string>
#include <vector>

#include "rgb_image.h"
#include "wait_for.h"

namespace capture {

// Writes `image` as an 8-bit RGB PNG file. Throws std::runtime_error if it cannot.
void writePng(const x11_harness::RgbImage& image, const std::string& path);

// Writes the frames as frame-01.png, frame-02.png, ... into `directory`,
// which is created if need be. Frame files left there by an earlier, longer
// recording are removed first, so the folder holds this recording only.
// Returns the paths written, in order.
std::vector<std::string> writeFrames(const std::vector<x11_harness::RgbImage>& frames,
                                     const std::string& directory);

// Joins PNG frames into an animated GIF that shows each for `framePeriod`
// and repeats forever. Throws std::runtime_error with convert's message if
// it fails.
void writeAnimatedGif(const std::vector<std::string>& framePaths,
                      x11_harness::Milliseconds framePeriod, const std::string& path);

}  // namespace capture
