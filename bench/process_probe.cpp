// SPDX-License-Identifier: MIT
#include "process_probe.h"

#include <dirent.h>

#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace bench {
namespace {

std::string processDirectory(pid_t pid) { return "/proc/" + std::to_string(pid); }

std::vector<std::string> threadDirectories(pid_t pid) {
    const std::string tasks = processDirectory(pid) + "/task";
    const std::unique_ptr<DIR, int (*)(DIR*)> directory(::opendir(tasks.c_str()), ::closedir);
    if (!directory) {
        throw std::runtime_error("cannot list " + tasks + ": the process is gone");
    }
    std::vector<std::string> threads;
    while (const dirent* entry = ::readdir(directory.get())) {
        if (entry->d_name[0] != '.') {
            threads.push_back(tasks + "/" + entry->d_name);
        }
    }
    return threads;
}

// The value of a "Name:  value ..." line of a status file, or -1 if absent.
long long statusField(const std::string& statusPath, const std::string& name) {
    std::ifstream status(statusPath);
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, name.size() + 1, name + ":") == 0) {
            return std::stoll(line.substr(name.size() + 1));
        }
    }
    return -1;
}

// The first field of schedstat is the thread's time on a processor in
// nanoseconds. /proc/PID/stat holds the same time in clock ticks of 10 ms,
// too coarse for the tenth of a second a quiet GLUT program uses in 10 s.
// Mesa's worker threads live as long as the process, so summing the threads
// alive at both readings loses no thread's time.
long long runNanoseconds(const std::string& threadDirectory) {
    std::ifstream schedstat(threadDirectory + "/schedstat");
    long long nanoseconds = 0;
    if (!(schedstat >> nanoseconds)) {
        throw std::runtime_error("cannot read " + threadDirectory + "/schedstat");
    }
    return nanoseconds;
}

}  // namespace

ProcessCounters readCounters(pid_t pid) {
    ProcessCounters counters;
    for (const std::string& thread : threadDirectories(pid)) {
        counters.cpuTime += std::chrono::nanoseconds(runNanoseconds(thread));
        counters.voluntarySwitches += statusField(thread + "/status", "voluntary_ctxt_switches");
    }
    return counters;
}

long long peakResidentKib(pid_t pid) {
    const long long kib = statusField(processDirectory(pid) + "/status", "VmHWM");
    if (kib < 0) {
        throw std::runtime_error("no VmHWM for process " + std::to_string(pid));
    }
    return kib;
}

}  // namespace bench
