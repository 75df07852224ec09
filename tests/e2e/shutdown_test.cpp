// Catches a menu exit or window close that ends with a bad status or loses console text.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "console_text.h"
#include "drawing_mode.h"
#include "program_under_test.h"
#include "scene_geometry.h"

namespace e2e {
namespace {

constexpr Milliseconds EXIT_TIMEOUT{5000};

constexpr int WINDOW_SIZE = 500;
// Where the pointer is for the keys and the menu: right of and below the
// trunk, so that the open menu hides none of it.
constexpr int POINTER_X = 300;
constexpr int POINTER_Y = 440;

// Three flushed key reports, then the menu's line, which stays in the C
// library's buffer: through a pipe, nothing but a normal exit writes it out.
// Returns the whole text the program must have written when it ends.
std::string writeFlushedAndBufferedText(ProgramUnderTest& program) {
    program.pointAt(POINTER_X, POINTER_Y);
    for (const KeySymbol key : std::vector<KeySymbol>{XK_x, XK_y, XK_z}) {
        program.type(key);
    }
    program.process().waitForLines(3, REACTION_TIMEOUT);
    program.chooseFromMenu(MenuEntry::ToggleOutlines);
    // The outlines show that the choice, and so its line, has been handled.
    const SceneView view(WINDOW_SIZE, WINDOW_SIZE);
    EXPECT_TRUE(isDrawnAs(DrawingMode::Outlines,
                          pictureDrawnAs(DrawingMode::Outlines, program, view), view));
    return keyReportLine('x', POINTER_X, POINTER_Y) + keyReportLine('y', POINTER_X, POINTER_Y) +
           keyReportLine('z', POINTER_X, POINTER_Y) + TOGGLE_LINE;
}

struct ShutdownCase {
    std::string name;
    std::function<void(ProgramUnderTest&)> shutDown;
};

std::string nameOf(const testing::TestParamInfo<ShutdownCase>& info) { return info.param.name; }
void PrintTo(const ShutdownCase& shutdown, std::ostream* out) { *out << shutdown.name; }

class Shutdown : public testing::TestWithParam<ShutdownCase> {};

TEST_P(Shutdown, EndsWithStatusZeroAndLosesNoConsoleText) {
    ProgramUnderTest program({"-geometry", "500x500+0+0"}, Console::Pipe);
    const std::string expected = writeFlushedAndBufferedText(program);

    GetParam().shutDown(program);
    const auto status = program.process().waitForExit(EXIT_TIMEOUT);

    EXPECT_TRUE(status.isSuccess())
        << status.describe()
        << "; error output: " << x11_harness::printable(program.process().errorOutput());
    EXPECT_EQ(x11_harness::printable(program.process().output()), x11_harness::printable(expected));
}

INSTANTIATE_TEST_SUITE_P(Ways, Shutdown,
                         testing::Values(ShutdownCase{"ExitMenuEntry",
                                                      [](ProgramUnderTest& program) {
                                                          program.chooseFromMenu(MenuEntry::Exit);
                                                      }},
                                         ShutdownCase{"WindowManagerClose",
                                                      [](ProgramUnderTest& program) {
                                                          x11_harness::requestClose(
                                                              program.x(), program.window());
                                                      }}),
                         nameOf);

}  // namespace
}  // namespace e2e
