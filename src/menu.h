// SPDX-License-Identifier: MIT
// The pop-up menu on the right mouse button:
//   "Drotvazas/kitoltott mod valtasa"  switch between filled and wireframe drawing
//   "Kilepes"                          end the program (exit status 0)
#pragma once

// Entry values as GLUT passes them to handleMenu. They are 1 and 5, not 1 and 2.
constexpr int MENU_TOGGLE_FILL = 1;
constexpr int MENU_EXIT = 5;

// Creates the menu and attaches it to the current window's right button.
// Call once, after the window exists.
void buildContextMenu();

// GLUT menu callback.
void handleMenu(int value);
