#include "xvfb_server.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cctype>
#include <stdexcept>

namespace x11_harness {
namespace {

// Where Debian's xvfb package installs the server.
constexpr const char* XVFB_PATH = "/usr/bin/Xvfb";

std::vector<std::string> serverArguments(ScreenSize screen, int displayFd) {
    const std::string geometry =
        std::to_string(screen.width) + "x" + std::to_string(screen.height) + "x24";
    return {XVFB_PATH,
            // The server picks a free display number and writes it here once
            // it is ready, so nothing guesses a number or waits blindly.
            "-displayfd", std::to_string(displayFd), "-screen", "0", geometry, "-nolisten", "tcp",
            // Keep the server state when the last client disconnects: the
            // program under test comes and goes while the server stays.
            "-noreset"};
}

// Reads the decimal display number Xvfb writes on `fd`, up to its newline.
// Returns an empty string if the server closed the pipe or the time ran out.
std::string readDisplayNumber(int fd, Milliseconds timeout) {
    std::string digits;
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<Milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return {};
        }
        pollfd watched{fd, POLLIN, 0};
        if (::poll(&watched, 1, static_cast<int>(left.count())) <= 0) {
            continue;  // timeout is noticed at the top of the loop; EINTR retries
        }
        char c = 0;
        if (::read(fd, &c, 1) != 1) {
            return {};  // the server ended before reporting
        }
        if (c == '\n') {
            return digits;
        }
        if (std::isdigit(static_cast<unsigned char>(c)) != 0) {
            digits += c;
        }
    }
}

bool acceptsConnections(const std::string& displayName) {
    Display* display = XOpenDisplay(displayName.c_str());
    if (display == nullptr) {
        return false;
    }
    XCloseDisplay(display);
    return true;
}

}  // namespace

XvfbServer::XvfbServer(ScreenSize screen, Milliseconds startTimeout) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        throw std::runtime_error("XvfbServer: cannot create the display-number pipe");
    }
    UniqueFd numberReadEnd(fds[0]);
    UniqueFd numberWriteEnd(fds[1]);

    ProcessOptions options;
    options.arguments = serverArguments(screen, numberWriteEnd.get());
    options.inheritedFd = numberWriteEnd.get();
    process_ = std::make_unique<ChildProcess>(options);
    // Only the server holds the write end now: if it dies, the read below
    // sees end-of-file at once instead of waiting for the timeout.
    numberWriteEnd.reset();

    const std::string number = readDisplayNumber(numberReadEnd.get(), startTimeout);
    if (number.empty()) {
        throw std::runtime_error("Xvfb did not report a display number within " +
                                 std::to_string(startTimeout.count()) +
                                 " ms; its error output: " + process_->errorOutput());
    }
    displayName_ = ":" + number;

    // Xvfb reports the number when it listens; checking once more with a
    // real connection costs little and catches a server that died just after.
    waitUntil(
        "Xvfb on " + displayName_ + " to accept connections", startTimeout,
        [this] { return acceptsConnections(displayName_); },
        [this] { return "no connection; Xvfb error output: " + process_->errorOutput(); });
}

std::vector<std::string> XvfbServer::clientEnvironment() const {
    return {"DISPLAY=" + displayName_, "LIBGL_ALWAYS_SOFTWARE=1"};
}

}  // namespace x11_harness
