// Catches an animation that stalls, misplaces the figure, steps wrongly, or never restarts.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "program_under_test.h"
#include "scene_geometry.h"
#include "x_capture.h"

namespace e2e {
namespace {

using x11_harness::boundingBox;
using x11_harness::Clock;

// 12.8 pixels per unit: one height step of 0.25 units is 3.2 pixels.
constexpr int WINDOW_SIZE = 640;

// Ticks from the start to the bottom of the first descent, from 10 to -15.
constexpr int TICKS_TO_BOTTOM = 100;
// The first descent and the jump back to the top take about 10 s at ten
// ticks a second; give a slow machine twice that before giving up.
constexpr Milliseconds RECORDING_LIMIT{25000};
// A frame stays up for about 100 ms; pausing 5 ms between looks sees each
// one several times while leaving the processor to the program and the server.
constexpr Milliseconds SAMPLE_INTERVAL{5};
// Frames follow ticks at least 100 ms apart, so a frame is on screen for
// well over 50 ms. If two looks are at most this far apart, no frame can
// have come and gone unseen between them. A busy machine may leave longer
// gaps; what happened in them is not held against the program.
constexpr double CONCLUSIVE_GAP_SECONDS = 0.05;
// Below this many closely watched changes of height, the machine was too
// busy (a sanitizer build, say) for the size of each step to be judged.
constexpr int MIN_CONCLUSIVE_STEPS = 20;

// "About ten ticks a second": the toolkit's timer fires no earlier than
// asked, and may fire late on a busy machine, but never makes up late ticks.
constexpr double MIN_TICKS_PER_SECOND = 7.0;
constexpr double MAX_TICKS_PER_SECOND = 11.0;
// A height measured from the body's picture lies this close to a whole
// number of steps; the body's top and bottom edges may each be a pixel off.
constexpr double HEIGHT_TOLERANCE_PX = 1.5;

// One look at the window: when it was taken (seconds since the program was
// launched; the picture shows the window at some instant in between) and
// where the body and the cone were.
struct Sample {
    double lookedFrom;
    double lookedUntil;
    std::optional<Rect> body;
    std::optional<Rect> cone;
};

// A look during the first descent, with the figure's height and the number
// of ticks that height shows.
struct DescentSample {
    Sample sample;
    double height;
    int tick;
};

struct Recording {
    std::vector<DescentSample> descent;  // in time order
    std::optional<Sample> restart;       // the first look after the jump back to the top
};

bool noFrameMissedBetween(const Sample& earlier, const Sample& later) {
    return later.lookedUntil - earlier.lookedFrom <= CONCLUSIVE_GAP_SECONDS;
}

// The column of the scene the figure moves in, below the caption.
SceneBox figureStrip(const SceneView& view) {
    const double reach = ORBIT_RADIUS + BODY_HALF_WIDTH + 1.0;
    return {-reach, view.visibleBox().bottom, reach, CAPTION_BASELINE_Y - 0.5};
}

std::optional<Rect> offsetBy(const std::optional<Rect>& rect, const Rect& origin) {
    if (!rect) {
        return std::nullopt;
    }
    return Rect{rect->x + origin.x, rect->y + origin.y, rect->width, rect->height};
}

double bodyHeight(const Rect& body, const SceneView& view) {
    return view.sceneYOf(body.y + body.height / 2.0);
}

// Ticks since the start for a height on the first descent. Negative once
// the figure is back above its start height, after the restart.
int ticksFor(double height) {
    return static_cast<int>(std::lround((START_HEIGHT - height) / HEIGHT_STEP));
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

Sample look(const ProgramUnderTest& program, const Rect& strip) {
    const double from = secondsSince(program.launchTime());
    const auto picture = x11_harness::captureWindow(program.x(), program.window(), strip);
    return {from, secondsSince(program.launchTime()),
            offsetBy(boundingBox(picture, BODY_WHITE, COLOUR_TOLERANCE), strip),
            offsetBy(boundingBox(picture, CONE_RED, COLOUR_TOLERANCE), strip)};
}

// Watches the figure, capturing only the strip it moves in, from the start
// until a little after it has jumped back to the top.
Recording recordFirstDescent(const ProgramUnderTest& program, const SceneView& view) {
    const Rect strip = view.pixelsOf(figureStrip(view));
    const auto deadline = Clock::now() + RECORDING_LIMIT;
    Recording recording;
    while (Clock::now() < deadline) {
        const Sample sample = look(program, strip);
        if (sample.body) {
            const double height = bodyHeight(*sample.body, view);
            if (ticksFor(height) < -1) {
                recording.restart = sample;
                break;
            }
            recording.descent.push_back({sample, height, ticksFor(height)});
        }
        std::this_thread::sleep_for(SAMPLE_INTERVAL);
    }
    return recording;
}

void expectHeightsOnGrid(const Recording& recording, const SceneView& view) {
    int reported = 0;
    for (const DescentSample& seen : recording.descent) {
        const double expected = START_HEIGHT - HEIGHT_STEP * seen.tick;
        const bool onGrid =
            std::abs(seen.height - expected) * view.pixelsPerUnit() <= HEIGHT_TOLERANCE_PX;
        if (!onGrid && ++reported <= 5) {
            ADD_FAILURE() << "height " << seen.height << " is not a whole number of " << HEIGHT_STEP
                          << "-unit steps below " << START_HEIGHT;
        }
    }
}

// The height never rises during the descent, and between two close looks it
// falls by exactly one step or not at all.
void expectSingleStepsDown(const Recording& recording) {
    int conclusiveSteps = 0;
    int reported = 0;
    for (std::size_t i = 1; i < recording.descent.size(); ++i) {
        const DescentSample& earlier = recording.descent[i - 1];
        const DescentSample& later = recording.descent[i];
        const int step = later.tick - earlier.tick;
        if (step == 0) {
            continue;
        }
        const bool conclusive = noFrameMissedBetween(earlier.sample, later.sample);
        conclusiveSteps += conclusive ? 1 : 0;
        if ((step < 0 || (conclusive && step != 1)) && ++reported <= 5) {
            ADD_FAILURE() << "height went from " << earlier.height << " to " << later.height
                          << " in one frame, instead of falling by " << HEIGHT_STEP;
        }
    }
    if (conclusiveSteps < MIN_CONCLUSIVE_STEPS) {
        std::cout << "only " << conclusiveSteps
                  << " changes of height were watched closely enough to judge their size "
                     "(the machine was busy)\n";
    }
}

// The figure starts at START_HEIGHT: it cannot be further down when first
// seen than the time since launch allows.
void expectStartAtStartHeight(const Recording& recording) {
    const DescentSample& first = recording.descent.front();
    EXPECT_LE(first.tick, first.sample.lookedUntil * MAX_TICKS_PER_SECOND + 1)
        << "first seen at height " << first.height << ", " << first.sample.lookedUntil
        << " s after launch: it did not start at " << START_HEIGHT;
}

void expectAboutTenTicksASecond(const Recording& recording) {
    const DescentSample& first = recording.descent.front();
    const DescentSample& last = recording.descent.back();
    const double ticksPerSecond =
        (last.tick - first.tick) / (last.sample.lookedFrom - first.sample.lookedUntil);
    EXPECT_GE(ticksPerSecond, MIN_TICKS_PER_SECOND);
    EXPECT_LE(ticksPerSecond, MAX_TICKS_PER_SECOND);
}

// The descent ends exactly at BOTTOM_HEIGHT, and the next frame shows the
// figure at TOP_HEIGHT.
void expectRestartAtTheTop(const Recording& recording, const SceneView& view) {
    ASSERT_TRUE(recording.restart) << "the figure never reappeared at the top";
    const double restartHeight = bodyHeight(*recording.restart->body, view);
    const DescentSample& bottom = recording.descent.back();
    const auto deepest = std::max_element(
        recording.descent.begin(), recording.descent.end(),
        [](const DescentSample& a, const DescentSample& b) { return a.tick < b.tick; });
    EXPECT_LE(deepest->tick, TICKS_TO_BOTTOM) << "the figure went below " << BOTTOM_HEIGHT;
    EXPECT_LE(restartHeight, TOP_HEIGHT + HEIGHT_TOLERANCE_PX / view.pixelsPerUnit())
        << "the figure reappeared above " << TOP_HEIGHT;
    if (!noFrameMissedBetween(bottom.sample, *recording.restart)) {
        std::cout << "not checked: the last frame before the restart and the first after it "
                     "(the machine was too busy to watch closely)\n";
        return;
    }
    EXPECT_EQ(bottom.tick, TICKS_TO_BOTTOM)
        << "the last height before the restart was " << bottom.height << ", not " << BOTTOM_HEIGHT;
    EXPECT_NEAR(restartHeight, TOP_HEIGHT, HEIGHT_TOLERANCE_PX / view.pixelsPerUnit())
        << "the figure reappeared elsewhere than at " << TOP_HEIGHT;
}

// A point of the figure in its own frame: the body's centre at the origin,
// +z towards the trunk.
struct FigurePoint {
    double x;
    double y;
    double z;
};

// Where the figure is after `tick` ticks from the start.
struct FigurePose {
    double orbit;   // radians about the trunk
    double height;  // of the body's centre
    double tilt;    // radians about the figure's own x axis
};

FigurePose poseAfter(int tick) {
    return {radians(ORBIT_STEP_DEG * tick), START_HEIGHT - HEIGHT_STEP * tick,
            radians(-2.0 * (tick % TILT_CYCLE_TICKS))};
}

// The point's place on screen in scene units (x, y): tilted, lifted to its
// height and moved out to its orbit, then turned about the trunk.
std::pair<double, double> onScreen(const FigurePoint& point, const FigurePose& pose) {
    const double tiltedY = point.y * std::cos(pose.tilt) - point.z * std::sin(pose.tilt);
    const double tiltedZ = point.y * std::sin(pose.tilt) + point.z * std::cos(pose.tilt);
    const double orbitZ = tiltedZ - ORBIT_RADIUS;
    return {point.x * std::cos(pose.orbit) + orbitZ * std::sin(pose.orbit), tiltedY + pose.height};
}

// The smallest box on screen holding all `points` of the figure.
SceneBox extentOnScreen(const std::vector<FigurePoint>& points, const FigurePose& pose) {
    SceneBox box{1e9, 1e9, -1e9, -1e9};
    for (const FigurePoint& point : points) {
        const auto [x, y] = onScreen(point, pose);
        box = {std::min(box.left, x), std::min(box.bottom, y), std::max(box.right, x),
               std::max(box.top, y)};
    }
    return box;
}

std::vector<FigurePoint> bodyCorners() {
    std::vector<FigurePoint> corners;
    for (const double x : {-BODY_HALF_WIDTH, BODY_HALF_WIDTH}) {
        for (const double y : {-BODY_HALF_HEIGHT, BODY_HALF_HEIGHT}) {
            for (const double z : {-BODY_HALF_DEPTH, BODY_HALF_DEPTH}) {
                corners.push_back({x, y, z});
            }
        }
    }
    return corners;
}

// The cone's tip and the rim of its base, which sits on the body's
// trunk-side face (z = BODY_HALF_DEPTH).
std::vector<FigurePoint> coneOutline() {
    constexpr int RIM_POINTS = 16;
    std::vector<FigurePoint> points{{0, CONE_RISE, BODY_HALF_DEPTH + CONE_HEIGHT}};
    for (int i = 0; i < RIM_POINTS; ++i) {
        const double angle = radians(360.0 * i / RIM_POINTS);
        points.push_back({CONE_RADIUS * std::cos(angle), CONE_RISE + CONE_RADIUS * std::sin(angle),
                          BODY_HALF_DEPTH});
    }
    return points;
}

// What the window shows of the figure in a pose.
struct ExpectedFigure {
    std::string where;
    SceneBox body;
    std::optional<SceneBox> cone;  // none: hidden behind the body
};

// Poses whose picture is easy to predict: seen from the side (the cone in
// full view, its tilt visible), or straight from behind or in front of the
// trunk while upright.
ExpectedFigure expectedFigureAfter(int tick) {
    const FigurePose pose = poseAfter(tick);
    const double side = std::sin(pose.orbit);    // 1 left of the trunk, -1 right
    const double facing = std::cos(pose.orbit);  // 1 behind the trunk, -1 in front
    const SceneBox body = extentOnScreen(bodyCorners(), pose);
    if (std::abs(side) > 0.9) {
        return {side > 0 ? "left of the trunk" : "right of the trunk", body,
                extentOnScreen(coneOutline(), pose)};
    }
    if (facing > 0.9) {
        // Pointing at the viewer: a disc whose middle the trunk hides, so its
        // highest and lowest visible points are where it passes beside the trunk.
        const double besideTrunk =
            std::sqrt(CONE_RADIUS * CONE_RADIUS - TRUNK_HALF_WIDTH * TRUNK_HALF_WIDTH);
        return {"behind the trunk", body,
                boxAround(0.0, pose.height + CONE_RISE, CONE_RADIUS, besideTrunk)};
    }
    return {"in front of the trunk", body, std::nullopt};
}

// Upright at a quarter turn (ticks 18, 36, 54, 72), and tilted fully back
// just before a side-on quarter turn (ticks 17 and 53, orbit 85 and 265).
constexpr int CHECKED_POSE_TICKS[] = {17, 18, 36, 53, 54, 72};

void expectFigure(const Sample& seen, const ExpectedFigure& pose, const SceneView& view) {
    EXPECT_TRUE(edgesMatch(seen.body, pose.body, view)) << "body";
    if (pose.cone) {
        EXPECT_TRUE(edgesMatch(seen.cone, *pose.cone, view)) << "cone";
    } else {
        EXPECT_FALSE(seen.cone) << "the cone shows through the body at "
                                << x11_harness::describe(seen.cone);
    }
}

// In the checked poses, the body and the cone are where the pose puts them.
void expectPoses(const Recording& recording, const SceneView& view) {
    const auto& descent = recording.descent;
    for (const int tick : CHECKED_POSE_TICKS) {
        const ExpectedFigure pose = expectedFigureAfter(tick);
        SCOPED_TRACE(std::string("after ") + std::to_string(tick) + " ticks, " + pose.where);
        const auto after = std::find_if(descent.begin(), descent.end(),
                                        [tick](const DescentSample& s) { return s.tick >= tick; });
        if (after != descent.end() && after->tick == tick) {
            expectFigure(after->sample, pose, view);
        } else if (after != descent.begin() && after != descent.end() &&
                   noFrameMissedBetween(std::prev(after)->sample, after->sample)) {
            ADD_FAILURE() << "the window never showed this pose";
        } else {
            std::cout << "not checked: the pose after " << tick
                      << " ticks (the machine was too busy to watch closely)\n";
        }
    }
}

TEST(Animation, FigureSpiralsDownAQuarterUnitPerTickAtTenTicksASecondAndRestartsAtTheTop) {
    ProgramUnderTest program(
        {"-geometry", std::to_string(WINDOW_SIZE) + "x" + std::to_string(WINDOW_SIZE) + "+0+0"});
    const SceneView view(WINDOW_SIZE, WINDOW_SIZE);

    const Recording recording = recordFirstDescent(program, view);
    ASSERT_GE(recording.descent.size(), 2u) << "the figure was not seen";

    expectHeightsOnGrid(recording, view);
    expectSingleStepsDown(recording);
    expectStartAtStartHeight(recording);
    expectAboutTenTicksASecond(recording);
    expectRestartAtTheTop(recording, view);
    expectPoses(recording, view);
}

}  // namespace
}  // namespace e2e
