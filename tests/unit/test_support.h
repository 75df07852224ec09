// SPDX-License-Identifier: MIT
// Shared helpers of the unit tests: a fixture with a fresh stand-in and scene,
// and ways to see what the handlers write to standard output.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "gl_stand_in.h"
#include "scene_state.h"

// The scene right after start-up: unturned, figure upright at height 10 and
// orbit 0, drawn filled.
inline void expectInitialScene(const SceneState& scene) {
    EXPECT_EQ(scene.viewAngleX, 0.0f);
    EXPECT_EQ(scene.viewAngleY, 0.0f);
    EXPECT_EQ(scene.figureTilt, 0.0f);
    EXPECT_EQ(scene.figureHeight, 10.0f);
    EXPECT_EQ(scene.figureOrbit, 0.0f);
    EXPECT_EQ(scene.filledMode, 1);
}

// Every test starts from a fresh GL context and the scene's initial state.
class HandlerTest : public ::testing::Test {
protected:
    void SetUp() override {
        stand_in::reset();
        sceneState = SceneState{};
    }
};

// Runs `action` and returns what it wrote to standard output, flushed or not.
std::string captureStdout(const std::function<void()>& action);

struct ChildRun {
    std::string output;  // everything that reached the child's standard output
    int waitStatus = 0;  // as waitpid reports it
};

// Exit code of a child whose action returned instead of ending the process.
constexpr int CHILD_RETURNED = 99;

// Runs `action` in a forked child whose standard output is a fully buffered
// pipe, as it is when the program's output goes to a pipe or a file. If the
// action returns, the child ends with _exit(CHILD_RETURNED), which discards
// anything still buffered: only text the action flushed, or that exit()
// flushed, reaches `output`.
ChildRun runInChildWithPipedStdout(const std::function<void()>& action);

// Names each case of a table-driven test after its row's `name` field.
struct RowName {
    template <typename Row>
    std::string operator()(const ::testing::TestParamInfo<Row>& row) const {
        return row.param.name;
    }
};
