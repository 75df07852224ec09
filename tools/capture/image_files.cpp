// SPDX-License-Identifier: MIT
#include "image_files.h"

#include <png.h>

#include <cstdint>
#include <filesystem>
#include <stdexcept>

#include "child_process.h"

namespace capture {
namespace {

namespace fs = std::filesystem;

constexpr x11_harness::Milliseconds CONVERT_TIMEOUT{120000};

// The rows of the picture, top first, three bytes per pixel: libpng's layout.
std::vector<png_byte> packedRgb(const x11_harness::RgbImage& image) {
    std::vector<png_byte> bytes;
    bytes.reserve(static_cast<std::size_t>(image.width()) *
                  static_cast<std::size_t>(image.height()) * 3);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const x11_harness::Rgb pixel = image.at(x, y);
            bytes.insert(bytes.end(), {pixel.red, pixel.green, pixel.blue});
        }
    }
    return bytes;
}

// frame-01.png for frame 1 of up to 99, frame-001.png beyond, so that the
// names sort in recording order.
std::string frameName(std::size_t number, std::size_t count) {
    const std::size_t width = std::max<std::size_t>(2, std::to_string(count).size());
    std::string digits = std::to_string(number);
    digits.insert(0, width - digits.size(), '0');
    return "frame-" + digits + ".png";
}

bool isFrameFile(const fs::path& path) {
    const std::string name = path.filename().string();
    return name.rfind("frame-", 0) == 0 && path.extension() == ".png";
}

void removeOldFrames(const fs::path& directory) {
    for (const auto& entry : fs::directory_iterator(directory)) {
        if (entry.is_regular_file() && isFrameFile(entry.path())) {
            fs::remove(entry.path());
        }
    }
}

}  // namespace

void writePng(const x11_harness::RgbImage& image, const std::string& path) {
    const std::vector<png_byte> pixels = packedRgb(image);
    // libpng's simplified interface: no setjmp error handling to get wrong.
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width());
    png.height = static_cast<png_uint_32>(image.height());
    png.format = PNG_FORMAT_RGB;
    if (png_image_write_to_file(&png, path.c_str(), 0, pixels.data(), 0, nullptr) == 0) {
        throw std::runtime_error("cannot write " + path + ": " + png.message);
    }
}

std::vector<std::string> writeFrames(const std::vector<x11_harness::RgbImage>& frames,
                                     const std::string& directory) {
    fs::create_directories(directory);
    removeOldFrames(directory);
    std::vector<std::string> paths;
    for (std::size_t index = 0; index < frames.size(); ++index) {
        paths.push_back((fs::path(directory) / frameName(index + 1, frames.size())).string());
        writePng(frames[index], paths.back());
    }
    return paths;
}

void writeAnimatedGif(const std::vector<std::string>& framePaths,
                      x11_harness::Milliseconds framePeriod, const std::string& path) {
    // "Nx1000": each frame that follows shows for N ticks of 1/1000 s.
    const std::string delay = std::to_string(framePeriod.count()) + "x1000";
    x11_harness::ProcessOptions convert;
    // -loop 0: repeat forever.
    convert.arguments = {IMAGEMAGICK_CONVERT, "-delay", delay, "-loop", "0"};
    convert.arguments.insert(convert.arguments.end(), framePaths.begin(), framePaths.end());
    // Stores only what changed from one frame to the next: a much smaller file.
    convert.arguments.insert(convert.arguments.end(), {"-layers", "Optimize", path});

    x11_harness::ChildProcess process(convert);
    const x11_harness::ExitStatus status = process.waitForExit(CONVERT_TIMEOUT);
    if (!status.isSuccess()) {
        throw std::runtime_error("ImageMagick's convert could not write " + path + " (" +
                                 status.describe() + "): " + process.errorOutput());
    }
}

}  // namespace capture
