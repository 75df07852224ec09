// SPDX-License-Identifier: MIT
// The one place that knows where each platform keeps the GLUT header.
// GLUT's header brings in the OpenGL (gl.h) and GLU declarations as well.
#pragma once

#if defined(__APPLE__)
#define GL_SILENCE_DEPRECATION  // Apple marks its fixed-function GL deprecated
#include <GLUT/glut.h>
#else
#include <GL/glut.h>
#endif
