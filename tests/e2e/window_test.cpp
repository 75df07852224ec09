// Catches a wrong window title or size, and toolkit options on the command line being ignored.
#include <gtest/gtest.h>

#include "program_under_test.h"

namespace e2e {
namespace {

using x11_harness::WindowKind;

// freeglut's window size when the program asks for none.
constexpr int TOOLKIT_DEFAULT_SIZE = 300;

TEST(Window, IsTitledGlutAlapWithTheToolkitsDefaultSize) {
    // Started by hand rather than through ProgramUnderTest, which finds the
    // window by its title and so could not notice a wrong one.
    waitUntilNoWindowsLeft();
    x11_harness::ProcessOptions options;
    options.arguments = {GLUT_ALAP_PROGRAM};
    options.environment = sharedDisplayEnvironment();
    x11_harness::ChildProcess program(options);
    auto& x = sharedDisplay();

    const auto windows = x11_harness::waitFor(
        "the program's window", START_TIMEOUT,
        [&] { return x11_harness::viewableWindows(x, WindowKind::Managed); },
        [](const std::vector<WindowId>& found) { return !found.empty(); },
        [](const std::vector<WindowId>&) { return std::string("no viewable window"); });

    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(x11_harness::windowTitle(x, windows.front()), WINDOW_TITLE);
    const auto geometry = x11_harness::windowGeometry(x, windows.front());
    EXPECT_EQ(geometry.width, TOOLKIT_DEFAULT_SIZE);
    EXPECT_EQ(geometry.height, TOOLKIT_DEFAULT_SIZE);
}

TEST(Window, TakesSizeAndPositionFromTheGeometryOption) {
    ProgramUnderTest program({"-geometry", "420x260+35+45"});

    const auto geometry = program.geometry();
    EXPECT_EQ(geometry.width, 420);
    EXPECT_EQ(geometry.height, 260);
    EXPECT_EQ(geometry.x, 35);
    EXPECT_EQ(geometry.y, 45);
}

}  // namespace
}  // namespace e2e
