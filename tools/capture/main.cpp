// SPDX-License-Identifier: MIT
// glut-alap-capture: records what the program shows, with no display needed.
//
// It starts the program on a private virtual X server, optionally sends
// input first (arrow keys, the menu's wireframe toggle), records a number of
// consecutive frames and writes them as PNG files plus an animated GIF that
// plays at the program's own pace, one frame per animation step.
#include <exception>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "animation.h"
#include "capture_options.h"
#include "child_process.h"
#include "image_files.h"
#include "recorder.h"

namespace {

constexpr x11_harness::Milliseconds FRAME_PERIOD{TIMER_PERIOD_MS};

// "3.0 s" for 30 frames of 100 ms.
std::string playingTime(std::size_t frames) {
    std::ostringstream text;
    text.precision(1);
    text << std::fixed << static_cast<double>(frames * FRAME_PERIOD.count()) / 1000.0 << " s";
    return text.str();
}

// Each line indented, control characters made visible.
void printLines(const std::string& text) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::cout << "  " << x11_harness::printable(line) << "\n";
    }
}

void printSummary(const capture::Recording& recording, const std::vector<std::string>& framePaths,
                  const std::string& animationPath) {
    const x11_harness::RgbImage& first = recording.frames.front();
    const bool several = framePaths.size() > 1;
    std::cout << "Recorded " << framePaths.size() << (several ? " frames" : " frame") << " of "
              << first.width() << "x" << first.height() << " pixels, one per animation step ("
              << FRAME_PERIOD.count() << " ms):\n"
              << "  pictures:  " << framePaths.front()
              << (several ? " ... " + framePaths.back() : std::string()) << "\n"
              << "  animation: " << animationPath << " (" << playingTime(framePaths.size())
              << ", repeating)\n";
    if (!recording.consoleOutput.empty()) {
        std::cout << "The program wrote on its console:\n";
        printLines(recording.consoleOutput);
    }
}

int recordAndWrite(const capture::CaptureOptions& options) {
    const capture::Recording recording = capture::recordProgram(options);
    const std::vector<std::string> framePaths =
        capture::writeFrames(recording.frames, options.outputDirectory);
    const std::string animationPath = options.outputDirectory + "/animation.gif";
    capture::writeAnimatedGif(framePaths, FRAME_PERIOD, animationPath);
    printSummary(recording, framePaths, animationPath);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const capture::CaptureOptions options =
            capture::parseOptions(argc, argv, GLUT_ALAP_PROGRAM);
        if (options.helpWanted) {
            std::cout << capture::usageText();
            return 0;
        }
        return recordAndWrite(options);
    } catch (const capture::UsageError& error) {
        std::cerr << "glut-alap-capture: " << error.what() << "\n\n" << capture::usageText();
        return 2;
    } catch (const std::exception& error) {
        std::cerr << "glut-alap-capture: " << error.what() << "\n";
        return 1;
    }
}
