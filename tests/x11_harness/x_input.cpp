#include "x_input.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <stdexcept>
#include <string>

#include "x_windows.h"

namespace x11_harness {
namespace {

// XTest works on keycodes, the physical keys; the keyboard map says which
// key produces a keysym.
KeyCode keycodeFor(XConnection& x, KeySymbol key) {
    const KeyCode code = XKeysymToKeycode(x.display(), key);
    if (code == 0) {
        const char* name = XKeysymToString(key);
        throw std::runtime_error(std::string("no key produces the keysym ") +
                                 (name != nullptr ? name : std::to_string(key)));
    }
    return code;
}

void fakeKey(XConnection& x, KeySymbol key, bool isPress) {
    XTestFakeKeyEvent(x.display(), keycodeFor(x, key), isPress ? True : False, CurrentTime);
    x.syncAndCheck("faking a key event");
}

void fakeButton(XConnection& x, unsigned int button, bool isPress) {
    XTestFakeButtonEvent(x.display(), button, isPress ? True : False, CurrentTime);
    x.syncAndCheck("faking a button event");
}

}  // namespace

void movePointerTo(XConnection& x, WindowId window, int windowX, int windowY) {
    const WindowGeometry geometry = windowGeometry(x, window);
    // Screen number -1: the screen the pointer is on now; there is one.
    XTestFakeMotionEvent(x.display(), -1, geometry.x + windowX, geometry.y + windowY, CurrentTime);
    x.syncAndCheck("moving the pointer");
}

void pressKey(XConnection& x, KeySymbol key) { fakeKey(x, key, true); }

void releaseKey(XConnection& x, KeySymbol key) { fakeKey(x, key, false); }

void tapKey(XConnection& x, KeySymbol key, const std::vector<KeySymbol>& modifiers) {
    for (const KeySymbol modifier : modifiers) {
        pressKey(x, modifier);
    }
    pressKey(x, key);
    releaseKey(x, key);
    for (auto modifier = modifiers.rbegin(); modifier != modifiers.rend(); ++modifier) {
        releaseKey(x, *modifier);
    }
}

void pressButton(XConnection& x, unsigned int button) { fakeButton(x, button, true); }

void releaseHeldInput(XConnection& x) {
    char keys[32] = {};  // one bit per keycode
    XQueryKeymap(x.display(), keys);
    for (int code = 0; code < 256; ++code) {
        if ((keys[code / 8] & (1 << (code % 8))) != 0) {
            XTestFakeKeyEvent(x.display(), static_cast<unsigned>(code), False, CurrentTime);
        }
    }
    WindowId root = 0;
    WindowId child = 0;
    int rootX = 0;
    int rootY = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned int state = 0;
    XQueryPointer(x.display(), x.root(), &root, &child, &rootX, &rootY, &windowX, &windowY, &state);
    const unsigned int buttonMasks[] = {Button1Mask, Button2Mask, Button3Mask, Button4Mask,
                                        Button5Mask};
    for (unsigned int button = 1; button <= 5; ++button) {
        if ((state & buttonMasks[button - 1]) != 0) {
            XTestFakeButtonEvent(x.display(), button, False, CurrentTime);
        }
    }
    x.syncAndCheck("releasing held keys and buttons");
}

void releaseButton(XConnection& x, unsigned int button) { fakeButton(x, button, false); }

}  // namespace x11_harness
