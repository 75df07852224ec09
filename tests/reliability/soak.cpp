// SPDX-License-Identifier: MIT
// Catches memory that grows with use (a leak per frame, per key, per menu or
// per resize) and input lost over a long run.
//
// Runs the program on a private X server for a given time with periodic
// input: key strokes (whose report lines must all arrive, in order), arrow
// keys, menu toggles and resizes. Samples the program's resident memory and
// CPU time from /proc, prints them, and fails if the resident memory after
// the warm-up grew by the limit or more, or any line was lost, or the
// program did not end with status 0 through its menu.
//
//   glut_alap_soak [--seconds N] [--warmup N] [--sample N] [--max-growth-kb N]
//                  [--program PATH] [--csv FILE]
#include <X11/keysym.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "program_session.h"
#include "x_windows.h"

namespace {

using x11_harness::Clock;
using Seconds = std::chrono::duration<double>;

struct Settings {
    int seconds = 1800;
    int warmup = -1;  // -1: a quarter of the run, at most 300 s
    int sample = -1;  // -1: about 120 samples over the run, at least one a second
    long maxGrowthKb = 1024;
    std::string program;
    std::string csv;
};

[[noreturn]] void usage(const char* message) {
    std::cerr << "glut_alap_soak: " << message
              << "\nusage: glut_alap_soak [--seconds N] [--warmup N] [--sample N]"
                 " [--max-growth-kb N] [--program PATH] [--csv FILE]\n";
    std::exit(2);
}

Settings parseSettings(int argc, char** argv) {
    Settings settings;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc) {
            usage(("missing value after " + option).c_str());
        }
        const std::string value = argv[++i];
        if (option == "--seconds") {
            settings.seconds = std::stoi(value);
        } else if (option == "--warmup") {
            settings.warmup = std::stoi(value);
        } else if (option == "--sample") {
            settings.sample = std::stoi(value);
        } else if (option == "--max-growth-kb") {
            settings.maxGrowthKb = std::stol(value);
        } else if (option == "--program") {
            settings.program = value;
        } else if (option == "--csv") {
            settings.csv = value;
        } else {
            usage(("unknown option " + option).c_str());
        }
    }
    if (settings.seconds < 10) {
        usage("--seconds must be at least 10");
    }
    if (settings.warmup < 0) {
        settings.warmup = std::min(300, settings.seconds / 4);
    }
    if (settings.sample <= 0) {
        settings.sample = std::max(1, settings.seconds / 120);
    }
    return settings;
}

struct Sample {
    double seconds;  // since the window appeared
    long rssKb;
    double cpuSeconds;  // user + system, the whole life of the process
};

long residentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    throw std::runtime_error("no VmRSS for process " + std::to_string(pid));
}

double cpuSeconds(pid_t pid) {
    std::ifstream statFile("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
    // The command name in parentheses may hold spaces: count fields after it.
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    long user = 0;
    long system = 0;
    for (int index = 3; fields >> field; ++index) {
        if (index == 14) {
            user = std::stol(field);
        } else if (index == 15) {
            system = std::stol(field);
            break;
        }
    }
    return static_cast<double>(user + system) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

long medianRss(std::vector<Sample> samples) {
    std::sort(samples.begin(), samples.end(),
              [](const Sample& a, const Sample& b) { return a.rssKb < b.rssKb; });
    return samples[samples.size() / 2].rssKb;
}

// The samples taken in [from, to) seconds, at least the one nearest `from`.
std::vector<Sample> samplesBetween(const std::vector<Sample>& all, double from, double to) {
    std::vector<Sample> chosen;
    for (const Sample& sample : all) {
        if (sample.seconds >= from && sample.seconds < to) {
            chosen.push_back(sample);
        }
    }
    if (chosen.empty()) {
        chosen.push_back(*std::min_element(all.begin(), all.end(), [&](const Sample& a,
                                                                        const Sample& b) {
            return std::abs(a.seconds - from) < std::abs(b.seconds - from);
        }));
    }
    return chosen;
}

// Window sizes the soak cycles through: square, wide and tall.
struct Size {
    int width;
    int height;
};
constexpr Size SIZES[] = {{300, 300}, {500, 200}, {200, 500}};

int run(const Settings& settings) {
    x11_harness::XvfbServer server;
    x11_harness::XConnection x(server.displayName());
    reliability::ProgramSession session(server, x, {}, settings.program);
    auto& process = session.process();
    const pid_t pid = process.pid();

    std::string expectedOutput;
    std::vector<Sample> samples;
    const auto start = Clock::now();
    const auto end = start + std::chrono::seconds(settings.seconds);
    auto nextSample = start;
    Size size = SIZES[0];
    x11_harness::resizeWindow(x, session.window(), size.width, size.height);

    std::printf("%8s %10s %8s\n", "time_s", "rss_kb", "cpu_pct");
    // Five reported keys and two arrows every round (about a second). The
    // pointer stays in the part of the window that every size shares.
    constexpr int STROKES_PER_ROUND = 5;
    const auto allStrokes =
        reliability::strokeSequence(STROKES_PER_ROUND * (settings.seconds + 1), 200, 200);
    for (long round = 0; Clock::now() < end; ++round) {
        const auto roundStart = Clock::now();
        if (STROKES_PER_ROUND * static_cast<std::size_t>(round + 1) > allStrokes.size()) {
            break;  // only if the clock jumped: every round takes a second or more
        }
        const auto first = allStrokes.begin() + STROKES_PER_ROUND * round;
        const std::vector<reliability::KeyStroke> strokes(first, first + STROKES_PER_ROUND);
        reliability::sendStrokes(x, session.window(), strokes);
        for (const auto& stroke : strokes) {
            expectedOutput += reliability::reportLine(stroke);
        }
        reliability::sendKeys(x, {static_cast<KeySym>(round % 2 == 0 ? XK_Left : XK_Up), XK_Right});
        if (round % 4 == 3) {  // a menu toggle every 4 s
            reliability::chooseMenuEntry(x, session.window(), size.width / 2, size.height / 2,
                                         reliability::MENU_ENTRY_TOGGLE);
            expectedOutput += reliability::TOGGLE_LINE;
        }
        if (round % 3 == 2) {  // another size every 3 s
            size = SIZES[(round / 3 + 1) % 3];
            x11_harness::resizeWindow(x, session.window(), size.width, size.height);
        }
        process.waitForOutput("every line so far", reliability::EVENT_TIMEOUT,
                              [&](const std::string& text) { return text == expectedOutput; });

        if (Clock::now() >= nextSample) {
            const Sample sample{Seconds(Clock::now() - start).count(), residentKb(pid),
                                cpuSeconds(pid)};
            const double cpuPercent =
                samples.empty() ? 0.0
                                : 100.0 * (sample.cpuSeconds - samples.back().cpuSeconds) /
                                      (sample.seconds - samples.back().seconds);
            std::printf("%8.1f %10ld %8.1f\n", sample.seconds, sample.rssKb, cpuPercent);
            std::fflush(stdout);
            samples.push_back(sample);
            nextSample += std::chrono::seconds(settings.sample);
        }
        // Periodic input, not synchronisation: the next round starts a second
        // after this one did.
        std::this_thread::sleep_until(roundStart + std::chrono::seconds(1));
    }

    reliability::chooseMenuEntry(x, session.window(), size.width / 2, size.height / 2,
                                 reliability::MENU_ENTRY_EXIT);
    const auto status = process.waitForExit(reliability::EVENT_TIMEOUT);

    if (!settings.csv.empty()) {
        std::ofstream csv(settings.csv);
        csv << "time_s,rss_kb,cpu_s\n";
        for (const Sample& sample : samples) {
            csv << sample.seconds << ',' << sample.rssKb << ',' << sample.cpuSeconds << '\n';
        }
    }

    const double total = samples.back().seconds;
    const long rssStart = samples.front().rssKb;
    const long rssAfterWarmup = medianRss(samplesBetween(
        samples, settings.warmup, settings.warmup + 3.0 * settings.sample));
    const long rssEnd = medianRss(samplesBetween(samples, total - 2.0 * settings.sample, total + 1));
    long rssMaxAfterWarmup = 0;
    for (const Sample& sample : samples) {
        if (sample.seconds >= settings.warmup) {
            rssMaxAfterWarmup = std::max(rssMaxAfterWarmup, sample.rssKb);
        }
    }
    const long growth = rssEnd - rssAfterWarmup;
    const double cpuPercent =
        100.0 * (samples.back().cpuSeconds - samples.front().cpuSeconds) /
        (samples.back().seconds - samples.front().seconds);

    std::printf(
        "\nrun %.0f s, warm-up %d s, %zu samples\n"
        "RSS start %ld kB, after warm-up %ld kB, end %ld kB, max after warm-up %ld kB\n"
        "RSS growth after warm-up %ld kB (limit %ld kB)\n"
        "CPU %.1f %% of one core on average, %.1f s in total\n"
        "console: %zu bytes, every line as expected; %s\n",
        total, settings.warmup, samples.size(), rssStart, rssAfterWarmup, rssEnd,
        rssMaxAfterWarmup, growth, settings.maxGrowthKb, cpuPercent, samples.back().cpuSeconds,
        process.output().size(), status.describe().c_str());

    bool passed = true;
    if (growth >= settings.maxGrowthKb) {
        std::printf("FAIL: resident memory grew by %ld kB after the warm-up\n", growth);
        passed = false;
    }
    if (!status.isSuccess()) {
        std::printf("FAIL: the program %s; error output: %s\n", status.describe().c_str(),
                    x11_harness::printable(process.errorOutput()).c_str());
        passed = false;
    }
    if (process.output() != expectedOutput) {
        std::printf("FAIL: the console output changed after the last check\n");
        passed = false;
    }
    std::printf("%s\n", passed ? "soak passed" : "soak FAILED");
    return passed ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(parseSettings(argc, argv));
    } catch (const std::exception& error) {
        std::printf("soak FAILED: %s\n", error.what());
        return 1;
    }
}
