// The main loop's clock rules and the window procedure's mouse-button rules.
#include "shell/main_loop.h"

#include <gtest/gtest.h>

#include "state/loop_state.h"

namespace {

class LoopClockTest : public ::testing::Test {
protected:
    void SetUp() override {
        AnimTick = 0;
        SwingOffset = 0;
        FramePeriod = 33;
    }
};

TEST_F(LoopClockTest, FirstTickOnFirstPassThenStrictlyMoreThan100ms) {
    LoopClock clock;
    AdvanceTick(clock, 5000);
    EXPECT_EQ(AnimTick, 1);
    AdvanceTick(clock, 5100);
    EXPECT_EQ(AnimTick, 1);
    AdvanceTick(clock, 5101);
    EXPECT_EQ(AnimTick, 2);
    EXPECT_TRUE(FrameDue(clock, 5000));  // the frame stamp starts at 0 too
}

TEST_F(LoopClockTest, TicksAndFramesContinueAcrossTheClockWrap) {
    LoopClock clock;
    clock.lastTick = 0xFFFFFFF0u;
    clock.lastFrame = 0xFFFFFFF0u;
    AdvanceTick(clock, 0x00000054u);  // 100 ms after the stamp: not yet
    EXPECT_EQ(AnimTick, 0);
    AdvanceTick(clock, 0x00000055u);
    EXPECT_EQ(AnimTick, 1);
    EXPECT_FALSE(FrameDue(clock, 0x00000010u));  // 32 ms
    EXPECT_TRUE(FrameDue(clock, 0x00000011u));   // 33 ms
}

TEST_F(LoopClockTest, SwingOffsetRunsItsSixteenTickCycle) {
    const int expected[16] = {1, 3, 6, 10, 13, 15, 16, 16, 15, 13, 10, 6, 3, 1, 0, 0};
    LoopClock clock;
    uint32_t now = 1000;
    for (int cycle = 0; cycle < 3; ++cycle) {
        for (int i = 0; i < 16; ++i) {
            AdvanceTick(clock, now);
            now += 101;
            EXPECT_EQ(SwingOffset, expected[i]) << "cycle " << cycle << " tick " << i;
        }
        EXPECT_EQ(clock.swingSpeed, 0);
    }
}

TEST_F(LoopClockTest, DeadlineIsTheEarlierOfTickAndFrame) {
    LoopClock clock;
    clock.lastTick = 1000;
    clock.lastFrame = 1000;
    EXPECT_EQ(NextDeadline(clock, 1010), 1033u);
    clock.lastTick = 920;
    EXPECT_EQ(NextDeadline(clock, 1010), 1021u);  // tick due at 920 + 101
    clock.lastTick = 0xFFFFFFF0u;
    clock.lastFrame = 0xFFFFFFF0u;
    EXPECT_EQ(NextDeadline(clock, 0xFFFFFFFAu), 0x00000011u);
}

struct ButtonCase {
    const char* name;
    uint8_t before;
    MessageType message;
    uint8_t after;
};

class MouseButtonRules : public ::testing::TestWithParam<ButtonCase> {};

TEST_P(MouseButtonRules, WindowProcKeepsTheBits) {
    MouseButtons = GetParam().before;
    WindowProc(Message{GetParam().message, 0});
    EXPECT_EQ(MouseButtons, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Shell, MouseButtonRules,
    ::testing::Values(ButtonCase{"left_down", 0x00, MessageType::LButtonDown, 0x10},
                      ButtonCase{"left_double_sets_only_0x20", 0x00, MessageType::LButtonDblClk,
                                 0x20},
                      ButtonCase{"left_up_clears_double_only", 0x20, MessageType::LButtonUp, 0x00},
                      ButtonCase{"left_up_clears_both", 0x33, MessageType::LButtonUp, 0x03},
                      ButtonCase{"right_down", 0x10, MessageType::RButtonDown, 0x11},
                      ButtonCase{"right_double", 0x01, MessageType::RButtonDblClk, 0x03},
                      ButtonCase{"right_up_clears_both", 0x33, MessageType::RButtonUp, 0x30},
                      ButtonCase{"other_key_ignored", 0x11, MessageType::KeyDown, 0x11}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
