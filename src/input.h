// SPDX-License-Identifier: MIT
// Keyboard handling.
//
//   Up / Down      tilt the scene about the X axis by 5 degrees
//   Left / Right   turn the scene about the Y axis by 5 degrees
//   any other key  reported on the console with the mouse position and the
//                  modifiers held; it changes nothing in the scene
//
// No key quits the program: use the right-button menu.
#pragma once

// The view rotation per arrow-key press, in degrees.
constexpr float VIEW_STEP_DEG = 5.0f;

// GLUT special-key callback: turns the view with the arrow keys. x, y unused.
void handleSpecialKey(int key, int x, int y);

// GLUT keyboard callback: writes one line per key press to standard output,
// e.g. "Billentyu lenyomva, kodja a, pozicio (120,45). SHIFT lenyomva. \n".
void handleKey(unsigned char key, int x, int y);
