// SPDX-License-Identifier: MIT
// Everything the program puts on screen: one-time GL state, the projection
// that follows the window size, and the frame itself.
//
// The scene is drawn with fixed-function OpenGL in flat colours, no lighting:
//   trunk   green (0, 0.8, 0) box, 1 x 35 x 1, upright through the origin;
//   figure  white 3 x 8 x 2 box orbiting the trunk 4.5 units from its axis,
//           with a red cone on the face turned to the trunk;
//   caption "Kelmor Ubrino programja" near the top-left corner.
#pragma once

// Half the visible extent on the window's shorter axis (it always shows
// [-25, 25] scene units) and the near/far distance of the projection.
constexpr double ORTHO_HALF_EXTENT = 25.0;

// The largest window side, in pixels, the program lets the GL draw into.
// Mesa's software renderer supports viewports up to 16384 pixels a side and
// crashes drawing into a much larger window.
constexpr int MAX_WINDOW_SIDE = 16384;

// One-time GL state; needs the window's GL context, so call it after the window exists.
void initRenderState();

// GLUT reshape callback: aspect-preserving orthographic projection. A window
// made larger than MAX_WINDOW_SIDE is asked back to that size.
void reshapeView(int width, int height);

// GLUT display callback: draws one frame from sceneState, which it only reads.
void displayScene();

// Draws `text` with the 18-point Helvetica bitmap font from raster position (x, y).
void drawText(float x, float y, const char* text);
