// SPDX-License-Identifier: MIT
// Catches a benchmark runner that no longer runs end to end, or that writes
// files with a figure missing, a phase without frames or a nonsense value,
// and a plot script that no longer draws from them. It runs one short pair
// and checks what was written, never how fast anything was.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "child_process.h"

namespace {

using x11_harness::ChildProcess;
using x11_harness::Milliseconds;

constexpr double ANIMATION_SECONDS = 2.0;
constexpr Milliseconds RUN_TIMEOUT{150000};

const std::vector<std::string> FIGURE_COLUMNS = {
    "startup_ms",   "cpu_ms",         "wakeups_per_s",    "peak_rss_kib", "fps",
    "tick_mean_ms", "tick_spread_ms", "storm_keys_per_s", "storm_fps",    "storm_cpu_ms_per_frame"};

// A CSV file as rows of named fields.
struct Table {
    std::vector<std::string> header;
    std::vector<std::map<std::string, std::string>> rows;
};

std::vector<std::string> splitFields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream stream(line);
    std::string field;
    while (std::getline(stream, field, ',')) {
        fields.push_back(field);
    }
    if (!line.empty() && line.back() == ',') {
        fields.emplace_back();  // getline drops an empty last field
    }
    return fields;
}

Table readCsv(const std::string& path) {
    std::ifstream file(path);
    Table table;
    std::string line;
    if (!std::getline(file, line)) {
        ADD_FAILURE() << path << " is missing or empty";
        return table;
    }
    table.header = splitFields(line);
    while (std::getline(file, line)) {
        const auto fields = splitFields(line);
        EXPECT_EQ(fields.size(), table.header.size()) << path << ": " << line;
        std::map<std::string, std::string> row;
        for (std::size_t i = 0; i < fields.size() && i < table.header.size(); ++i) {
            row[table.header[i]] = fields[i];
        }
        table.rows.push_back(row);
    }
    return table;
}

// The field as a number; NaN (which fails every comparison) if it is not one.
double number(const std::map<std::string, std::string>& row, const std::string& column) {
    const auto field = row.find(column);
    if (field == row.end()) {
        return std::nan("");
    }
    std::istringstream stream(field->second);
    double value = 0.0;
    if (!(stream >> value) || !stream.eof()) {
        return std::nan("");
    }
    return value;
}

std::vector<std::string> withPrefix(std::vector<std::string> first,
                                    const std::vector<std::string>& rest,
                                    const std::string& suffix = "") {
    for (const auto& column : rest) {
        first.push_back(column + suffix);
    }
    return first;
}

class BenchSmoke : public ::testing::Test {
protected:
    // One run of the runner serves every case below.
    static void SetUpTestSuite() {
        std::filesystem::remove_all(BENCH_SMOKE_OUTPUT);  // stale files must not pass
        x11_harness::ProcessOptions options;
        // clang-format off
        options.arguments = {BENCH_RUNNER,
                             "--pairs", "1",
                             "--starts", "2",
                             "--seconds", "2",  // ANIMATION_SECONDS
                             "--storm-seconds", "1",
                             "--out", BENCH_SMOKE_OUTPUT};
        // clang-format on
        ChildProcess runner(options);
        status_ = runner.waitForExit(RUN_TIMEOUT);
        output_ = runner.output();
        errorOutput_ = runner.errorOutput();
    }

    static std::string file(const std::string& name) {
        return std::string(BENCH_SMOKE_OUTPUT) + "/" + name;
    }

    static x11_harness::ExitStatus status_;
    static std::string output_;
    static std::string errorOutput_;
};

x11_harness::ExitStatus BenchSmoke::status_;
std::string BenchSmoke::output_;
std::string BenchSmoke::errorOutput_;

TEST_F(BenchSmoke, RunnerSucceedsAndPrintsTheMediansOfEveryFigure) {
    ASSERT_TRUE(status_.isSuccess()) << status_.describe() << "\nerror output:\n" << errorOutput_;
    EXPECT_NE(output_.find("Medians over the pairs"), std::string::npos) << output_;
    EXPECT_NE(output_.find("Clear-only baseline"), std::string::npos) << output_;
    for (const char* label :
         {"start to first frame", "CPU, animation phase", "peak resident memory",
          "frames per second", "tick period, mean", "storm: CPU per frame"}) {
        EXPECT_NE(output_.find(label), std::string::npos) << "no \"" << label << "\" in\n"
                                                          << output_;
    }
}

TEST_F(BenchSmoke, EveryRunHasEveryFigureAsAPositiveNumber) {
    const Table runs = readCsv(file("runs.csv"));
    EXPECT_EQ(runs.header, withPrefix({"pair", "subject", "order", "window_width", "window_height"},
                                      FIGURE_COLUMNS));
    ASSERT_EQ(runs.rows.size(), 3u);
    EXPECT_EQ(runs.rows[0].at("subject"), "program");
    EXPECT_EQ(runs.rows[1].at("subject"), "baseline");
    EXPECT_EQ(runs.rows[2].at("subject"), "clear-only");
    for (const auto& run : runs.rows) {
        for (const std::string& column :
             withPrefix({"window_width", "window_height"}, FIGURE_COLUMNS)) {
            const double value = number(run, column);
            EXPECT_TRUE(std::isfinite(value) && value > 0.0)
                << run.at("subject") << " " << column << " = " << value;
        }
        // Not a timing target: a 100 ms timer re-armed on each tick cannot
        // fire much sooner, and a frame counter that counted something
        // other than frames would be off by far more than a busy machine.
        EXPECT_GT(number(run, "tick_mean_ms"), 80.0) << run.at("subject");
        EXPECT_LT(number(run, "tick_mean_ms"), 500.0) << run.at("subject");
        // A storm whose keys forced no redraws would show only the timer's frames.
        EXPECT_GT(number(run, "storm_fps"), 2.0 * number(run, "fps")) << run.at("subject");
    }
}

TEST_F(BenchSmoke, PairAndSummaryFilesHoldARatioForEveryFigure) {
    const Table pairs = readCsv(file("pairs.csv"));
    EXPECT_EQ(pairs.header, withPrefix({"pair", "program_first"}, FIGURE_COLUMNS, "_ratio"));
    ASSERT_EQ(pairs.rows.size(), 1u);
    for (const std::string& column : FIGURE_COLUMNS) {
        const double ratio = number(pairs.rows[0], column + "_ratio");
        EXPECT_TRUE(std::isfinite(ratio) && ratio > 0.0) << column << " ratio = " << ratio;
    }

    const Table summary = readCsv(file("summary.csv"));
    ASSERT_EQ(summary.rows.size(), FIGURE_COLUMNS.size());
    for (std::size_t i = 0; i < FIGURE_COLUMNS.size(); ++i) {
        const auto& row = summary.rows[i];
        EXPECT_EQ(row.at("figure"), FIGURE_COLUMNS[i]);
        EXPECT_GT(number(row, "program_median"), 0.0) << FIGURE_COLUMNS[i];
        EXPECT_GT(number(row, "baseline_median"), 0.0) << FIGURE_COLUMNS[i];
        const std::string verdict = row.at("verdict");
        EXPECT_TRUE(verdict == "met" || verdict == "MISSED" || verdict.empty())
            << FIGURE_COLUMNS[i] << " verdict \"" << verdict << "\"";
    }
}

TEST_F(BenchSmoke, TickPeriodsCoverTheAnimationPhaseOfEveryRun) {
    const Table ticks = readCsv(file("tick_periods.csv"));
    EXPECT_EQ(ticks.header, (std::vector<std::string>{"pair", "subject", "time_s", "period_ms"}));
    std::map<std::string, int> periodsPerSubject;
    for (const auto& tick : ticks.rows) {
        ++periodsPerSubject[tick.at("subject")];
        const double time = number(tick, "time_s");
        EXPECT_TRUE(time > 0.0 && time <= ANIMATION_SECONDS + 0.5) << "time_s " << time;
        EXPECT_GT(number(tick, "period_ms"), 0.0);
    }
    // 2 s at 10 frames per second is about 19 periods; half of that is a
    // phase that lost most of its frames.
    for (const char* subject : {"program", "baseline", "clear-only"}) {
        EXPECT_GE(periodsPerSubject[subject], 10) << subject;
    }
}

TEST_F(BenchSmoke, PlotScriptDrawsAPngFromTheTickPeriods) {
    if (std::string(GNUPLOT).empty()) {
        GTEST_SKIP() << "gnuplot is not installed (Debian package gnuplot-nox)";
    }
    const std::string png = file("tick_periods.png");
    x11_harness::ProcessOptions options;
    options.arguments = {GNUPLOT, "-c", PLOT_SCRIPT, file("tick_periods.csv"), png};
    ChildProcess gnuplot(options);
    const auto status = gnuplot.waitForExit(Milliseconds{30000});
    ASSERT_TRUE(status.isSuccess()) << status.describe() << "\n" << gnuplot.errorOutput();
    // gnuplot only warns, and still exits 0, when a plot finds no points.
    EXPECT_EQ(gnuplot.errorOutput(), "");

    std::ifstream image(png, std::ios::binary);
    std::string signature(8, '\0');
    image.read(signature.data(), 8);
    EXPECT_EQ(signature, std::string("\x89PNG\r\n\x1a\n", 8)) << png;
    EXPECT_GT(std::filesystem::file_size(png), 2000u) << png;
}

}  // namespace
