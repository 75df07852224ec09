// SPDX-License-Identifier: MIT
#include "test_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

namespace {

struct Pipe {
    int readEnd = -1;
    int writeEnd = -1;
};

Pipe makePipe() {
    int ends[2];
    if (pipe(ends) != 0) {
        throw std::runtime_error("pipe() failed");
    }
    return {ends[0], ends[1]};
}

std::string readUntilEof(int fd) {
    std::string text;
    char buffer[4096];
    ssize_t count;
    while ((count = read(fd, buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<std::size_t>(count));
    }
    return text;
}

}  // namespace

std::string captureStdout(const std::function<void()>& action) {
    std::fflush(stdout);
    const int savedStdout = dup(STDOUT_FILENO);
    Pipe pipe = makePipe();
    dup2(pipe.writeEnd, STDOUT_FILENO);
    close(pipe.writeEnd);

    action();

    std::fflush(stdout);
    dup2(savedStdout, STDOUT_FILENO);  // also closes the last write end: EOF for the reader
    close(savedStdout);
    // A handler's output is a few lines, well within the pipe's buffer.
    std::string text = readUntilEof(pipe.readEnd);
    close(pipe.readEnd);
    return text;
}

ChildRun runInChildWithPipedStdout(const std::function<void()>& action) {
    std::fflush(stdout);  // nothing of the test runner's own output may leak into the child
    Pipe pipe = makePipe();
    const pid_t child = fork();
    if (child < 0) {
        throw std::runtime_error("fork() failed");
    }
    if (child == 0) {
        dup2(pipe.writeEnd, STDOUT_FILENO);
        close(pipe.readEnd);
        close(pipe.writeEnd);
        std::setvbuf(stdout, nullptr, _IOFBF, BUFSIZ);
        action();
        _exit(CHILD_RETURNED);
    }
    close(pipe.writeEnd);
    ChildRun run;
    run.output = readUntilEof(pipe.readEnd);
    close(pipe.readEnd);
    waitpid(child, &run.waitStatus, 0);
    return run;
}
