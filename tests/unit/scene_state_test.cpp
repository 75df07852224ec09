// SPDX-License-Identifier: MIT
// Catches a wrong starting pose, view or drawing mode.
#include "test_support.h"

TEST(SceneState, StartsUprightAtHeightTenFilledAndUnturned) { expectInitialScene(SceneState{}); }
