// Waking on time: the event-system sleep ends at least WAKE_FINISH_NS before the deadline, and
// the finishing sleep ends exactly when the millisecond clock turns to it, across the wrap too.
#include "platform/sdl/wake_plan.h"

#include <gtest/gtest.h>

namespace {

constexpr uint64_t MS = 1'000'000;

struct WakeCase {
    const char* name;
    uint64_t nowNs;
    uint32_t deadline;
    bool due;
    int eventWaitMs;
    uint64_t targetNs;
};

class WakePlanning : public ::testing::TestWithParam<WakeCase> {};

TEST_P(WakePlanning, SleepsInTheEventSystemThenToTheExactTurnOfTheClock) {
    const WakeCase& c = GetParam();
    const WakePlan plan = PlanWake(c.nowNs, c.deadline);
    EXPECT_EQ(plan.due, c.due);
    if (c.due) return;
    EXPECT_EQ(plan.targetNs, c.targetNs);
    EXPECT_EQ(plan.eventWaitMs, c.eventWaitMs);
    // The event-system part never reaches into the last WAKE_FINISH_NS.
    if (plan.eventWaitMs > 0) {
        EXPECT_LE(c.nowNs + static_cast<uint64_t>(plan.eventWaitMs) * MS + WAKE_FINISH_NS,
                  plan.targetNs);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Wake, WakePlanning,
    ::testing::Values(
        // 33 ms ahead, 0.4 ms into the current millisecond: 30 ms of event wait, then a timed
        // sleep to 5033 ms exactly.
        WakeCase{"frame_ahead", 5000 * MS + 400'000, 5033, false, 30, 5033 * MS},
        WakeCase{"inside_the_finish", 5031 * MS + 100'000, 5033, false, 0, 5033 * MS},
        WakeCase{"last_microsecond", 5032 * MS + 999'999, 5033, false, 0, 5033 * MS},
        WakeCase{"deadline_now", 5033 * MS, 5033, true, 0, 0},
        WakeCase{"deadline_passed", 5040 * MS, 5033, true, 0, 0},
        // The millisecond clock wraps at 2^32: a deadline just past the wrap is still ahead.
        WakeCase{"across_the_wrap", (0xFFFFFFFFull) * MS, 10, false, 9,
                 (0x100000000ull + 10) * MS}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
