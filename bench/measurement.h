// SPDX-License-Identifier: MIT
// Runs of one program on the private X server, and the figures they give.
//
// A quick start measures the time from starting the process to its first
// frame on screen, and stops the program there.
//
// A full run goes through these phases:
//   start-up   up to the first frame (timed by quick starts instead: one
//              start per run is too few against the machine's noise);
//   settle     1 s more, so one-time costs (Mesa compiling its drawing
//              paths on first use) stay out of what follows;
//   animation  the program left alone: CPU time, wake-ups, frame arrivals;
//              the peak memory is read at its end;
//   storm      a special key (F12) tapped once per frame delivered, two taps
//              ahead, each press asking for a redraw, so a request always
//              waits when a frame is done: the frame rate the program can
//              reach, and the processor time one frame costs.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "x_connection.h"

namespace bench {

struct Subject {
    std::string name;   // "program", "baseline", ...
    std::string path;   // the executable
    std::string title;  // its window title, to check the right window was watched
};

struct Phases {
    std::chrono::milliseconds settle{1000};
    std::chrono::milliseconds animation{10000};
    std::chrono::milliseconds storm{3000};
};

// One frame period of the animation phase: when it ended, counted from the
// phase's start, and how long it was.
struct TickPeriod {
    double endSeconds = 0.0;
    double milliseconds = 0.0;
};

struct RunFigures {
    int windowWidth = 0;
    int windowHeight = 0;
    double startupMs = 0.0;           // process start to first frame; set from quick starts
    double cpuMs = 0.0;               // user + system over the animation phase
    double wakeupsPerSecond = 0.0;    // voluntary context switches in the animation phase
    double peakRssKib = 0.0;          // VmHWM at the end of the animation phase
    double framesPerSecond = 0.0;     // during the animation phase
    double tickMeanMs = 0.0;          // mean frame period during the animation phase
    double tickSpreadMs = 0.0;        // its standard deviation
    double stormKeysPerSecond = 0.0;  // key taps sent during the storm
    double stormFramesPerSecond = 0.0;
    double stormCpuMsPerFrame = 0.0;  // processor time per frame during the storm
    std::vector<TickPeriod> tickPeriods;
};

// Starts `subject` on the server `x` is connected to, waits for its first
// frame and stops it. Returns the milliseconds from start to that frame.
// `environment` is what the subject needs to reach the server
// ("DISPLAY=...", ...). Throws if no frame comes.
double measureStartup(x11_harness::XConnection& x, const std::vector<std::string>& environment,
                      const Subject& subject);

// Runs `subject` through every phase and returns its figures, all but
// startupMs. Throws if the subject fails to show frames.
RunFigures measureRun(x11_harness::XConnection& x, const std::vector<std::string>& environment,
                      const Subject& subject, const Phases& phases);

// Starts `subject`, lets it reach its first frame and settle, and stops it,
// measuring nothing: the first start of a program after a build pays for
// reading it from disk and may fill Mesa's shader cache; later ones do not.
void warmUp(x11_harness::XConnection& x, const std::vector<std::string>& environment,
            const Subject& subject, const Phases& phases);

}  // namespace bench
