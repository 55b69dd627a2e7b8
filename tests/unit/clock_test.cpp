// The frame clock: whole 2 ms steps, the carried remainder and the stall
// cap; the processor clocks the frame meter reads.
#include <gtest/gtest.h>

#include <thread>

#include "app/clock.h"
#include "platform/sys.h"

namespace {

// Simulated seconds of a run of frames (lengths in ms at a 1 kHz counter).
double Simulated(std::initializer_list<int> frames, int64_t frequency = 1000)
{
    int64_t carry = 0;
    int64_t steps = 0;
    for (int ms : frames)
        steps += StepsForFrame(ms * frequency / 1000, frequency, &carry);
    return (double)steps * kStepLength + (double)carry / (500.0 * (double)frequency);
}

TEST(Clock, FramesSimulateTheirSumCarryTheirRemainderAndStallsAreCut)
{
    EXPECT_DOUBLE_EQ(Simulated({70, 22, 70, 22, 70, 22}), 0.276);
    EXPECT_DOUBLE_EQ(Simulated({71, 22, 69, 23, 71, 21}, 1000000000), 0.277);
    int64_t carry = 0;
    EXPECT_EQ(StepsForFrame(15, 1000, &carry), 7);  // 1 ms left over
    EXPECT_EQ(carry, 500);
    EXPECT_EQ(StepsForFrame(7, 1000, &carry), 4);   // 1 + 7 = 8 ms
    EXPECT_EQ(carry, 0);
    EXPECT_EQ(StepsForFrame(1, 1000, &carry), 0);   // a short frame runs no step
    EXPECT_EQ(StepsForFrame(1, 1000, &carry), 1);
    EXPECT_EQ(StepsForFrame(0, 1000, &carry), 0);
    EXPECT_EQ(StepsForFrame(-5, 1000, &carry), 0);
    EXPECT_EQ(StepsForFrame(10, 0, &carry), 0);
    // A stall simulates a quarter of a second; what was carried is dropped.
    carry = 700;
    EXPECT_EQ(StepsForFrame(3000, 1000, &carry), 125);
    EXPECT_EQ(carry, 0);
    EXPECT_EQ(StepsForFrame(INT64_MAX / 1000, 1000000000, &carry), 125);
}

}  // namespace

// The frame meter's processor clocks: a busy thread's time grows by about
// what it works, and another thread's work counts for the process only.
TEST(Clock, TheThreadsProcessorTimeIsItsOwnAndPartOfTheProcesss)
{
    const auto spin = [](double seconds) {
        const double until = SysThreadSeconds() + seconds;
        volatile uint64_t sink = 0;
        while (SysThreadSeconds() < until)
            sink = sink + 1;
    };
    const double thread0 = SysThreadSeconds(), process0 = SysProcessSeconds();
    spin(0.05);
    const double thread1 = SysThreadSeconds(), process1 = SysProcessSeconds();
    EXPECT_GE(thread1 - thread0, 0.05);
    EXPECT_GE(process1 - process0, thread1 - thread0 - 0.001);  // the two clocks are read apart
    std::thread other(spin, 0.1);
    other.join();
    const double thread2 = SysThreadSeconds(), process2 = SysProcessSeconds();
    EXPECT_LT(thread2 - thread1, 0.05);  // waiting for the other thread costs this one next to nothing
    EXPECT_GE(process2 - process1, 0.1);
}
