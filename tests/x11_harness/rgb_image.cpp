#include "rgb_image.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <utility>

namespace x11_harness {
namespace {

std::uint8_t unitToByte(double fraction) {
    const double clamped = std::clamp(fraction, 0.0, 1.0);
    return static_cast<std::uint8_t>(std::lround(clamped * 255.0));
}

bool channelNear(std::uint8_t actual, std::uint8_t expected, int tolerance) {
    return std::abs(int{actual} - int{expected}) <= tolerance;
}

// Calls visit(x, y, colour) for every pixel of `region` inside the image.
template <typename Visit>
void forEachPixel(const RgbImage& image, const Rect& region, Visit visit) {
    const Rect clipped = intersection(region, image.bounds());
    for (int y = clipped.y; y < clipped.bottom(); ++y) {
        for (int x = clipped.x; x < clipped.right(); ++x) {
            visit(x, y, image.at(x, y));
        }
    }
}

}  // namespace

Rgb fromUnit(double red, double green, double blue) {
    return {unitToByte(red), unitToByte(green), unitToByte(blue)};
}

bool isNear(Rgb actual, Rgb expected, int tolerance) {
    return channelNear(actual.red, expected.red, tolerance) &&
           channelNear(actual.green, expected.green, tolerance) &&
           channelNear(actual.blue, expected.blue, tolerance);
}

std::string describe(Rgb colour) {
    return "rgb(" + std::to_string(colour.red) + ", " + std::to_string(colour.green) + ", " +
           std::to_string(colour.blue) + ")";
}

Rect rectFromEdges(int left, int top, int right, int bottom) {
    return {left, top, right - left, bottom - top};
}

Rect intersection(const Rect& a, const Rect& b) {
    const int left = std::max(a.x, b.x);
    const int top = std::max(a.y, b.y);
    const int right = std::min(a.right(), b.right());
    const int bottom = std::min(a.bottom(), b.bottom());
    if (right <= left || bottom <= top) {
        return {left, top, 0, 0};
    }
    return rectFromEdges(left, top, right, bottom);
}

std::string describe(const Rect& rect) {
    return "columns [" + std::to_string(rect.x) + ", " + std::to_string(rect.right()) + ") rows [" +
           std::to_string(rect.y) + ", " + std::to_string(rect.bottom()) + ")";
}

std::string describe(const std::optional<Rect>& rect) {
    return rect ? describe(*rect) : std::string("nothing");
}

RgbImage::RgbImage(int width, int height)
    : width_(width),
      height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    if (width < 0 || height < 0) {
        throw std::invalid_argument("RgbImage: negative size");
    }
}

RgbImage::RgbImage(int width, int height, std::vector<Rgb> pixels)
    : width_(width), height_(height), pixels_(std::move(pixels)) {
    if (width < 0 || height < 0 ||
        pixels_.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        throw std::invalid_argument("RgbImage: pixel count does not match the size");
    }
}

std::size_t RgbImage::indexOf(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        throw std::out_of_range("RgbImage: pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                                ") outside a " + std::to_string(width_) + "x" +
                                std::to_string(height_) + " image");
    }
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
}

Rgb RgbImage::at(int x, int y) const { return pixels_[indexOf(x, y)]; }

void RgbImage::set(int x, int y, Rgb colour) { pixels_[indexOf(x, y)] = colour; }

int countNear(const RgbImage& image, Rgb colour, int tolerance, const Rect& region) {
    int count = 0;
    forEachPixel(image, region, [&](int, int, Rgb pixel) {
        if (isNear(pixel, colour, tolerance)) {
            ++count;
        }
    });
    return count;
}

int countNear(const RgbImage& image, Rgb colour, int tolerance) {
    return countNear(image, colour, tolerance, image.bounds());
}

int countNotNear(const RgbImage& image, Rgb background, int tolerance, const Rect& region) {
    const Rect clipped = intersection(region, image.bounds());
    const int all = clipped.width * clipped.height;
    return all - countNear(image, background, tolerance, clipped);
}

std::optional<Rect> boundingBox(const RgbImage& image, Rgb colour, int tolerance,
                                const Rect& region) {
    int left = image.width();
    int top = image.height();
    int right = -1;
    int bottom = -1;
    forEachPixel(image, region, [&](int x, int y, Rgb pixel) {
        if (isNear(pixel, colour, tolerance)) {
            left = std::min(left, x);
            top = std::min(top, y);
            right = std::max(right, x);
            bottom = std::max(bottom, y);
        }
    });
    if (right < 0) {
        return std::nullopt;
    }
    return rectFromEdges(left, top, right + 1, bottom + 1);
}

std::optional<Rect> boundingBox(const RgbImage& image, Rgb colour, int tolerance) {
    return boundingBox(image, colour, tolerance, image.bounds());
}

void writePpm(const RgbImage& image, const std::string& path) {
    std::ofstream file(path, std::ios::binary);
    file << "P6\n" << image.width() << ' ' << image.height() << "\n255\n";
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const Rgb pixel = image.at(x, y);
            file.put(static_cast<char>(pixel.red));
            file.put(static_cast<char>(pixel.green));
            file.put(static_cast<char>(pixel.blue));
        }
    }
    if (!file) {
        throw std::runtime_error("cannot write " + path);
    }
}

}  // namespace x11_harness
