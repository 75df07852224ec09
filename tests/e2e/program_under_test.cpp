#include "program_under_test.h"

#include <X11/keysym.h>

#include <algorithm>
#include <iostream>
#include <memory>

#include "scene_geometry.h"
#include "x_capture.h"
#include "x_input.h"
#include "xvfb_server.h"

namespace e2e {
namespace {

// X button numbers.
constexpr unsigned int RIGHT_BUTTON = 3;

// The key typed by pictureAfterPendingInput: an ordinary key, which the
// program only reports and which changes nothing on screen.
constexpr KeySymbol MARKER_KEY = XK_period;

struct SharedDisplay {
    x11_harness::XvfbServer server;
    x11_harness::XConnection connection{server.displayName()};
};

SharedDisplay& sharedDisplayInstance() {
    // Created on first use, destroyed (server stopped) at normal exit; if
    // the test process dies abruptly, the server gets SIGTERM from the
    // kernel, see ChildProcess.
    static SharedDisplay instance;
    return instance;
}

x11_harness::ProcessOptions programOptions(std::vector<std::string> arguments, Console console) {
    x11_harness::ProcessOptions options;
    options.arguments.push_back(GLUT_ALAP_PROGRAM);
    options.arguments.insert(options.arguments.end(), arguments.begin(), arguments.end());
    options.environment = sharedDisplayEnvironment();
    options.console = console;
    return options;
}

bool showsTheTrunk(const RgbImage& image) {
    return x11_harness::countNear(image, TRUNK_GREEN, COLOUR_TOLERANCE) > 0;
}

}  // namespace

x11_harness::XConnection& sharedDisplay() { return sharedDisplayInstance().connection; }

std::vector<std::string> sharedDisplayEnvironment() {
    return sharedDisplayInstance().server.clientEnvironment();
}

ProgramUnderTest::ProgramUnderTest(std::vector<std::string> arguments, Console console) {
    waitUntilNoWindowsLeft();
    launchTime_ = x11_harness::Clock::now();
    process_ =
        std::make_unique<x11_harness::ChildProcess>(programOptions(std::move(arguments), console));
    window_ = x11_harness::waitForWindow(x(), WINDOW_TITLE, process_->pid(), START_TIMEOUT);
    // Without a window manager nobody places the window, and the toolkit's
    // "anywhere" position may leave an edge off the screen, where pixels
    // cannot be read back. Put it where a window manager might.
    const auto placed = geometry();
    if (placed.x < 0 || placed.y < 0) {
        x11_harness::moveWindow(x(), window_, std::max(placed.x, 0), std::max(placed.y, 0));
    }
    // The user's hands are on this window: keys go to it, and the pointer
    // is over it, where a click opens its menu.
    x11_harness::focusWindow(x(), window_);
    pointAt(placed.width / 2, placed.height / 2);
    // Watched without pause: the first frame may be replaced by the next
    // one, after the first animation tick, within a few milliseconds.
    firstPicture_ = x11_harness::waitFor(
        "the first picture", START_TIMEOUT, [this] { return capture(); }, showsTheTrunk,
        [](const RgbImage&) { return std::string("no trunk-green pixel"); }, Milliseconds{0});
}

void waitUntilNoWindowsLeft() {
    auto& x = sharedDisplay();
    x11_harness::waitUntil(
        "every window to close", REACTION_TIMEOUT,
        [&x] {
            return x11_harness::viewableWindows(x, x11_harness::WindowKind::Managed).empty() &&
                   x11_harness::viewableWindows(x, x11_harness::WindowKind::Popup).empty();
        },
        [] { return std::string("windows still open"); });
}

ProgramUnderTest::~ProgramUnderTest() {
    // A destructor must not throw: report clean-up trouble and carry on.
    try {
        x11_harness::releaseHeldInput(x());
        process_->stop();
        waitUntilNoWindowsLeft();
    } catch (const std::exception& error) {
        std::cerr << "cleaning up after the program failed: " << error.what() << '\n';
    }
}

x11_harness::WindowGeometry ProgramUnderTest::geometry() const {
    return x11_harness::windowGeometry(x(), window_);
}

RgbImage ProgramUnderTest::capture() const { return x11_harness::captureWindow(x(), window_); }

RgbImage ProgramUnderTest::waitForNewPictures(int count) const {
    RgbImage last = capture();
    for (int seen = 0; seen < count; ++seen) {
        last = x11_harness::waitFor(
            "the picture to change", REACTION_TIMEOUT, [this] { return capture(); },
            [&last](const RgbImage& image) { return image != last; },
            [](const RgbImage&) { return std::string("the same picture"); });
    }
    return last;
}

RgbImage ProgramUnderTest::pictureAfterPendingInput() {
    const std::string before = process_->output();
    const auto linesBefore =
        static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
    type(MARKER_KEY);
    process_->waitForLines(linesBefore + 1, REACTION_TIMEOUT);
    return waitForNewPictures(2);
}

void ProgramUnderTest::pointAt(int windowX, int windowY) {
    x11_harness::movePointerTo(x(), window_, windowX, windowY);
}

void ProgramUnderTest::type(KeySymbol key, const std::vector<KeySymbol>& modifiers) {
    x11_harness::tapKey(x(), key, modifiers);
}

void ProgramUnderTest::typeRepeatedly(KeySymbol key, int times) {
    for (int i = 0; i < times; ++i) {
        type(key);
    }
}

void ProgramUnderTest::chooseFromMenu(MenuEntry entry) {
    x11_harness::pressButton(x(), RIGHT_BUTTON);
    const WindowId menu = x11_harness::waitForPopup(x(), REACTION_TIMEOUT);
    const auto menuGeometry = x11_harness::windowGeometry(x(), menu);
    // The entries are equally tall and fill the menu, apart from a thin
    // border; the middle of entry i (1-based) of n is (2i - 1) / 2n of the
    // way down, well inside the entry whatever the border.
    const int index = static_cast<int>(entry);
    const int entryMiddle = menuGeometry.height * (2 * index - 1) / (2 * MENU_ENTRY_COUNT);
    x11_harness::movePointerTo(x(), menu, menuGeometry.width / 2, entryMiddle);
    x11_harness::releaseButton(x(), RIGHT_BUTTON);
    x11_harness::waitForNoPopup(x(), REACTION_TIMEOUT);
}

}  // namespace e2e
