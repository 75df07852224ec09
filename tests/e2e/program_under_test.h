// The real glut-alap, started on the test process's private X server, with
// the user's actions the tests need: look at the window, type, use the menu.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "child_process.h"
#include "rgb_image.h"
#include "wait_for.h"
#include "x_connection.h"
#include "x_windows.h"

namespace e2e {

using x11_harness::Console;
using x11_harness::KeySymbol;
using x11_harness::Milliseconds;
using x11_harness::RgbImage;
using x11_harness::WindowId;

inline const std::string WINDOW_TITLE = "GLUT Alap";

// Generous bounds for things that normally take a few milliseconds to a few
// hundred: they only cost time when a test is failing anyway.
inline constexpr Milliseconds START_TIMEOUT{10000};
inline constexpr Milliseconds REACTION_TIMEOUT{5000};

// The entries of the right-button menu, in display order.
enum class MenuEntry { ToggleOutlines = 1, Exit = 2 };
inline constexpr int MENU_ENTRY_COUNT = 2;

// One X server for the whole test process: starting Xvfb takes a fraction
// of a second, and every test starts its own program on it anyway. Both are
// stopped when the test process ends, however it ends.
x11_harness::XConnection& sharedDisplay();
// Environment entries that send a client to that server.
std::vector<std::string> sharedDisplayEnvironment();
// Waits until the shared server shows no window. A program's windows go
// away only when the server has noticed it ended, a moment after it was
// reaped; the next test must not find them and take them for its own.
void waitUntilNoWindowsLeft();

class ProgramUnderTest {
public:
    // Starts the program with `arguments` (toolkit options such as
    // -geometry) and waits until its window is viewable, fully on screen,
    // and shows its first picture (the trunk is in every picture). Gives
    // the window the keyboard focus and puts the pointer in its middle. Any
    // window still open from an earlier test must go first.
    explicit ProgramUnderTest(std::vector<std::string> arguments = {},
                              Console console = Console::Terminal);
    // Releases any key or button a failed test left held, stops the program
    // if it still runs and waits until its windows are gone.
    ~ProgramUnderTest();

    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

    x11_harness::XConnection& x() const { return sharedDisplay(); }
    WindowId window() const { return window_; }
    // When the program was started: its animation cannot have run longer.
    x11_harness::Clock::time_point launchTime() const { return launchTime_; }
    x11_harness::ChildProcess& process() { return *process_; }
    x11_harness::WindowGeometry geometry() const;

    RgbImage capture() const;
    // The first picture seen in the window: usually the program's very
    // first frame, unless the next one replaced it before it was captured.
    const RgbImage& firstPicture() const { return firstPicture_; }
    // Waits until the window has shown `count` pictures different from the
    // current one. The animation changes the picture every 100 ms.
    RgbImage waitForNewPictures(int count) const;
    // A picture drawn after every event sent so far has been handled: types
    // a marker key, waits for its report line, then for two new pictures.
    // Two, because the first change may still be a frame that was on its way
    // to the server before the marker was handled. Adds a line to the output.
    RgbImage pictureAfterPendingInput();

    // Puts the pointer at (x, y) in window coordinates.
    void pointAt(int windowX, int windowY);
    void type(KeySymbol key, const std::vector<KeySymbol>& modifiers = {});
    void typeRepeatedly(KeySymbol key, int times);

    // Opens the right-button menu at the current pointer position and
    // chooses `entry` by dragging onto it and releasing, as a user does.
    void chooseFromMenu(MenuEntry entry);

private:
    std::unique_ptr<x11_harness::ChildProcess> process_;
    x11_harness::Clock::time_point launchTime_;
    WindowId window_ = 0;
    RgbImage firstPicture_;
};

}  // namespace e2e
