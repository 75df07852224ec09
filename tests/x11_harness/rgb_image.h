// A captured picture and the questions tests ask about it: the colour of a
// pixel, how many pixels of a colour a region holds, and where a colour is.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace x11_harness {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    bool operator==(const Rgb& other) const {
        return red == other.red && green == other.green && blue == other.blue;
    }
    bool operator!=(const Rgb& other) const { return !(*this == other); }
};

// Colours given as the 0..1 fractions a GL program uses, for example
// fromUnit(0, 0.8, 0); each channel is rounded to the nearest 8-bit value.
Rgb fromUnit(double red, double green, double blue);

// True if every channel of `actual` is within `tolerance` of `expected`.
bool isNear(Rgb actual, Rgb expected, int tolerance);

std::string describe(Rgb colour);

// An axis-aligned pixel rectangle: x grows to the right, y downwards, as in
// X11. Covers columns [x, x + width) and rows [y, y + height).
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    int right() const { return x + width; }    // one past the last column
    int bottom() const { return y + height; }  // one past the last row
    bool isEmpty() const { return width <= 0 || height <= 0; }
    bool operator==(const Rect& other) const {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
    bool operator!=(const Rect& other) const { return !(*this == other); }
};

// The rectangle from its edges: `left` and `top` are the first column and
// row inside it, `right` and `bottom` the first ones past it.
Rect rectFromEdges(int left, int top, int right, int bottom);
Rect intersection(const Rect& a, const Rect& b);
std::string describe(const Rect& rect);
std::string describe(const std::optional<Rect>& rect);

class RgbImage {
public:
    RgbImage() = default;
    // All black.
    RgbImage(int width, int height);
    // From `pixels`, row after row from the top; throws
    // std::invalid_argument unless there are width x height of them.
    RgbImage(int width, int height, std::vector<Rgb> pixels);

    int width() const { return width_; }
    int height() const { return height_; }
    Rect bounds() const { return {0, 0, width_, height_}; }

    // Throws std::out_of_range for a position outside the image.
    Rgb at(int x, int y) const;
    void set(int x, int y, Rgb colour);

    bool operator==(const RgbImage& other) const {
        return width_ == other.width_ && height_ == other.height_ && pixels_ == other.pixels_;
    }
    bool operator!=(const RgbImage& other) const { return !(*this == other); }

private:
    std::size_t indexOf(int x, int y) const;

    int width_ = 0;
    int height_ = 0;
    std::vector<Rgb> pixels_;
};

// Number of pixels in `region` (clipped to the image) whose colour is within
// `tolerance` of `colour`.
int countNear(const RgbImage& image, Rgb colour, int tolerance, const Rect& region);
int countNear(const RgbImage& image, Rgb colour, int tolerance);

// Number of pixels in `region` that differ from `background` by more than
// `tolerance` in some channel: anything drawn there.
int countNotNear(const RgbImage& image, Rgb background, int tolerance, const Rect& region);

// The smallest rectangle holding every pixel in `region` near `colour`, or
// nothing if there is none.
std::optional<Rect> boundingBox(const RgbImage& image, Rgb colour, int tolerance,
                                const Rect& region);
std::optional<Rect> boundingBox(const RgbImage& image, Rgb colour, int tolerance);

// Writes the image as a binary PPM file, for looking at a failing picture.
// Throws std::runtime_error if the file cannot be written.
void writePpm(const RgbImage& image, const std::string& path);

}  // namespace x11_harness
