// SPDX-License-Identifier: MIT
// Catches a wrong starting pose, view or drawing mode.
#include <gtest/gtest.h>

#include "scene_state.h"

TEST(SceneState, StartsUprightAtHeightTenFilledAndUnturned) {
    const SceneState initial;
    EXPECT_EQ(initial.viewAngleX, 0.0f);
    EXPECT_EQ(initial.viewAngleY, 0.0f);
    EXPECT_EQ(initial.figureTilt, 0.0f);
    EXPECT_EQ(initial.figureHeight, 10.0f);
    EXPECT_EQ(initial.figureOrbit, 0.0f);
    EXPECT_EQ(initial.filledMode, 1);
}
