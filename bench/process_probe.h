// SPDX-License-Identifier: MIT
// What the kernel knows about a running process, read from /proc: how much
// processor time it has used, how often it went to sleep waiting for
// something, and the most memory it has held.
#pragma once

#include <sys/types.h>

#include <chrono>

namespace bench {

struct ProcessCounters {
    // Time spent running, user and system together, summed over all threads.
    std::chrono::nanoseconds cpuTime{0};
    // Times a thread gave up the processor to wait (for a timer, the X
    // server, another thread), summed over all threads: each one is a wake-up.
    long long voluntarySwitches = 0;
};

// Throws std::runtime_error if the process is gone.
ProcessCounters readCounters(pid_t pid);

// VmHWM, the peak resident set size so far, in KiB. Throws
// std::runtime_error if the process is gone.
long long peakResidentKib(pid_t pid);

}  // namespace bench
