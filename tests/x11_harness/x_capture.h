// Reading back what a window shows, with XGetImage.
#pragma once

#include <optional>

#include "rgb_image.h"
#include "x_connection.h"
#include "x_types.h"

namespace x11_harness {

// The window's pixels as the server holds them: the whole window, or only
// `region` (window coordinates, clipped to the window; the image's (0, 0)
// is then the region's top-left corner). Parts covered by
// other windows show those windows, as on screen. Throws
// std::runtime_error if the window is gone or not viewable.
RgbImage captureWindow(XConnection& x, WindowId window, std::optional<Rect> region = {});

}  // namespace x11_harness
