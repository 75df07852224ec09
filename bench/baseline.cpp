// SPDX-License-Identifier: MIT
// The floor the benchmark compares the program with: the least a GLUT
// program with the same toolkit features can cost.
//
// It uses exactly what the program cannot do without, and nothing else:
//   - the same display mode and the toolkit's default window;
//   - a two-entry pop-up menu on the right button (freeglut gives every
//     menu a window and a GL context of its own);
//   - per frame a clear, one bitmap glyph, one small solid cube and a swap
//     (Mesa's software renderer compiles the bitmap and the solid-primitive
//     paths on first use, which costs memory once);
//   - a 100 ms timer that re-arms itself and asks for a redraw.
// Any special key asks for a redraw too, exactly as the program does for
// every key, so the benchmark can force frames in both the same way.
#include <cstdlib>

#include "glut_headers.h"

namespace {

constexpr unsigned int TICK_MS = 100;  // the program's animation period
constexpr int MENU_FIRST = 1;
constexpr int MENU_EXIT = 5;

void drawFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glRasterPos2f(-0.9f, 0.8f);  // top-left, in the default [-1, 1] view
    glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, 'K');
    glutSolidCube(0.2);
    glutSwapBuffers();
}

void tick(int /*value*/) {
    glutPostRedisplay();
    glutTimerFunc(TICK_MS, tick, 0);
}

void redrawOnKey(int /*key*/, int /*x*/, int /*y*/) { glutPostRedisplay(); }

void chooseEntry(int value) {
    if (value == MENU_EXIT) {
        std::exit(0);
    }
}

}  // namespace

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutCreateWindow("GLUT Alap baseline");

    glutSpecialFunc(redrawOnKey);
    glutDisplayFunc(drawFrame);
    glutTimerFunc(TICK_MS, tick, 0);
    glutCreateMenu(chooseEntry);
    glutAddMenuEntry("First", MENU_FIRST);
    glutAddMenuEntry("Exit", MENU_EXIT);
    glutAttachMenu(GLUT_RIGHT_BUTTON);

    glutMainLoop();
    return 0;
}
