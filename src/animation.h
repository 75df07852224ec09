// SPDX-License-Identifier: MIT
// The animation: a self re-arming 100 ms timer that moves the figure.
//
// Each tick steps the figure's tilt, orbit and height by a fixed amount, so
// the figure spirals down the trunk (one turn every 7.2 s), tilts back and
// forth (every 0.6 s) and starts again at the top once it reaches the bottom.
#pragma once

// Delay between ticks; the figure's speed depends on nothing else.
constexpr unsigned int TIMER_PERIOD_MS = 100;

// GLUT timer callback. `value` counts ticks: the first arming passes 1 and
// each tick re-arms the next with its own value plus one.
void animationTick(int value);
