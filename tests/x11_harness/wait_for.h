// Bounded, condition-based waiting.
//
// Nothing in the harness sleeps for a fixed time to let something happen:
// it observes the thing it waits for, over and over, until it is there or
// a deadline passes. The short pause between observations only keeps the
// loop from burning a core; it never decides the outcome.
#pragma once

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

namespace x11_harness {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;

// Pause between two observations of a polled condition.
inline constexpr Milliseconds POLL_INTERVAL{5};

// Thrown when a wait reaches its deadline. The message says what was
// awaited and what was observed last, so a failed run explains itself.
class TimeoutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The outcome of a wait that does not throw: the last observation and
// whether it was accepted before the deadline.
template <typename Value>
struct PollResult {
    Value lastSeen;
    bool accepted;
};

// Observes with `observe()` until `accept(observation)` holds or `timeout`
// passes. Returns the last observation either way; the caller decides what
// a timeout means (for example, check the last picture and report every
// difference instead of stopping at the first). An `interval` of zero
// watches without pause, for something that may be there only briefly.
template <typename Observe, typename Accept>
auto pollFor(Milliseconds timeout, Observe observe, Accept accept,
             Milliseconds interval = POLL_INTERVAL) -> PollResult<decltype(observe())> {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        auto seen = observe();
        if (accept(seen)) {
            return {std::move(seen), true};
        }
        if (Clock::now() >= deadline) {
            return {std::move(seen), false};
        }
        if (interval.count() > 0) {
            std::this_thread::sleep_for(interval);
        }
    }
}

// Like pollFor, but a timeout is an error: returns the accepted observation
// or throws TimeoutError naming `what` and describing the last observation.
template <typename Observe, typename Accept, typename Describe>
auto waitFor(const std::string& what, Milliseconds timeout, Observe observe, Accept accept,
             Describe describe, Milliseconds interval = POLL_INTERVAL) -> decltype(observe()) {
    auto result = pollFor(timeout, observe, accept, interval);
    if (!result.accepted) {
        throw TimeoutError("timed out after " + std::to_string(timeout.count()) +
                           " ms waiting for " + what + "; last seen: " + describe(result.lastSeen));
    }
    return std::move(result.lastSeen);
}

// Waits for a yes/no condition; throws TimeoutError with `describe()` (what
// the world looked like at the deadline) if it never holds.
template <typename Condition, typename Describe>
void waitUntil(const std::string& what, Milliseconds timeout, Condition condition,
               Describe describe) {
    waitFor(
        what, timeout, [&] { return condition(); }, [](bool holds) { return holds; },
        [&](bool) { return describe(); });
}

}  // namespace x11_harness
