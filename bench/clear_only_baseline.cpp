// SPDX-License-Identifier: MIT
// The baseline without its pop-up menu and without its glyph and cube: a
// clear and a swap on the same 100 ms timer, in the same kind of window.
//
// It is not a fair floor for the program. It is measured once, to show how
// much of any GLUT program's memory the menu and Mesa's bitmap and
// solid-primitive drawing paths account for. Special keys ask for a redraw,
// as in the full baseline, so the benchmark can drive both the same way.
#include "glut_headers.h"

namespace {

constexpr unsigned int TICK_MS = 100;

void drawFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
}

void tick(int /*value*/) {
    glutPostRedisplay();
    glutTimerFunc(TICK_MS, tick, 0);
}

void redrawOnKey(int /*key*/, int /*x*/, int /*y*/) { glutPostRedisplay(); }

}  // namespace

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutCreateWindow("GLUT Alap clear-only baseline");

    glutSpecialFunc(redrawOnKey);
    glutDisplayFunc(drawFrame);
    glutTimerFunc(TICK_MS, tick, 0);

    glutMainLoop();
    return 0;
}
