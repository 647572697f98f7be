#pragma once
// How a wait on the millisecond clock wakes on time: the platform sleeps in the event system
// (where input can wake it) until shortly before the deadline, then finishes with a short timed
// sleep to the very nanosecond at which the clock turns to the deadline. Sleeping the whole way
// in the event system wakes up to a millisecond late or early, which makes 33 ms frames come
// 34 or 35 ms apart; spinning the last stretch costs a share of a core.

#include <cstdint>

// How long before the deadline the event-system sleep ends.
constexpr uint64_t WAKE_FINISH_NS = 2'000'000;

struct WakePlan {
    bool due = false;       // the clock already reads the deadline or later
    int eventWaitMs = 0;    // > 0: sleep this long in the event system, then plan again
    uint64_t targetNs = 0;  // otherwise: sleep until this reading of the nanosecond clock
};

// The millisecond clock reads nowNs / 1000000 (modulo 2^32); deadlineMs is on that clock and
// is taken as due when it is up to 2^31 ms in the past.
WakePlan PlanWake(uint64_t nowNs, uint32_t deadlineMs);
