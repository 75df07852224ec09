// SPDX-License-Identifier: MIT
#include "report.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <iomanip>
#include <sstream>
#include <stdexcept>

#include "statistics.h"

namespace bench {
namespace {

enum class Target {
    None,           // reported only
    RatioAtMost,    // the median ratio program/baseline must not exceed `high`
    ProgramWithin,  // the program's median must lie in [low, high]
};

struct Figure {
    const char* column;  // CSV column name
    const char* label;   // row label on the console
    double RunFigures::*value;
    int decimals;
    Target target;
    double low;
    double high;
};

// Every figure, in report order. The targets: the program may cost 10% more
// processor time than the floor, 2% more memory and 5% more start-up time;
// it must tick at 10 +- 0.2 frames per second; and, doing no work between
// ticks, it may not wake up more often than the floor does (10% for noise).
// clang-format off
const Figure FIGURES[] = {
    // column, label, field, decimals, target, low, high
    {"startup_ms", "start to first frame (ms)", &RunFigures::startupMs, 1,
     Target::RatioAtMost, 0.0, 1.05},
    {"cpu_ms", "CPU, animation phase (ms)", &RunFigures::cpuMs, 1,
     Target::RatioAtMost, 0.0, 1.10},
    {"wakeups_per_s", "wake-ups per second", &RunFigures::wakeupsPerSecond, 1,
     Target::RatioAtMost, 0.0, 1.10},
    {"peak_rss_kib", "peak resident memory (KiB)", &RunFigures::peakRssKib, 0,
     Target::RatioAtMost, 0.0, 1.02},
    {"fps", "frames per second", &RunFigures::framesPerSecond, 2,
     Target::ProgramWithin, 9.8, 10.2},
    {"tick_mean_ms", "tick period, mean (ms)", &RunFigures::tickMeanMs, 2,
     Target::None, 0.0, 0.0},
    {"tick_spread_ms", "tick period, std. dev. (ms)", &RunFigures::tickSpreadMs, 2,
     Target::None, 0.0, 0.0},
    {"storm_keys_per_s", "storm: key taps per second", &RunFigures::stormKeysPerSecond, 0,
     Target::None, 0.0, 0.0},
    {"storm_fps", "storm: frames per second", &RunFigures::stormFramesPerSecond, 0,
     Target::None, 0.0, 0.0},
    {"storm_cpu_ms_per_frame", "storm: CPU per frame (ms)", &RunFigures::stormCpuMsPerFrame, 3,
     Target::None, 0.0, 0.0},
};
// clang-format on

const Figure& figureNamed(const std::string& column) {
    for (const Figure& figure : FIGURES) {
        if (column == figure.column) {
            return figure;
        }
    }
    throw std::logic_error("no figure named " + column);
}

struct Summary {
    double programMedian = 0.0;
    double baselineMedian = 0.0;
    double ratioMedian = 0.0;
    double ratioMin = 0.0;
    double ratioMax = 0.0;
};

double ratio(const Pair& pair, const Figure& figure) {
    return pair.program.*figure.value / pair.baseline.*figure.value;
}

Summary summarise(const std::vector<Pair>& pairs, const Figure& figure) {
    std::vector<double> program;
    std::vector<double> baseline;
    std::vector<double> ratios;
    for (const Pair& pair : pairs) {
        program.push_back(pair.program.*figure.value);
        baseline.push_back(pair.baseline.*figure.value);
        ratios.push_back(ratio(pair, figure));
    }
    // The ratio's median is taken over the pairs' own ratios, not between
    // the two medians: each ratio compares runs that shared the machine.
    return {median(program), median(baseline), median(ratios),
            *std::min_element(ratios.begin(), ratios.end()),
            *std::max_element(ratios.begin(), ratios.end())};
}

std::string describeTarget(const Figure& figure) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(2);
    switch (figure.target) {
        case Target::None:
            return "";
        case Target::RatioAtMost:
            text << "ratio <= " << figure.high;
            break;
        case Target::ProgramWithin:
            text << "program " << figure.low << ".." << figure.high;
            break;
    }
    return text.str();
}

std::string verdict(const Figure& figure, const Summary& summary) {
    switch (figure.target) {
        case Target::RatioAtMost:
            return summary.ratioMedian <= figure.high ? "met" : "MISSED";
        case Target::ProgramWithin:
            return summary.programMedian >= figure.low && summary.programMedian <= figure.high
                       ? "met"
                       : "MISSED";
        case Target::None:
            break;
    }
    return "";
}

// "300x300", or every size seen if the runs disagree.
std::string windowSizes(const Results& results) {
    std::vector<std::string> sizes;
    auto note = [&sizes](const RunFigures& run) {
        const std::string size =
            std::to_string(run.windowWidth) + "x" + std::to_string(run.windowHeight);
        if (std::find(sizes.begin(), sizes.end(), size) == sizes.end()) {
            sizes.push_back(size);
        }
    };
    for (const Pair& pair : results.pairs) {
        note(pair.program);
        note(pair.baseline);
    }
    std::string text;
    for (const std::string& size : sizes) {
        text += (text.empty() ? "" : ", ") + size;
    }
    return text;
}

void printPairRatios(std::ostream& out, const std::vector<Pair>& pairs) {
    out << "Ratio program/baseline, pair by pair (P: program ran first, B: baseline first)\n";
    out << std::left << std::setw(30) << "figure" << std::right;
    for (const Pair& pair : pairs) {
        out << std::setw(7) << (std::to_string(pair.number) + (pair.programFirst ? "P" : "B"));
    }
    out << '\n' << std::fixed << std::setprecision(3);
    for (const Figure& figure : FIGURES) {
        out << std::left << std::setw(30) << figure.label << std::right;
        for (const Pair& pair : pairs) {
            out << std::setw(7) << ratio(pair, figure);
        }
        out << '\n';
    }
}

void printMedians(std::ostream& out, const std::vector<Pair>& pairs) {
    out << "Medians over the pairs\n"
        << std::left << std::setw(30) << "figure" << std::right << std::setw(11) << "program"
        << std::setw(11) << "baseline" << std::setw(8) << "ratio"
        << "  " << std::left << std::setw(21) << "target"
        << "verdict\n";
    for (const Figure& figure : FIGURES) {
        const Summary summary = summarise(pairs, figure);
        out << std::left << std::setw(30) << figure.label << std::right << std::fixed
            << std::setprecision(figure.decimals) << std::setw(11) << summary.programMedian
            << std::setw(11) << summary.baselineMedian << std::setprecision(3) << std::setw(8)
            << summary.ratioMedian << "  " << std::left << std::setw(21) << describeTarget(figure)
            << verdict(figure, summary) << '\n';
    }
}

void printClearOnly(std::ostream& out, const Results& results) {
    const Summary summary = summarise(results.pairs, figureNamed("peak_rss_kib"));
    const double clearOnly = results.clearOnly->peakRssKib;
    out << std::fixed << std::setprecision(0)
        << "Clear-only baseline (no menu, no glyph, no cube; one run): peak resident memory "
        << clearOnly << " KiB.\n"
        << std::setprecision(3)
        << "  program median / clear-only = " << summary.programMedian / clearOnly
        << ", baseline median / clear-only = " << summary.baselineMedian / clearOnly << '\n';
}

// Opens `directory`/`name`, lets `write` fill it, and checks that all of it
// was written.
void writeCsv(const std::string& directory, const std::string& name,
              const std::function<void(std::ostream&)>& write) {
    const std::string path = directory + "/" + name;
    std::ofstream out(path);
    out << std::fixed << std::setprecision(3);
    write(out);
    out.close();
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

void writeRunRow(std::ostream& out, int pair, const char* subject, int order,
                 const RunFigures& run) {
    out << pair << ',' << subject << ',' << order << ',' << run.windowWidth << ','
        << run.windowHeight;
    for (const Figure& figure : FIGURES) {
        out << ',' << run.*figure.value;
    }
    out << '\n';
}

void writeRuns(std::ostream& out, const Results& results) {
    out << "pair,subject,order,window_width,window_height";
    for (const Figure& figure : FIGURES) {
        out << ',' << figure.column;
    }
    out << '\n';
    for (const Pair& pair : results.pairs) {
        writeRunRow(out, pair.number, "program", pair.programFirst ? 1 : 2, pair.program);
        writeRunRow(out, pair.number, "baseline", pair.programFirst ? 2 : 1, pair.baseline);
    }
    if (results.clearOnly) {
        writeRunRow(out, 0, "clear-only", 1, *results.clearOnly);  // pair 0: not paired
    }
}

void writePairs(std::ostream& out, const std::vector<Pair>& pairs) {
    out << "pair,program_first";
    for (const Figure& figure : FIGURES) {
        out << ',' << figure.column << "_ratio";
    }
    out << '\n';
    for (const Pair& pair : pairs) {
        out << pair.number << ',' << (pair.programFirst ? 1 : 0);
        for (const Figure& figure : FIGURES) {
            out << ',' << ratio(pair, figure);
        }
        out << '\n';
    }
}

void writeSummary(std::ostream& out, const std::vector<Pair>& pairs) {
    out << "figure,program_median,baseline_median,ratio_median,ratio_min,ratio_max,target,"
           "verdict\n";
    for (const Figure& figure : FIGURES) {
        const Summary summary = summarise(pairs, figure);
        out << figure.column << ',' << summary.programMedian << ',' << summary.baselineMedian << ','
            << summary.ratioMedian << ',' << summary.ratioMin << ',' << summary.ratioMax << ','
            << describeTarget(figure) << ',' << verdict(figure, summary) << '\n';
    }
}

void writeTickPeriodRows(std::ostream& out, int pair, const char* subject, const RunFigures& run) {
    for (const TickPeriod& period : run.tickPeriods) {
        out << pair << ',' << subject << ',' << period.endSeconds << ',' << period.milliseconds
            << '\n';
    }
}

void writeTickPeriods(std::ostream& out, const Results& results) {
    out << "pair,subject,time_s,period_ms\n";
    for (const Pair& pair : results.pairs) {
        writeTickPeriodRows(out, pair.number, "program", pair.program);
        writeTickPeriodRows(out, pair.number, "baseline", pair.baseline);
    }
    if (results.clearOnly) {
        writeTickPeriodRows(out, 0, "clear-only", *results.clearOnly);
    }
}

}  // namespace

void printReport(std::ostream& out, const Results& results, const Phases& phases,
                 int startsPerPair) {
    using Seconds = std::chrono::duration<double>;
    out << "Program against baseline: " << results.pairs.size() << " pair(s), window "
        << windowSizes(results) << ";\nper run " << Seconds(phases.animation).count()
        << " s of animation and " << Seconds(phases.storm).count()
        << " s of key storm; start-up from " << startsPerPair
        << " quick starts of each per pair\n\n";
    printPairRatios(out, results.pairs);
    out << '\n';
    printMedians(out, results.pairs);
    if (results.clearOnly) {
        out << '\n';
        printClearOnly(out, results);
    }
}

void writeCsvFiles(const std::string& directory, const Results& results) {
    writeCsv(directory, "runs.csv", [&](std::ostream& out) { writeRuns(out, results); });
    writeCsv(directory, "pairs.csv", [&](std::ostream& out) { writePairs(out, results.pairs); });
    writeCsv(directory, "summary.csv",
             [&](std::ostream& out) { writeSummary(out, results.pairs); });
    writeCsv(directory, "tick_periods.csv",
             [&](std::ostream& out) { writeTickPeriods(out, results); });
}

}  // namespace bench
