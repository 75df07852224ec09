// SPDX-License-Identifier: MIT
// The benchmark runner: the program against its baseline on a private X
// server, run in alternation, pair after pair.
//
//   glut-alap-bench [--pairs N] [--starts N] [--seconds S] [--storm-seconds S]
//                   [--out DIR]
//
// Prints the ratios pair by pair and the medians with their targets, and
// writes the same figures as CSV files into DIR (default: bench-results).
// No display is needed: the runner starts its own Xvfb.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>

#include "measurement.h"
#include "report.h"
#include "statistics.h"
#include "x_connection.h"
#include "xvfb_server.h"

namespace {

struct Options {
    int pairs = 7;
    int startsPerPair = 5;
    bench::Phases phases;
    std::string outputDirectory = "bench-results";
};

const char USAGE[] =
    "usage: glut-alap-bench [--pairs N] [--starts N] [--seconds S] [--storm-seconds S]\n"
    "                       [--out DIR]\n"
    "  --pairs N          program/baseline pairs to run (default 7)\n"
    "  --starts N         quick starts of each per pair, for the start-up time (default 5)\n"
    "  --seconds S        length of each run's animation phase (default 10)\n"
    "  --storm-seconds S  length of each run's key storm (default 3)\n"
    "  --out DIR          where the CSV files go (default bench-results)\n";

// std::stoi and std::stod name only themselves when they fail.
template <typename Parse>
auto parseNumber(const std::string& option, const std::string& text, Parse parse) {
    try {
        std::size_t used = 0;
        const auto value = parse(text, &used);
        if (used == text.size()) {
            return value;
        }
    } catch (const std::logic_error&) {
    }
    throw std::invalid_argument(option + " wants a number, not \"" + text + "\"");
}

int parseCount(const std::string& option, const std::string& text) {
    const int count = parseNumber(
        option, text, [](const std::string& t, std::size_t* used) { return std::stoi(t, used); });
    if (count < 1) {
        throw std::invalid_argument(option + " must be at least 1");
    }
    return count;
}

std::chrono::milliseconds parseSeconds(const std::string& option, const std::string& text) {
    const double seconds = parseNumber(
        option, text, [](const std::string& t, std::size_t* used) { return std::stod(t, used); });
    if (!(seconds > 0.0)) {
        throw std::invalid_argument(option + " must be positive");
    }
    return std::chrono::milliseconds(static_cast<long long>(seconds * 1000.0));
}

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc) {
            throw std::invalid_argument("missing value after " + option);
        }
        const std::string value = argv[++i];
        if (option == "--pairs") {
            options.pairs = parseCount(option, value);
        } else if (option == "--starts") {
            options.startsPerPair = parseCount(option, value);
        } else if (option == "--seconds") {
            options.phases.animation = parseSeconds(option, value);
        } else if (option == "--storm-seconds") {
            options.phases.storm = parseSeconds(option, value);
        } else if (option == "--out") {
            options.outputDirectory = value;
        } else {
            throw std::invalid_argument("unknown option " + option);
        }
    }
    return options;
}

const bench::Subject PROGRAM{"program", GLUT_ALAP_PROGRAM, "GLUT Alap"};
const bench::Subject BASELINE{"baseline", BENCH_BASELINE, "GLUT Alap baseline"};
const bench::Subject CLEAR_ONLY{"clear-only baseline", BENCH_CLEAR_ONLY_BASELINE,
                                "GLUT Alap clear-only baseline"};

// Everything one session of measurements shares: one server, one connection
// to it, and what the programs need to reach it.
struct Session {
    x11_harness::XvfbServer server;
    x11_harness::XConnection x{server.displayName()};
    std::vector<std::string> environment = server.clientEnvironment();
    Options options;

    double startup(const bench::Subject& subject) {
        return bench::measureStartup(x, environment, subject);
    }
    bench::RunFigures run(const bench::Subject& subject) {
        std::cerr << "  " << subject.name << "\n";
        return bench::measureRun(x, environment, subject, options.phases);
    }
};

// One start is too noisy a sample of the start-up time on a shared machine,
// and cheap: the pair's figure is the median of several quick starts.
void measureStartups(Session& session, bench::Pair& pair) {
    std::vector<double> program;
    std::vector<double> baseline;
    for (int start = 0; start < session.options.startsPerPair; ++start) {
        if (pair.programFirst) {
            program.push_back(session.startup(PROGRAM));
            baseline.push_back(session.startup(BASELINE));
        } else {
            baseline.push_back(session.startup(BASELINE));
            program.push_back(session.startup(PROGRAM));
        }
    }
    pair.program.startupMs = bench::median(program);
    pair.baseline.startupMs = bench::median(baseline);
}

// Alternating the order cancels whatever favours the first or the second
// run of a pair (a program's files still in the cache, a burst of other work).
bench::Pair runPair(Session& session, int number) {
    bench::Pair pair;
    pair.number = number;
    pair.programFirst = number % 2 == 1;
    if (pair.programFirst) {
        pair.program = session.run(PROGRAM);
        pair.baseline = session.run(BASELINE);
    } else {
        pair.baseline = session.run(BASELINE);
        pair.program = session.run(PROGRAM);
    }
    std::cerr << "  " << session.options.startsPerPair << " quick starts of each\n";
    measureStartups(session, pair);
    return pair;
}

bench::RunFigures runClearOnly(Session& session) {
    bench::RunFigures figures = session.run(CLEAR_ONLY);
    std::vector<double> startups;
    for (int start = 0; start < session.options.startsPerPair; ++start) {
        startups.push_back(session.startup(CLEAR_ONLY));
    }
    figures.startupMs = bench::median(startups);
    return figures;
}

int runBenchmark(const Options& options) {
    std::filesystem::create_directories(options.outputDirectory);
    Session session;
    session.options = options;

    std::cerr << "Warming up on display " << session.server.displayName() << "\n";
    for (const bench::Subject& subject : {PROGRAM, BASELINE, CLEAR_ONLY}) {
        bench::warmUp(session.x, session.environment, subject, options.phases);
    }
    bench::Results results;
    for (int number = 1; number <= options.pairs; ++number) {
        std::cerr << "Pair " << number << " of " << options.pairs << "\n";
        results.pairs.push_back(runPair(session, number));
    }
    std::cerr << "Once\n";
    results.clearOnly = runClearOnly(session);

    bench::printReport(std::cout, results, options.phases, options.startsPerPair);
    bench::writeCsvFiles(options.outputDirectory, results);
    std::cout << "\nCSV files in " << options.outputDirectory << "\n";
    return EXIT_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--help") {
        std::cout << USAGE;
        return EXIT_SUCCESS;
    }
    Options options;
    try {
        options = parseOptions(argc, argv);
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n" << USAGE;
        return 2;
    }
    try {
        return runBenchmark(options);
    } catch (const std::exception& error) {
        std::cerr << "glut-alap-bench: " << error.what() << "\n";
        return EXIT_FAILURE;
    }
}
