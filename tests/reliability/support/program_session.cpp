// SPDX-License-Identifier: MIT
#include "program_session.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <stdexcept>

#include "x_input.h"
#include "x_windows.h"

namespace reliability {

using x11_harness::XConnection;

ProgramSession::ProgramSession(const x11_harness::XvfbServer& server, XConnection& x,
                               const SessionOptions& options, const std::string& program) {
    x11_harness::ProcessOptions processOptions;
    processOptions.arguments = commandLine(program.empty() ? programPath() : program, options);
    processOptions.environment = server.clientEnvironment();
    processOptions.environment.insert(processOptions.environment.end(),
                                      options.environment.begin(), options.environment.end());
    processOptions.console = options.console;
    process_ = std::make_unique<x11_harness::ChildProcess>(processOptions);
    // Under a wrapper the window belongs to the wrapped process, which has
    // the same pid as valgrind runs it in place.
    window_ = x11_harness::waitForWindow(x, "GLUT Alap", process_->pid(),
                                          options.windowTimeout);
    x11_harness::moveWindow(x, window_, options.left, options.top);
}

std::string programPath() { return GLUT_ALAP_PROGRAM; }

std::vector<std::string> commandLine(const std::string& program, const SessionOptions& options) {
    std::vector<std::string> arguments = options.wrapper;
    arguments.push_back(program);
    arguments.insert(arguments.end(), options.arguments.begin(), options.arguments.end());
    return arguments;
}

char characterOf(const KeyStroke& stroke) {
    const char plain = static_cast<char>(stroke.key);  // Latin-1 keysyms are their character
    return stroke.shift ? static_cast<char>(std::toupper(static_cast<unsigned char>(plain)))
                        : plain;
}

std::string reportLine(const KeyStroke& stroke) {
    std::string line = "Billentyu lenyomva, kodja ";
    line += characterOf(stroke);
    line += ", pozicio (" + std::to_string(stroke.x) + "," + std::to_string(stroke.y) + "). ";
    if (stroke.shift) {
        line += "SHIFT lenyomva. ";
    }
    return line + "\n";
}

std::vector<KeyStroke> strokeSequence(int count, int width, int height) {
    static constexpr char KEYS[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    constexpr int KEY_COUNT = sizeof KEYS - 1;
    std::vector<KeyStroke> strokes;
    int x = width / 3;
    int y = height / 3;
    for (int i = 0; i < count; ++i) {
        if (i % 50 == 0) {
            // A walk over the window that never repeats a place twice in a row.
            x = 5 + (x + 37) % std::max(1, width - 10);
            y = 5 + (y + 53) % std::max(1, height - 10);
        }
        const char key = KEYS[i % KEY_COUNT];
        const bool shift = i % 7 == 3 && std::isalpha(static_cast<unsigned char>(key)) != 0;
        strokes.push_back({static_cast<KeySym>(key), shift, x, y});
    }
    return strokes;
}

namespace {

KeyCode keycodeOf(XConnection& x, KeySym key) {
    const KeyCode code = XKeysymToKeycode(x.display(), key);
    if (code == 0) {
        throw std::runtime_error(std::string("no key produces ") + XKeysymToString(key));
    }
    return code;
}

}  // namespace

void sendStrokes(XConnection& x, Window window, const std::vector<KeyStroke>& strokes) {
    const auto geometry = x11_harness::windowGeometry(x, window);
    const KeyCode shift = keycodeOf(x, XK_Shift_L);
    Display* display = x.display();
    int lastX = -1;
    int lastY = -1;
    for (const KeyStroke& stroke : strokes) {
        if (stroke.x != lastX || stroke.y != lastY) {
            XTestFakeMotionEvent(display, -1, geometry.x + stroke.x, geometry.y + stroke.y,
                                 CurrentTime);
            lastX = stroke.x;
            lastY = stroke.y;
        }
        const KeyCode code = keycodeOf(x, stroke.key);
        if (stroke.shift) {
            XTestFakeKeyEvent(display, shift, True, CurrentTime);
        }
        XTestFakeKeyEvent(display, code, True, CurrentTime);
        XTestFakeKeyEvent(display, code, False, CurrentTime);
        if (stroke.shift) {
            XTestFakeKeyEvent(display, shift, False, CurrentTime);
        }
    }
    x.syncAndCheck("sending " + std::to_string(strokes.size()) + " key strokes");
}

void sendKeys(XConnection& x, const std::vector<KeySym>& keys) {
    for (const KeySym key : keys) {
        const KeyCode code = keycodeOf(x, key);
        XTestFakeKeyEvent(x.display(), code, True, CurrentTime);
        XTestFakeKeyEvent(x.display(), code, False, CurrentTime);
    }
    x.syncAndCheck("sending " + std::to_string(keys.size()) + " keys");
}

void chooseMenuEntry(XConnection& x, Window window, int x0, int y0, int entry) {
    constexpr int ENTRY_COUNT = 2;
    x11_harness::movePointerTo(x, window, x0, y0);
    x11_harness::pressButton(x, 3);
    const Window menu = x11_harness::waitForPopup(x, EVENT_TIMEOUT);
    const auto geometry = x11_harness::windowGeometry(x, menu);
    // The entries share the menu's height equally; aim at the middle of one.
    const int entryY = geometry.y + geometry.height * (2 * entry + 1) / (2 * ENTRY_COUNT);
    XTestFakeMotionEvent(x.display(), -1, geometry.x + geometry.width / 2, entryY, CurrentTime);
    x.syncAndCheck("moving onto the menu entry");
    x11_harness::releaseButton(x, 3);
    x11_harness::waitForNoPopup(x, EVENT_TIMEOUT);
}

x11_harness::Rect expectedTrunkBox(int width, int height, double angleX, double angleY) {
    constexpr double PI = 3.14159265358979323846;
    const double ax = angleX * PI / 180.0;
    const double ay = angleY * PI / 180.0;
    const double pixelsPerUnit = std::min(width, height) / 50.0;
    double left = 1e9;
    double right = -1e9;
    double top = 1e9;
    double bottom = -1e9;
    for (const double cx : {-0.5, 0.5}) {
        for (const double cy : {-17.5, 17.5}) {
            for (const double cz : {-0.5, 0.5}) {
                // glRotatef(angleX, 1, 0, 0) then glRotatef(angleY, 0, 1, 0):
                // the Y turn applies to the vertex first.
                const double x1 = cx * std::cos(ay) + cz * std::sin(ay);
                const double z1 = -cx * std::sin(ay) + cz * std::cos(ay);
                const double y2 = cy * std::cos(ax) - z1 * std::sin(ax);
                const double px = width / 2.0 + x1 * pixelsPerUnit;
                const double py = height / 2.0 - y2 * pixelsPerUnit;  // X11 rows grow downwards
                left = std::min(left, px);
                right = std::max(right, px);
                top = std::min(top, py);
                bottom = std::max(bottom, py);
            }
        }
    }
    return x11_harness::rectFromEdges(static_cast<int>(std::lround(left)),
                                      static_cast<int>(std::lround(top)),
                                      static_cast<int>(std::lround(right)),
                                      static_cast<int>(std::lround(bottom)));
}

bool boxesMatch(const x11_harness::Rect& actual, const x11_harness::Rect& expected,
                int tolerance) {
    return std::abs(actual.x - expected.x) <= tolerance &&
           std::abs(actual.y - expected.y) <= tolerance &&
           std::abs(actual.right() - expected.right()) <= tolerance &&
           std::abs(actual.bottom() - expected.bottom()) <= tolerance;
}

x11_harness::Rgb trunkGreen() { return x11_harness::fromUnit(0.0, 0.8, 0.0); }

}  // namespace reliability
