// SPDX-License-Identifier: MIT
// What the stress tests, the soak and the memcheck run share: the program
// started on a private X server with its window found, key strokes sent in
// bulk, the report line each stroke must produce, the pop-up menu driven
// like a user, and the trunk's expected place on screen for a view.
#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <string>
#include <vector>

#include "child_process.h"
#include "rgb_image.h"
#include "wait_for.h"
#include "x_connection.h"
#include "xvfb_server.h"

namespace reliability {

using x11_harness::Milliseconds;

// Generous bounds: two shared cores, and a sanitizer or valgrind build
// runs the program several times slower than a normal one.
inline constexpr Milliseconds WINDOW_TIMEOUT{30000};
inline constexpr Milliseconds EVENT_TIMEOUT{30000};
// For windows of 16384 x 16384 pixels, where one frame of the software
// renderer takes a second or more.
inline constexpr Milliseconds HUGE_WINDOW_TIMEOUT{120000};

struct SessionOptions {
    x11_harness::Console console = x11_harness::Console::Terminal;
    // Put in front of the program, e.g. {"valgrind", "--tool=memcheck"}.
    std::vector<std::string> wrapper;
    // Given to the program after its own name (toolkit options).
    std::vector<std::string> arguments;
    std::vector<std::string> environment;
    // Where the window is moved once it shows, so that it can be captured whole.
    int left = 0;
    int top = 0;
    // How long the window may take to show (longer under valgrind).
    Milliseconds windowTimeout = WINDOW_TIMEOUT;
};

// The program running on `server`, its window viewable. The program path
// is the one built with the tests unless `program` names another.
class ProgramSession {
public:
    ProgramSession(const x11_harness::XvfbServer& server, x11_harness::XConnection& x,
                   const SessionOptions& options = {}, const std::string& program = {});

    x11_harness::ChildProcess& process() { return *process_; }
    Window window() const { return window_; }

private:
    std::unique_ptr<x11_harness::ChildProcess> process_;
    Window window_ = 0;
};

// The program built with the tests.
std::string programPath();

// The arguments that run `program` with `options`: the wrapper, the
// program, then its arguments.
std::vector<std::string> commandLine(const std::string& program, const SessionOptions& options);

// One ordinary key press as a user makes it, with the pointer at (x, y)
// in the window and Shift held or not.
struct KeyStroke {
    KeySym key;
    bool shift;
    int x;
    int y;
};

// The character the program receives for a stroke: the key's Latin-1
// character, upper case with Shift for letters. Only letters and digits
// are used, so the keyboard map of the server cannot change the answer.
char characterOf(const KeyStroke& stroke);

// The console line the program must write for a stroke.
std::string reportLine(const KeyStroke& stroke);

// `count` strokes cycling through letters and digits, every seventh with
// Shift, the pointer moving to another place inside a `width` x `height`
// window every 50 strokes.
std::vector<KeyStroke> strokeSequence(int count, int width, int height);

// Sends every stroke (pointer motion, key press and release) without
// waiting for the server in between, then waits once until the server has
// taken all of them: as fast as the server accepts input.
void sendStrokes(x11_harness::XConnection& x, Window window,
                 const std::vector<KeyStroke>& strokes);

// The same for special keys (arrows), no modifiers, pointer unchanged.
void sendKeys(x11_harness::XConnection& x, const std::vector<KeySym>& keys);

// Opens the pop-up menu with the right button at (x, y) in the window,
// moves to entry `entry` (0 = first) and releases the button there, as a
// user picks an entry. Waits until the menu has closed.
void chooseMenuEntry(x11_harness::XConnection& x, Window window, int x0, int y0, int entry);

inline constexpr int MENU_ENTRY_TOGGLE = 0;
inline constexpr int MENU_ENTRY_EXIT = 1;

// The console line of the menu's first entry.
inline constexpr char TOGGLE_LINE[] = "1. menupont kivalasztva.\n";

// Where the green trunk must appear, in window pixels, for a window of
// `width` x `height` with the view turned by `angleX` and then `angleY`
// degrees: the projection of the trunk's eight corners under the program's
// projection (the shorter axis shows 50 units).
x11_harness::Rect expectedTrunkBox(int width, int height, double angleX, double angleY);

// True when `actual` matches `expected` on every edge within `tolerance` pixels.
bool boxesMatch(const x11_harness::Rect& actual, const x11_harness::Rect& expected,
                int tolerance);

// The trunk's colour as drawn.
x11_harness::Rgb trunkGreen();
inline constexpr int COLOUR_TOLERANCE = 8;

}  // namespace reliability
