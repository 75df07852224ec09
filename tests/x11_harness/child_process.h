// A program started for a test: its console output collected as it comes,
// its exit status, and its end guaranteed when the owner goes away.
#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "unique_fd.h"
#include "wait_for.h"

namespace x11_harness {

// Where the child's standard input and output go.
enum class Console {
    // A pseudo-terminal, as when started from a text console: the C library
    // sees a terminal and line-buffers standard output. Output post-processing
    // and echo are switched off, so the bytes read are exactly the bytes the
    // program wrote ("\n" stays "\n", not "\r\n").
    Terminal,
    // A pipe: standard output is fully buffered by the C library, so only
    // explicitly flushed text (or text flushed at exit) arrives.
    Pipe,
};

struct ProcessOptions {
    // arguments[0] is the path of the executable; it is not searched in PATH.
    std::vector<std::string> arguments;
    // "NAME=value" entries that replace or extend the caller's environment.
    std::vector<std::string> environment;
    Console console = Console::Pipe;
    // One extra descriptor the child keeps open under the same number (for
    // example the pipe that Xvfb reports its display number on), or -1.
    int inheritedFd = -1;
};

struct ExitStatus {
    bool exitedNormally = false;  // false: killed by a signal
    int code = 0;                 // the exit code, or the signal number

    bool isSuccess() const { return exitedNormally && code == 0; }
    std::string describe() const;
};

// Makes control characters and other bytes outside printable ASCII visible
// as \xNN, so that output in a failure message can be compared by eye.
std::string printable(std::string_view text);

class ChildProcess {
public:
    // Starts the child; throws std::runtime_error if it cannot be started.
    // Standard error always goes to its own pipe, so that library warnings
    // never mix into the standard output the tests compare byte for byte.
    explicit ChildProcess(const ProcessOptions& options);
    // Stops the child if it still runs (see stop()).
    ~ChildProcess();

    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }

    // Everything written so far to standard output / standard error.
    std::string output() const;
    std::string errorOutput() const;

    // Waits until `accept(output so far)` holds and returns that output.
    // Throws TimeoutError, quoting the output seen, if it does not hold in time.
    std::string waitForOutput(const std::string& what, Milliseconds timeout,
                              const std::function<bool(const std::string&)>& accept) const;
    // Waits until standard output holds at least `count` newline characters.
    std::string waitForLines(std::size_t count, Milliseconds timeout) const;

    // The exit status if the child has ended, without blocking.
    std::optional<ExitStatus> exitStatus();
    bool isRunning() { return !exitStatus().has_value(); }
    // Waits for the child to end by itself; throws TimeoutError if it does
    // not. Output written before the end has been collected when this returns.
    ExitStatus waitForExit(Milliseconds timeout);

    // Ends the child: SIGTERM, then SIGKILL if it has not ended within a
    // grace period. Reaps it and collects the rest of its output. Safe to
    // call more than once.
    void stop();

private:
    void readUntilClosed();
    void finishReading();
    void drain(int fd, std::string& target);

    pid_t pid_ = -1;
    std::optional<ExitStatus> exitStatus_;

    UniqueFd outputFd_;
    UniqueFd errorFd_;
    UniqueFd stopReadingFd_;      // read end: tells the reader to finish
    UniqueFd stopReadingSignal_;  // write end, written once the child is reaped
    std::thread reader_;

    mutable std::mutex mutex_;
    mutable std::condition_variable outputArrived_;
    std::string output_;
    std::string errorOutput_;
};

}  // namespace x11_harness
