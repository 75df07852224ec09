// SPDX-License-Identifier: MIT
// Turning the runs into figures: the ratio of program to baseline pair by
// pair, the medians, the verdict against each target, a table on standard
// output and the same in CSV files.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "measurement.h"

namespace bench {

// A program run and a baseline run made one right after the other, so that
// whatever else the machine was doing weighed on both alike.
struct Pair {
    int number = 0;            // from 1
    bool programFirst = true;  // the order alternates from pair to pair
    RunFigures program;
    RunFigures baseline;
};

struct Results {
    std::vector<Pair> pairs;
    // The clear-only baseline, run once for its peak memory; absent if it was not run.
    std::optional<RunFigures> clearOnly;
};

// Prints the per-pair ratios, then the medians with their targets.
// `phases` and `startsPerPair` describe how the figures were measured.
void printReport(std::ostream& out, const Results& results, const Phases& phases,
                 int startsPerPair);

// Writes into `directory` (which must exist):
//   runs.csv          every figure of every run;
//   pairs.csv         the ratio program/baseline of every figure, pair by pair;
//   summary.csv       the medians, the median ratios and the verdicts;
//   tick_periods.csv  every frame period of every animation phase, for the plot.
// Throws std::runtime_error if a file cannot be written.
void writeCsvFiles(const std::string& directory, const Results& results);

}  // namespace bench
