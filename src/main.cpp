// SPDX-License-Identifier: MIT
// A small animated GLUT scene: a figure spiralling down a green trunk.
//
// main wires every handler to the toolkit in one visible block and hands
// control to the toolkit's event loop, which calls one handler at a time.
#include <algorithm>

#include "animation.h"
#include "glut_headers.h"
#include "input.h"
#include "menu.h"
#include "renderer.h"

namespace {

// A -geometry size beyond what the GL can draw would crash the driver at the
// first frame. Only then is a window size requested: the largest that works.
void limitRequestedWindowSize() {
    const int width = glutGet(GLUT_INIT_WINDOW_WIDTH);
    const int height = glutGet(GLUT_INIT_WINDOW_HEIGHT);
    if (width > MAX_WINDOW_SIDE || height > MAX_WINDOW_SIDE) {
        glutInitWindowSize(std::min(width, MAX_WINDOW_SIDE), std::min(height, MAX_WINDOW_SIDE));
    }
}

}  // namespace

int main(int argc, char** argv) {
    // The whole command line goes to the toolkit, which takes its own options
    // (-geometry, -display, ...); the program has none of its own.
    glutInit(&argc, argv);
    limitRequestedWindowSize();
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutCreateWindow("GLUT Alap");  // default size and position, or -geometry

    glutReshapeFunc(reshapeView);
    glutSpecialFunc(handleSpecialKey);
    glutKeyboardFunc(handleKey);
    glutDisplayFunc(displayScene);
    glutTimerFunc(TIMER_PERIOD_MS, animationTick, 1);  // first tick; each re-arms the next
    buildContextMenu();                                // belongs to the window just created
    initRenderState();                                 // needs the window's GL context

    glutMainLoop();  // does not return: the menu's exit or closing the window ends the process
    return 0;
}
