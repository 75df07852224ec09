// SPDX-License-Identifier: MIT
// All mutable state of the program, in one record.
//
// Every field has exactly one writer; displayScene only reads. The toolkit
// runs all handlers on one thread, so no locking is needed.
#pragma once

struct SceneState {
    float viewAngleX = 0.0f;     // degrees, 0..355 in 5-degree steps; written by handleSpecialKey
    float viewAngleY = 0.0f;     // degrees, 0..355 in 5-degree steps; written by handleSpecialKey
    float figureTilt = 0.0f;     // degrees, 0 to -10 in 2-degree steps; written by animationTick
    float figureHeight = 10.0f;  // scene units, -15..15 in 0.25 steps; written by animationTick
    float figureOrbit = 0.0f;    // degrees around the trunk, 5..360 once ticking; animationTick
    int filledMode = 1;          // nonzero: filled polygons, zero: wireframe; written by handleMenu
};

// The single instance. GLUT callbacks carry no user data, so the handlers
// reach it directly. It holds its initial values before main runs.
extern SceneState sceneState;
