// SPDX-License-Identifier: MIT
#include "menu.h"

#include <cstdio>
#include <cstdlib>

#include "glut_headers.h"
#include "scene_state.h"

void buildContextMenu() {
    // The menu is never changed afterwards, so its id is not kept.
    glutCreateMenu(handleMenu);
    glutAddMenuEntry("Drotvazas/kitoltott mod valtasa", MENU_TOGGLE_FILL);
    glutAddMenuEntry("Kilepes", MENU_EXIT);
    glutAttachMenu(GLUT_RIGHT_BUTTON);
}

void handleMenu(int value) {
    switch (value) {
        case MENU_TOGGLE_FILL:
            std::printf("1. menupont kivalasztva.\n");
            sceneState.filledMode = !sceneState.filledMode;
            glutPostRedisplay();
            break;
        case MENU_EXIT:
            // exit, not _exit: buffered console text is flushed on the way out.
            std::exit(0);
        default:
            break;
    }
}
