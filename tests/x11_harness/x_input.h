// The user's hands: real pointer motion, key and button events, injected
// into the server with the XTEST extension. The server treats them like
// events from physical devices: they carry the true pointer position and
// modifier state, and go to whichever window is under the pointer or has
// the focus.
//
// Every function returns after the server has processed the event; the
// client that receives it handles it later, on its own schedule.
#pragma once

#include <vector>

#include "x_connection.h"
#include "x_types.h"

namespace x11_harness {

// Moves the pointer to (x, y) inside `window`, in window coordinates.
void movePointerTo(XConnection& x, WindowId window, int windowX, int windowY);

void pressKey(XConnection& x, KeySymbol key);
void releaseKey(XConnection& x, KeySymbol key);

// Presses and releases `key` while `modifiers` (for example XK_Shift_L,
// XK_Control_L, XK_Alt_L) are held down; the modifiers go down in the
// given order before the key and come up in reverse order after it.
void tapKey(XConnection& x, KeySymbol key, const std::vector<KeySymbol>& modifiers = {});

// Button numbers as X counts them: 1 left, 2 middle, 3 right.
void pressButton(XConnection& x, unsigned int button);
void releaseButton(XConnection& x, unsigned int button);

// Releases every key and pointer button the server believes is down, so a
// test that stopped half-way (say, with Shift pressed) leaves no held
// modifier behind for the next one on the same server.
void releaseHeldInput(XConnection& x);

}  // namespace x11_harness
