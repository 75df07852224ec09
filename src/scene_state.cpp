// SPDX-License-Identifier: MIT
#include "scene_state.h"

SceneState sceneState;
