// SPDX-License-Identifier: MIT
#include "measurement.h"

#include <X11/keysym.h>

#include <memory>
#include <stdexcept>

#include "child_process.h"
#include "frame_watch.h"
#include "process_probe.h"
#include "statistics.h"
#include "x_input.h"
#include "x_windows.h"

namespace bench {
namespace {

using x11_harness::ChildProcess;
using x11_harness::Milliseconds;

// Generous: Mesa and freeglut start in well under a second, but the machine
// may be busy with other work.
constexpr Milliseconds FIRST_FRAME_TIMEOUT{20000};

// The key the storm taps. Both programs ask for a redraw on any special key,
// and in the program F12 turns nothing and prints nothing, so the storm costs
// each of them one redraw request per tap and no other work.
constexpr x11_harness::KeySymbol STORM_KEY = XK_F12;

// Taps sent ahead of the frames during the storm: while the program draws one
// frame, the request for the next is already waiting, so it never idles; and
// with no more than that queued, requests rarely merge into one frame.
constexpr std::size_t TAPS_AHEAD = 2;
// If requests did merge, the frame the runner waits for never comes; after
// this long without a frame it sends one more tap.
constexpr Milliseconds STALL_TIMEOUT{2};

double millisecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

double secondsBetween(Clock::time_point from, Clock::time_point to) {
    return millisecondsBetween(from, to) / 1000.0;
}

double cpuMillisecondsBetween(const ProcessCounters& before, const ProcessCounters& after) {
    return std::chrono::duration<double, std::milli>(after.cpuTime - before.cpuTime).count();
}

std::unique_ptr<ChildProcess> start(const Subject& subject,
                                    const std::vector<std::string>& environment) {
    x11_harness::ProcessOptions options;
    options.arguments = {subject.path};  // no options: the toolkit's default window
    options.environment = environment;
    return std::make_unique<ChildProcess>(options);
}

// The watcher takes the first ordinary window created on the server for the
// subject's; a stray window from elsewhere would make every figure wrong.
void checkWatchedWindow(x11_harness::XConnection& x, const FrameWatch& watch,
                        const Subject& subject) {
    const std::string title = x11_harness::windowTitle(x, watch.mainWindow());
    if (title != subject.title) {
        throw std::runtime_error("watched the window \"" + title + "\" instead of \"" +
                                 subject.title + "\" of the " + subject.name);
    }
}

// The periods between consecutive frames that arrived from `first` on.
std::vector<TickPeriod> periodsSince(const std::vector<Clock::time_point>& frames,
                                     std::size_t first, Clock::time_point phaseStart) {
    std::vector<TickPeriod> periods;
    for (std::size_t i = first + 1; i < frames.size(); ++i) {
        periods.push_back(
            {secondsBetween(phaseStart, frames[i]), millisecondsBetween(frames[i - 1], frames[i])});
    }
    return periods;
}

void measureAnimation(FrameWatch& watch, pid_t pid, const Phases& phases, RunFigures& figures) {
    const std::size_t firstFrame = watch.frameTimes().size();
    const auto started = Clock::now();
    const ProcessCounters before = readCounters(pid);
    watch.collectUntil(started + phases.animation);
    const ProcessCounters after = readCounters(pid);
    const auto ended = Clock::now();
    // Read before the storm: a storm, which no user produces, raised the
    // peak of some runs by a few MiB, more than the whole 2% being judged.
    figures.peakRssKib = static_cast<double>(peakResidentKib(pid));

    figures.cpuMs = cpuMillisecondsBetween(before, after);
    figures.wakeupsPerSecond =
        static_cast<double>(after.voluntarySwitches - before.voluntarySwitches) /
        secondsBetween(started, ended);
    figures.tickPeriods = periodsSince(watch.frameTimes(), firstFrame, started);
    if (figures.tickPeriods.size() < 2) {
        throw std::runtime_error("fewer than three frames in the animation phase");
    }
    std::vector<double> periods;
    for (const TickPeriod& period : figures.tickPeriods) {
        periods.push_back(period.milliseconds);
    }
    figures.tickMeanMs = mean(periods);
    figures.tickSpreadMs = standardDeviation(periods);
    // From the periods rather than a count of frames in the phase: a count
    // over 10 s moves by a whole frame, 0.1 frames per second, with the
    // phase's alignment to the ticks.
    figures.framesPerSecond = 1000.0 / figures.tickMeanMs;
}

// Taps the storm key for `length`, one tap per frame delivered and
// TAPS_AHEAD taps in flight. Returns the number of taps.
std::size_t driveStorm(x11_harness::XConnection& x, FrameWatch& watch,
                       std::chrono::milliseconds length) {
    const std::size_t framesBefore = watch.frameTimes().size();
    const auto started = Clock::now();
    std::size_t taps = 0;
    std::size_t stalls = 0;
    while (Clock::now() - started < length) {
        const std::size_t frames = watch.frameTimes().size() - framesBefore;
        while (taps < frames + TAPS_AHEAD + stalls) {
            x11_harness::tapKey(x, STORM_KEY);  // returns once the server has taken it
            ++taps;
        }
        const std::size_t nextFrame = watch.frameTimes().size() + 1;
        if (!watch.collectUntilFrames(nextFrame, Clock::now() + STALL_TIMEOUT)) {
            ++stalls;
        }
    }
    return taps;
}

void measureStorm(x11_harness::XConnection& x, FrameWatch& watch, pid_t pid, const Phases& phases,
                  RunFigures& figures) {
    // With no window manager the keyboard follows the pointer.
    x11_harness::movePointerTo(x, watch.mainWindow(), figures.windowWidth / 2,
                               figures.windowHeight / 2);
    watch.collectPending();
    const std::size_t framesBefore = watch.frameTimes().size();
    const ProcessCounters before = readCounters(pid);
    const auto started = Clock::now();
    const std::size_t taps = driveStorm(x, watch, phases.storm);
    const ProcessCounters after = readCounters(pid);
    const double seconds = secondsBetween(started, Clock::now());

    const auto frames = static_cast<double>(watch.frameTimes().size() - framesBefore);
    if (frames < 1.0) {
        throw std::runtime_error("no frame arrived during the key storm");
    }
    figures.stormKeysPerSecond = static_cast<double>(taps) / seconds;
    figures.stormFramesPerSecond = frames / seconds;
    figures.stormCpuMsPerFrame = cpuMillisecondsBetween(before, after) / frames;
}

}  // namespace

double measureStartup(x11_harness::XConnection& x, const std::vector<std::string>& environment,
                      const Subject& subject) {
    FrameWatch watch(x);  // before the start, so no frame can come unseen
    const auto started = Clock::now();
    const auto child = start(subject, environment);
    watch.waitForFrames(1, FIRST_FRAME_TIMEOUT);
    checkWatchedWindow(x, watch, subject);
    return millisecondsBetween(started, watch.frameTimes().front());
}  // the child, declared after the watcher, is stopped before it

RunFigures measureRun(x11_harness::XConnection& x, const std::vector<std::string>& environment,
                      const Subject& subject, const Phases& phases) {
    FrameWatch watch(x);
    const auto child = start(subject, environment);
    watch.waitForFrames(1, FIRST_FRAME_TIMEOUT);
    checkWatchedWindow(x, watch, subject);

    RunFigures figures;
    const auto geometry = x11_harness::windowGeometry(x, watch.mainWindow());
    figures.windowWidth = geometry.width;
    figures.windowHeight = geometry.height;

    watch.collectUntil(Clock::now() + phases.settle);
    measureAnimation(watch, child->pid(), phases, figures);
    measureStorm(x, watch, child->pid(), phases, figures);
    child->stop();
    return figures;
}

void warmUp(x11_harness::XConnection& x, const std::vector<std::string>& environment,
            const Subject& subject, const Phases& phases) {
    FrameWatch watch(x);
    const auto child = start(subject, environment);
    watch.waitForFrames(1, FIRST_FRAME_TIMEOUT);
    watch.collectUntil(Clock::now() + phases.settle);
    child->stop();
}

}  // namespace bench
