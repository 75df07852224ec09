// SPDX-License-Identifier: MIT
// A recording stand-in for the GL and GLUT entry points the program calls.
//
// Linked in place of libGL and libglut, it records every call with its
// arguments and keeps a small model of the GL state that matters to the
// program: the matrix stacks, the current colour and the polygon mode. Each
// primitive and raster position is recorded together with that state, so a
// test can check what was drawn, where and in which colour.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "glut_headers.h"

namespace stand_in {

// Column-major 4x4 matrix, as GL stores it.
using Matrix = std::array<double, 16>;

struct Vec3 {
    double x, y, z;
};

struct Colour {
    float r, g, b;
};

Matrix identityMatrix();
Matrix multiply(const Matrix& a, const Matrix& b);
Vec3 transformPoint(const Matrix& m, Vec3 p);

// One call to the stand-in: the entry point's name and its numeric arguments
// (text arguments, such as a menu label, go to `text`).
struct Call {
    std::string name;
    std::vector<double> args;
    std::string text;
};

// A solid primitive (cube or cone) with the state it was drawn under.
struct Primitive {
    std::string name;
    std::vector<double> args;
    Colour colour;
    Matrix modelView;
    GLenum polygonMode;
};

// A glRasterPos call with the state it was made under.
struct RasterPosition {
    double x, y;
    Colour colour;
    Matrix modelView;
};

struct Timer {
    unsigned int milliseconds;
    void (*callback)(int);
    int value;
};

struct MenuEntry {
    std::string label;
    int value;
};

struct StandIn {
    std::vector<Call> calls;

    // GL state model. Initial values are GL's own.
    Colour colour{1.0f, 1.0f, 1.0f};
    GLenum matrixMode = GL_MODELVIEW;
    std::vector<Matrix> modelViewStack{identityMatrix()};
    std::vector<Matrix> projectionStack{identityMatrix()};
    std::size_t deepestModelViewStack = 1;
    bool matrixStackUnderflow = false;
    GLenum polygonMode = GL_FILL;

    // What was drawn.
    std::vector<Primitive> primitives;
    std::vector<RasterPosition> rasterPositions;
    std::string bitmapText;          // the bytes given to glutBitmapCharacter
    std::vector<void*> bitmapFonts;  // the font of each of those bytes
    int swaps = 0;

    // Toolkit requests and registrations.
    int redisplays = 0;
    std::vector<Timer> timers;
    std::vector<MenuEntry> menuEntries;
    void (*menuCallback)(int) = nullptr;
    void (*displayCallback)() = nullptr;
    void (*reshapeCallback)(int, int) = nullptr;
    void (*keyboardCallback)(unsigned char, int, int) = nullptr;
    void (*specialCallback)(int, int, int) = nullptr;
    int* initArgc = nullptr;
    char** initArgv = nullptr;

    // What glutGetModifiers answers; a test sets it.
    int modifiers = 0;
    // What glutGet answers for the requested window size: freeglut's default,
    // or what -geometry asked for.
    int initWindowWidth = 300;
    int initWindowHeight = 300;

    const Matrix& modelView() const { return modelViewStack.back(); }
    const Matrix& projection() const { return projectionStack.back(); }
    std::vector<std::string> callNames() const;
    const Call* findCall(const std::string& name) const;  // the first one, or null
};

// The one stand-in every entry point records into.
extern StandIn gl;

// Back to a fresh GL context and toolkit: no calls, initial state.
void reset();

// Called by glutMainLoop, which otherwise returns at once. Set before main runs.
extern void (*mainLoopHook)();

}  // namespace stand_in
