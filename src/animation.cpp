// SPDX-License-Identifier: MIT
#include "animation.h"

#include <climits>

#include "glut_headers.h"
#include "scene_state.h"

namespace {

// The sawtooth tilt: back in 2-degree steps to -10, then snap forward to 0.
// -10 itself is shown for one tick before the snap.
void stepTilt(float& tilt) {
    tilt -= 2.0f;
    if (tilt < -10.0f) {
        tilt = 0.0f;
    }
}

// 5 degrees per tick, 72 ticks per turn. 360 is kept for one tick (it draws
// exactly like 0), so the orbit only ever holds multiples of 5 in [5, 360].
void stepOrbit(float& orbit) {
    orbit += 5.0f;
    if (orbit > 360.0f) {
        orbit -= 360.0f;
    }
}

// Down a quarter unit per tick; after -15 the figure reappears at the top.
void stepHeight(float& height) {
    height -= 0.25f;
    if (height < -15.0f) {
        height = 15.0f;
    }
}

// The count is only passed along, never read, but a signed int must not be
// allowed to overflow: after INT_MAX ticks (about 6.8 years) it starts again at 1.
int nextTickValue(int value) { return value < INT_MAX ? value + 1 : 1; }

}  // namespace

void animationTick(int value) {
    stepTilt(sceneState.figureTilt);
    stepOrbit(sceneState.figureOrbit);
    stepHeight(sceneState.figureHeight);
    glutPostRedisplay();
    glutTimerFunc(TIMER_PERIOD_MS, animationTick, nextTickValue(value));
}
