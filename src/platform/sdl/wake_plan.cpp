#include "platform/sdl/wake_plan.h"

WakePlan PlanWake(uint64_t nowNs, uint32_t deadlineMs) {
    WakePlan plan;
    const uint64_t nowMs = nowNs / 1'000'000u;
    const int32_t remaining = static_cast<int32_t>(deadlineMs - static_cast<uint32_t>(nowMs));
    if (remaining <= 0) {
        plan.due = true;
        return plan;
    }
    plan.targetNs = (nowMs + static_cast<uint64_t>(remaining)) * 1'000'000u;
    const uint64_t left = plan.targetNs - nowNs;
    // Whole milliseconds in the event system; what is left (under WAKE_FINISH_NS plus one
    // millisecond) is the timed finish.
    if (left > WAKE_FINISH_NS) {
        plan.eventWaitMs = static_cast<int>((left - WAKE_FINISH_NS) / 1'000'000u);
    }
    return plan;
}
