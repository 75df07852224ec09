// SPDX-License-Identifier: MIT
// Definitions of the GL and GLUT entry points the program uses, with the
// signatures of the system headers, recording into stand_in::gl.
#include "gl_stand_in.h"

#include <cmath>
#include <initializer_list>

namespace stand_in {

StandIn gl;
void (*mainLoopHook)() = nullptr;

void reset() { gl = StandIn{}; }

Matrix identityMatrix() {
    Matrix m{};
    m[0] = m[5] = m[10] = m[15] = 1.0;
    return m;
}

Matrix multiply(const Matrix& a, const Matrix& b) {
    Matrix product{};
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += a[static_cast<std::size_t>(k * 4 + row)] *
                       b[static_cast<std::size_t>(column * 4 + k)];
            }
            product[static_cast<std::size_t>(column * 4 + row)] = sum;
        }
    }
    return product;
}

Vec3 transformPoint(const Matrix& m, Vec3 p) {
    return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
            m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
            m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

std::vector<std::string> StandIn::callNames() const {
    std::vector<std::string> names;
    for (const Call& call : calls) {
        names.push_back(call.name);
    }
    return names;
}

const Call* StandIn::findCall(const std::string& name) const {
    for (const Call& call : calls) {
        if (call.name == name) {
            return &call;
        }
    }
    return nullptr;
}

namespace {

void record(const char* name, std::initializer_list<double> args = {}, std::string text = {}) {
    gl.calls.push_back(Call{name, args, std::move(text)});
}

std::vector<Matrix>& currentStack() {
    return gl.matrixMode == GL_PROJECTION ? gl.projectionStack : gl.modelViewStack;
}

// GL multiplies the current matrix on the right by each new transform.
void applyTransform(const Matrix& transform) {
    Matrix& top = currentStack().back();
    top = multiply(top, transform);
}

Matrix rotation(double degrees, double x, double y, double z) {
    const double length = std::sqrt(x * x + y * y + z * z);
    x /= length;
    y /= length;
    z /= length;
    const double radians = degrees * M_PI / 180.0;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    const double t = 1.0 - c;
    // Column by column, as GL stores it.
    // clang-format off
    return {t * x * x + c,     t * x * y + s * z, t * x * z - s * y, 0.0,
            t * x * y - s * z, t * y * y + c,     t * y * z + s * x, 0.0,
            t * x * z + s * y, t * y * z - s * x, t * z * z + c,     0.0,
            0.0,               0.0,               0.0,               1.0};
    // clang-format on
}

void recordPrimitive(const char* name, std::initializer_list<double> args) {
    record(name, args);
    gl.primitives.push_back(Primitive{name, args, gl.colour, gl.modelView(), gl.polygonMode});
}

}  // namespace
}  // namespace stand_in

using stand_in::gl;
using stand_in::record;

// The font symbol the freeglut header takes the address of for GLUT_BITMAP_HELVETICA_18.
void* glutBitmapHelvetica18 = nullptr;

// ---- OpenGL ----

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
    record("glClearColor", {red, green, blue, alpha});
}

void glClear(GLbitfield mask) { record("glClear", {static_cast<double>(mask)}); }

void glEnable(GLenum cap) { record("glEnable", {static_cast<double>(cap)}); }

void glCullFace(GLenum mode) { record("glCullFace", {static_cast<double>(mode)}); }

void glPolygonMode(GLenum face, GLenum mode) {
    record("glPolygonMode", {static_cast<double>(face), static_cast<double>(mode)});
    gl.polygonMode = mode;
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    record("glViewport", {static_cast<double>(x), static_cast<double>(y),
                          static_cast<double>(width), static_cast<double>(height)});
}

void glMatrixMode(GLenum mode) {
    record("glMatrixMode", {static_cast<double>(mode)});
    gl.matrixMode = mode;
}

void glLoadIdentity() {
    record("glLoadIdentity");
    stand_in::currentStack().back() = stand_in::identityMatrix();
}

void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
             GLdouble zFar) {
    record("glOrtho", {left, right, bottom, top, zNear, zFar});
    // clang-format off
    stand_in::applyTransform({2.0 / (right - left), 0.0, 0.0, 0.0,
                              0.0, 2.0 / (top - bottom), 0.0, 0.0,
                              0.0, 0.0, -2.0 / (zFar - zNear), 0.0,
                              -(right + left) / (right - left), -(top + bottom) / (top - bottom),
                              -(zFar + zNear) / (zFar - zNear), 1.0});
    // clang-format on
}

void glPushMatrix() {
    record("glPushMatrix");
    auto& stack = stand_in::currentStack();
    stack.push_back(stack.back());
    if (gl.matrixMode == GL_MODELVIEW && stack.size() > gl.deepestModelViewStack) {
        gl.deepestModelViewStack = stack.size();
    }
}

void glPopMatrix() {
    record("glPopMatrix");
    auto& stack = stand_in::currentStack();
    if (stack.size() == 1) {
        gl.matrixStackUnderflow = true;  // GL_STACK_UNDERFLOW: the matrix stays
        return;
    }
    stack.pop_back();
}

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    record("glRotatef", {angle, x, y, z});
    stand_in::applyTransform(stand_in::rotation(angle, x, y, z));
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    record("glTranslatef", {x, y, z});
    stand_in::applyTransform({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1});
}

void glScalef(GLfloat x, GLfloat y, GLfloat z) {
    record("glScalef", {x, y, z});
    stand_in::applyTransform({x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1});
}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue) {
    record("glColor3f", {red, green, blue});
    gl.colour = {red, green, blue};
}

void glRasterPos2f(GLfloat x, GLfloat y) {
    record("glRasterPos2f", {x, y});
    gl.rasterPositions.push_back({x, y, gl.colour, gl.modelView()});
}

// ---- GLUT: start-up and registration ----

void glutInit(int* pargc, char** argv) {
    record("glutInit", {static_cast<double>(*pargc)});
    gl.initArgc = pargc;
    gl.initArgv = argv;
}

void glutInitDisplayMode(unsigned int displayMode) {
    record("glutInitDisplayMode", {static_cast<double>(displayMode)});
}

int glutGet(GLenum query) {
    record("glutGet", {static_cast<double>(query)});
    switch (query) {
        case GLUT_INIT_WINDOW_WIDTH:
            return gl.initWindowWidth;
        case GLUT_INIT_WINDOW_HEIGHT:
            return gl.initWindowHeight;
        default:
            return 0;
    }
}

void glutInitWindowSize(int width, int height) {
    record("glutInitWindowSize", {static_cast<double>(width), static_cast<double>(height)});
}

int glutCreateWindow(const char* title) {
    record("glutCreateWindow", {}, title);
    return 1;
}

void glutReshapeFunc(void (*callback)(int, int)) {
    record("glutReshapeFunc");
    gl.reshapeCallback = callback;
}

void glutSpecialFunc(void (*callback)(int, int, int)) {
    record("glutSpecialFunc");
    gl.specialCallback = callback;
}

void glutKeyboardFunc(void (*callback)(unsigned char, int, int)) {
    record("glutKeyboardFunc");
    gl.keyboardCallback = callback;
}

void glutDisplayFunc(void (*callback)()) {
    record("glutDisplayFunc");
    gl.displayCallback = callback;
}

void glutTimerFunc(unsigned int milliseconds, void (*callback)(int), int value) {
    record("glutTimerFunc", {static_cast<double>(milliseconds), static_cast<double>(value)});
    gl.timers.push_back({milliseconds, callback, value});
}

int glutCreateMenu(void (*callback)(int)) {
    record("glutCreateMenu");
    gl.menuCallback = callback;
    return 1;
}

void glutAddMenuEntry(const char* label, int value) {
    record("glutAddMenuEntry", {static_cast<double>(value)}, label);
    gl.menuEntries.push_back({label, value});
}

void glutAttachMenu(int button) { record("glutAttachMenu", {static_cast<double>(button)}); }

void glutMainLoop() {
    record("glutMainLoop");
    if (stand_in::mainLoopHook != nullptr) {
        stand_in::mainLoopHook();
    }
}

// ---- GLUT: running ----

void glutPostRedisplay() {
    record("glutPostRedisplay");
    ++gl.redisplays;
}

void glutReshapeWindow(int width, int height) {
    record("glutReshapeWindow", {static_cast<double>(width), static_cast<double>(height)});
}

void glutSwapBuffers() {
    record("glutSwapBuffers");
    ++gl.swaps;
}

int glutGetModifiers() {
    record("glutGetModifiers");
    return gl.modifiers;
}

void glutSolidCube(double size) { stand_in::recordPrimitive("glutSolidCube", {size}); }

void glutSolidCone(double base, double height, GLint slices, GLint stacks) {
    stand_in::recordPrimitive(
        "glutSolidCone", {base, height, static_cast<double>(slices), static_cast<double>(stacks)});
}

void glutBitmapCharacter(void* font, int character) {
    record("glutBitmapCharacter", {static_cast<double>(character)});
    gl.bitmapText.push_back(static_cast<char>(character));
    gl.bitmapFonts.push_back(font);
}
