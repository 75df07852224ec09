// SPDX-License-Identifier: MIT
#include "renderer.h"

#include <algorithm>

#include "glut_headers.h"
#include "scene_state.h"

namespace {

constexpr char CAPTION[] = "Kelmor Ubrino programja";

void drawTrunk() {
    glColor3f(0.0f, 0.8f, 0.0f);
    glPushMatrix();
    glScalef(1.0f, 35.0f, 1.0f);
    glutSolidCube(1.0);
    glPopMatrix();
}

// The figure: a white body placed by its orbit, height and tilt, and a red
// cone on the body's face towards the trunk (z = 1), 2.5 above its centre.
// The cone is 3 long, so at tilt 0 its tip just reaches the trunk's face.
void drawFigure(const SceneState& state) {
    glColor3f(1.0f, 1.0f, 1.0f);
    glRotatef(state.figureOrbit, 0.0f, 1.0f, 0.0f);
    glTranslatef(0.0f, state.figureHeight, -4.5f);  // the figure's +Z now faces the trunk
    glRotatef(state.figureTilt, 1.0f, 0.0f, 0.0f);

    glPushMatrix();
    glScalef(3.0f, 8.0f, 2.0f);
    glutSolidCube(1.0);
    glPopMatrix();

    glColor3f(1.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, 2.5f, 1.0f);
    glutSolidCone(1.0, 3.0, 16, 1);
}

}  // namespace

void initRenderState() {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_DEPTH_TEST);
}

void reshapeView(int width, int height) {
    if (width > MAX_WINDOW_SIDE || height > MAX_WINDOW_SIDE) {
        // Another client made the window too large to draw; the toolkit
        // calls back here once the smaller size has taken effect.
        glutReshapeWindow(std::min(width, MAX_WINDOW_SIDE), std::min(height, MAX_WINDOW_SIDE));
    }
    // A minimised window can report a zero size; 1 keeps the ratios finite.
    if (width == 0) {
        width = 1;
    }
    if (height == 0) {
        height = 1;
    }
    glViewport(0, 0, width, height);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // The shorter axis shows exactly [-25, 25]; the longer one shows more, in
    // proportion, so the scene is never stretched. z = 0 lies mid-depth.
    const double h = ORTHO_HALF_EXTENT;
    if (height >= width) {
        const double aspect = static_cast<double>(height) / width;
        glOrtho(-h, h, -h * aspect, h * aspect, -h, h);
    } else {
        const double aspect = static_cast<double>(width) / height;
        glOrtho(-h * aspect, h * aspect, -h, h, -h, h);
    }

    // displayScene starts every frame from this identity model-view matrix.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void displayScene() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // Before any transform and any colour of this frame: the caption sits in
    // eye coordinates and takes the colour left current, white on the first
    // frame and the cone's red on every later one.
    drawText(-20.0f, 20.0f, CAPTION);

    glPolygonMode(GL_FRONT_AND_BACK, sceneState.filledMode ? GL_FILL : GL_LINE);

    glPushMatrix();
    glRotatef(sceneState.viewAngleX, 1.0f, 0.0f, 0.0f);
    glRotatef(sceneState.viewAngleY, 0.0f, 1.0f, 0.0f);
    drawTrunk();
    drawFigure(sceneState);  // moves the current matrix; the pop below restores it
    glPopMatrix();

    glutSwapBuffers();
}

void drawText(float x, float y, const char* text) {
    glRasterPos2f(x, y);
    for (const char* c = text; *c != '\0'; ++c) {
        glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, static_cast<unsigned char>(*c));
    }
}
