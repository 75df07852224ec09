#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace x11_harness {
namespace {

// How long a child gets to end after SIGTERM before it is killed outright.
constexpr Milliseconds TERMINATE_GRACE{2000};

[[noreturn]] void throwSystemError(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

struct Pipe {
    UniqueFd readEnd;
    UniqueFd writeEnd;
};

// Close-on-exec on both ends: a pipe made for one child must not leak into
// another child started later, or its reader would never see end-of-file.
Pipe makePipe() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        throwSystemError("pipe2");
    }
    return {UniqueFd(fds[0]), UniqueFd(fds[1])};
}

struct Terminal {
    UniqueFd controller;  // the test's side
    UniqueFd console;     // the child's side
};

Terminal makeTerminal() {
    int controller = -1;
    int console = -1;
    if (::openpty(&controller, &console, nullptr, nullptr, nullptr) != 0) {
        throwSystemError("openpty");
    }
    Terminal terminal{UniqueFd(controller), UniqueFd(console)};
    ::fcntl(controller, F_SETFD, FD_CLOEXEC);
    ::fcntl(console, F_SETFD, FD_CLOEXEC);

    // Raw output and no echo: what the test reads is exactly what the child
    // wrote. The console still is a terminal, so isatty() holds in the child.
    termios settings{};
    ::tcgetattr(console, &settings);
    settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    settings.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL);
    ::tcsetattr(console, TCSANOW, &settings);
    return terminal;
}

std::string variableName(const std::string& entry) { return entry.substr(0, entry.find('=')); }

// The caller's environment with `overrides` ("NAME=value") replacing or
// adding entries.
std::vector<std::string> mergedEnvironment(const std::vector<std::string>& overrides) {
    std::vector<std::string> names;
    for (const auto& entry : overrides) {
        names.push_back(variableName(entry));
    }
    std::vector<std::string> merged;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string inherited(*entry);
        if (std::find(names.begin(), names.end(), variableName(inherited)) == names.end()) {
            merged.push_back(inherited);
        }
    }
    merged.insert(merged.end(), overrides.begin(), overrides.end());
    return merged;
}

// execve wants mutable, null-terminated arrays of C strings. The strings
// stay owned by `strings`, which must outlive the result.
std::vector<char*> cStringArray(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (auto& text : strings) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

// Descriptors the child's standard streams are connected to.
struct ChildStreams {
    int input;
    int output;
    int error;
    bool isTerminal;
};

// Runs in the child between fork and exec. Only async-signal-safe calls are
// allowed here, because other threads of the test process may have held
// locks at the moment of the fork.
// `execFailure` is written to standard error if the program cannot be run;
// it is made before the fork, because the child must not allocate.
[[noreturn]] void becomeChild(const ChildStreams& streams, int inheritedFd, pid_t parent,
                              char* const* arguments, char* const* environment,
                              const std::string& execFailure) {
    // The child must not outlive the test process, even if that one is
    // killed without running any destructor.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) {
        ::_exit(126);
    }
    // Its own session: a terminal console becomes its controlling terminal,
    // and signals meant for the test's terminal do not reach it.
    ::setsid();
    if (streams.isTerminal) {
        ::ioctl(streams.output, TIOCSCTTY, 0);
    }
    ::dup2(streams.input, STDIN_FILENO);
    ::dup2(streams.output, STDOUT_FILENO);
    ::dup2(streams.error, STDERR_FILENO);
    if (inheritedFd >= 0) {
        ::fcntl(inheritedFd, F_SETFD, 0);
    }
    ::execve(arguments[0], arguments, environment);

    [[maybe_unused]] auto ignored = ::write(STDERR_FILENO, execFailure.data(), execFailure.size());
    ::_exit(127);
}

ExitStatus decodeWaitStatus(int status) {
    if (WIFEXITED(status)) {
        return {true, WEXITSTATUS(status)};
    }
    return {false, WTERMSIG(status)};
}

enum class ReadResult { Data, NothingYet, Ended };

// Reads what is available on `fd` into `target`. A stream has ended at
// end-of-file, or with EIO from a terminal whose other side has closed.
ReadResult appendAvailable(int fd, std::string& target, std::mutex& mutex,
                           std::condition_variable& arrived) {
    char buffer[4096];
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count > 0) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            target.append(buffer, static_cast<std::size_t>(count));
        }
        arrived.notify_all();
        return ReadResult::Data;
    }
    if (count < 0 && (errno == EINTR || errno == EAGAIN)) {
        return ReadResult::NothingYet;
    }
    return ReadResult::Ended;
}

}  // namespace

std::string ExitStatus::describe() const {
    if (exitedNormally) {
        return "exited with status " + std::to_string(code);
    }
    return std::string("killed by signal ") + std::to_string(code) + " (" + strsignal(code) + ")";
}

std::string printable(std::string_view text) {
    std::string shown;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\n') {
            shown += "\\n";
        } else if (byte >= 0x20 && byte < 0x7f) {
            shown += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            shown += escaped;
        }
    }
    return shown;
}

ChildProcess::ChildProcess(const ProcessOptions& options) {
    if (options.arguments.empty()) {
        throw std::runtime_error("ChildProcess: no program given");
    }
    auto arguments = options.arguments;
    auto environment = mergedEnvironment(options.environment);
    const auto argumentArray = cStringArray(arguments);
    const auto environmentArray = cStringArray(environment);

    Pipe errorPipe = makePipe();
    Pipe outputPipe;
    Terminal terminal;
    UniqueFd nullInput;
    ChildStreams streams{};
    if (options.console == Console::Terminal) {
        terminal = makeTerminal();
        streams = {terminal.console.get(), terminal.console.get(), errorPipe.writeEnd.get(), true};
    } else {
        outputPipe = makePipe();
        nullInput.reset(::open("/dev/null", O_RDONLY | O_CLOEXEC));
        streams = {nullInput.get(), outputPipe.writeEnd.get(), errorPipe.writeEnd.get(), false};
    }
    Pipe stopPipe = makePipe();

    const std::string execFailure = "cannot execute " + options.arguments[0] + "\n";
    const pid_t parent = ::getpid();
    pid_ = ::fork();
    if (pid_ < 0) {
        throwSystemError("fork " + options.arguments[0]);
    }
    if (pid_ == 0) {
        becomeChild(streams, options.inheritedFd, parent, argumentArray.data(),
                    environmentArray.data(), execFailure);
    }

    // The child's ends are closed here when the locals go out of scope, so
    // that end-of-file arrives once the child (the only holder left) exits.
    outputFd_ = options.console == Console::Terminal ? std::move(terminal.controller)
                                                     : std::move(outputPipe.readEnd);
    errorFd_ = std::move(errorPipe.readEnd);
    stopReadingFd_ = std::move(stopPipe.readEnd);
    stopReadingSignal_ = std::move(stopPipe.writeEnd);
    try {
        reader_ = std::thread([this] { readUntilClosed(); });
    } catch (...) {
        stop();
        throw;
    }
}

ChildProcess::~ChildProcess() { stop(); }

std::string ChildProcess::output() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return output_;
}

std::string ChildProcess::errorOutput() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return errorOutput_;
}

std::string ChildProcess::waitForOutput(
    const std::string& what, Milliseconds timeout,
    const std::function<bool(const std::string&)>& accept) const {
    std::unique_lock<std::mutex> lock(mutex_);
    const bool arrived = outputArrived_.wait_for(lock, timeout, [&] { return accept(output_); });
    if (!arrived) {
        throw TimeoutError("timed out after " + std::to_string(timeout.count()) +
                           " ms waiting for " + what + " on the console; output so far: \"" +
                           printable(output_) + "\"; error output: \"" + printable(errorOutput_) +
                           "\"");
    }
    return output_;
}

std::string ChildProcess::waitForLines(std::size_t count, Milliseconds timeout) const {
    return waitForOutput(
        std::to_string(count) + " line(s)", timeout, [count](const std::string& text) {
            return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) >= count;
        });
}

std::optional<ExitStatus> ChildProcess::exitStatus() {
    if (!exitStatus_ && pid_ > 0) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            exitStatus_ = decodeWaitStatus(status);
        }
    }
    return exitStatus_;
}

ExitStatus ChildProcess::waitForExit(Milliseconds timeout) {
    const auto status = waitFor(
        "process " + std::to_string(pid_) + " to exit", timeout, [this] { return exitStatus(); },
        [](const std::optional<ExitStatus>& seen) { return seen.has_value(); },
        [this](const std::optional<ExitStatus>&) {
            return "still running; output so far: \"" + printable(output()) + "\"";
        });
    finishReading();
    return *status;
}

void ChildProcess::stop() {
    if (pid_ <= 0) {
        return;
    }
    // The pid stays ours until we reap it, so these signals cannot hit an
    // unrelated process that reused the number.
    if (isRunning()) {
        ::kill(pid_, SIGTERM);
        const auto ended = pollFor(
            TERMINATE_GRACE, [this] { return !isRunning(); },
            [](bool hasEnded) { return hasEnded; });
        if (!ended.accepted) {
            ::kill(pid_, SIGKILL);
            int status = 0;
            ::waitpid(pid_, &status, 0);
            exitStatus_ = decodeWaitStatus(status);
        }
    }
    finishReading();
}

void ChildProcess::finishReading() {
    if (!reader_.joinable()) {
        return;
    }
    const char stop = 1;
    [[maybe_unused]] auto ignored = ::write(stopReadingSignal_.get(), &stop, 1);
    reader_.join();
}

// The reader thread: keeps both output pipes drained so the child never
// blocks on a full pipe, until both streams end or finishReading() asks it
// to take what is left and stop.
void ChildProcess::readUntilClosed() {
    bool outputOpen = true;
    bool errorOpen = true;
    while (outputOpen || errorOpen) {
        pollfd watched[] = {{outputOpen ? outputFd_.get() : -1, POLLIN, 0},
                            {errorOpen ? errorFd_.get() : -1, POLLIN, 0},
                            {stopReadingFd_.get(), POLLIN, 0}};
        if (::poll(watched, 3, -1) < 0) {
            continue;  // EINTR
        }
        if (watched[2].revents != 0) {
            break;
        }
        if (watched[0].revents != 0) {
            outputOpen = appendAvailable(outputFd_.get(), output_, mutex_, outputArrived_) !=
                         ReadResult::Ended;
        }
        if (watched[1].revents != 0) {
            errorOpen = appendAvailable(errorFd_.get(), errorOutput_, mutex_, outputArrived_) !=
                        ReadResult::Ended;
        }
    }
    // Asked to stop: the child has been reaped, so everything it wrote is
    // already buffered. Take it without blocking.
    if (outputOpen) {
        drain(outputFd_.get(), output_);
    }
    if (errorOpen) {
        drain(errorFd_.get(), errorOutput_);
    }
}

void ChildProcess::drain(int fd, std::string& target) {
    ::fcntl(fd, F_SETFL, O_NONBLOCK);
    while (appendAvailable(fd, target, mutex_, outputArrived_) == ReadResult::Data) {
    }
}

}  // namespace x11_harness
