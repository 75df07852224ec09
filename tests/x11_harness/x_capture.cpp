#include "x_capture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "x_windows.h"

namespace x11_harness {
namespace {

// One colour channel of a pixel value: the bits `mask` selects, scaled to
// 0..255. The mask is a contiguous run of bits: 8 of them on a 24-bit
// screen, but nothing here relies on that. Worked out once per image,
// not once per pixel.
class Channel {
public:
    explicit Channel(unsigned long mask) : mask_(mask) {
        while (mask_ != 0 && ((mask_ >> shift_) & 1UL) == 0) {
            ++shift_;
        }
        maximum_ = mask_ >> shift_;
    }

    std::uint8_t valueOf(unsigned long pixel) const {
        if (maximum_ == 0) {
            return 0;
        }
        const unsigned long value = (pixel & mask_) >> shift_;
        return static_cast<std::uint8_t>((value * 255UL + maximum_ / 2) / maximum_);
    }

private:
    unsigned long mask_;
    int shift_ = 0;
    unsigned long maximum_ = 0;
};

struct ImageDeleter {
    void operator()(XImage* image) const { XDestroyImage(image); }
};

bool isLittleEndianHost() {
    const std::uint16_t one = 1;
    unsigned char firstByte = 0;
    std::memcpy(&firstByte, &one, 1);
    return firstByte == 1;
}

// XGetPixel decodes any pixel layout, through a function call per pixel.
// The layout of every 24-bit TrueColor screen (a 32-bit word a pixel, in
// this machine's byte order) is read straight from the image data instead:
// the animation is watched by capturing many pictures a second.
bool holdsNativeWords(const XImage& image) {
    const int hostOrder = isLittleEndianHost() ? LSBFirst : MSBFirst;
    return image.format == ZPixmap && image.bits_per_pixel == 32 && image.byte_order == hostOrder;
}

unsigned long nativeWordAt(const XImage& image, int x, int y) {
    const char* row = image.data + static_cast<std::ptrdiff_t>(y) * image.bytes_per_line;
    std::uint32_t word = 0;
    std::memcpy(&word, row + static_cast<std::ptrdiff_t>(x) * 4, sizeof word);
    return word;
}

RgbImage toRgb(XImage& image, int width, int height) {
    const Channel red(image.red_mask);
    const Channel green(image.green_mask);
    const Channel blue(image.blue_mask);
    const bool direct = holdsNativeWords(image);
    std::vector<Rgb> pixels;
    pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned long pixel =
                direct ? nativeWordAt(image, x, y) : XGetPixel(&image, x, y);
            pixels.push_back({red.valueOf(pixel), green.valueOf(pixel), blue.valueOf(pixel)});
        }
    }
    return RgbImage(width, height, std::move(pixels));
}

// XGetImage on a window reads the screen: it fails with a bare BadMatch
// for any part of the window that lies off the screen. Say so plainly.
void requireOnScreen(XConnection& x, const WindowGeometry& geometry, const Rect& wanted) {
    const Rect screen{0, 0, DisplayWidth(x.display(), DefaultScreen(x.display())),
                      DisplayHeight(x.display(), DefaultScreen(x.display()))};
    const Rect onScreen{geometry.x + wanted.x, geometry.y + wanted.y, wanted.width, wanted.height};
    if (intersection(onScreen, screen) != onScreen) {
        throw std::runtime_error("cannot capture " + describe(wanted) + " of a window at " +
                                 describe(geometry) +
                                 ": part of it is off the screen (move the window first)");
    }
}

}  // namespace

RgbImage captureWindow(XConnection& x, WindowId window, std::optional<Rect> region) {
    const WindowGeometry geometry = windowGeometry(x, window);
    const Rect whole{0, 0, geometry.width, geometry.height};
    const Rect wanted = region ? intersection(*region, whole) : whole;
    if (wanted.isEmpty()) {
        return RgbImage(0, 0);
    }
    requireOnScreen(x, geometry, wanted);
    std::unique_ptr<XImage, ImageDeleter> image(
        XGetImage(x.display(), window, wanted.x, wanted.y, static_cast<unsigned>(wanted.width),
                  static_cast<unsigned>(wanted.height), AllPlanes, ZPixmap));
    x.syncAndCheck("capturing window " + std::to_string(window));
    if (!image) {
        throw std::runtime_error("capturing window " + std::to_string(window) + " failed");
    }
    return toRgb(*image, wanted.width, wanted.height);
}

}  // namespace x11_harness
