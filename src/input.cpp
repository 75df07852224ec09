// SPDX-License-Identifier: MIT
#include "input.h"

#include <cstdio>

#include "glut_headers.h"
#include "scene_state.h"

namespace {

// Keeps an angle on the 72 values 0, 5, ..., 355. The thresholds sit between
// the steps (356 and -1, not 360 and 0), so reaching 360 gives 0 and reaching
// -5 gives 355 without any exact float comparison.
float wrapViewAngle(float angle) {
    if (angle > 356.0f) {
        return 0.0f;
    }
    if (angle < -1.0f) {
        return 355.0f;
    }
    return angle;
}

void writeModifiers(int modifiers) {
    if (modifiers & GLUT_ACTIVE_SHIFT) {
        std::printf("SHIFT lenyomva. ");
    }
    if (modifiers & GLUT_ACTIVE_CTRL) {
        std::printf("CTRL lenyomva. ");
    }
    if (modifiers & GLUT_ACTIVE_ALT) {
        std::printf("ALT lenyomva. ");
    }
}

}  // namespace

void handleSpecialKey(int key, int /*x*/, int /*y*/) {
    switch (key) {
        case GLUT_KEY_UP:
            sceneState.viewAngleX -= VIEW_STEP_DEG;
            break;
        case GLUT_KEY_DOWN:
            sceneState.viewAngleX += VIEW_STEP_DEG;
            break;
        case GLUT_KEY_LEFT:
            sceneState.viewAngleY -= VIEW_STEP_DEG;
            break;
        case GLUT_KEY_RIGHT:
            sceneState.viewAngleY += VIEW_STEP_DEG;
            break;
        default:  // function keys, Page Up, Home, ...: no step, but still a redraw
            break;
    }
    sceneState.viewAngleX = wrapViewAngle(sceneState.viewAngleX);
    sceneState.viewAngleY = wrapViewAngle(sceneState.viewAngleY);
    glutPostRedisplay();
}

void handleKey(unsigned char key, int x, int y) {
    // The key goes out as the raw byte the toolkit delivered, control
    // characters included.
    std::printf("Billentyu lenyomva, kodja %c, pozicio (%d,%d). ", key, x, y);
    writeModifiers(glutGetModifiers());  // valid only inside a keyboard callback
    std::printf("\n");
    // Each report must reach the console at once, even through a pipe or a
    // file, where standard output is fully buffered.
    std::fflush(stdout);
    glutPostRedisplay();
}
