#include <gtest/gtest.h>
#include <windows.h>

#include "runtime/delay.h"

namespace {

// Loose: a hang or a wrong unit fails, a busy test machine does not.
constexpr int64_t kLateBoundUs = 25000;
constexpr int64_t kAtOnceUs = 5000;

int64_t ProcessCpuMicroseconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto value = [](const FILETIME& t) {
        return (static_cast<int64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 10;
    };
    return value(kernel) + value(user);
}

void ExpectEndedAt(int64_t deadline) {
    const int64_t late = kv::PreciseNow() - deadline;
    EXPECT_GE(late, 0);
    EXPECT_LT(late, kLateBoundUs);
}

class WaitUntilTest : public testing::TestWithParam<bool> {};

// Deadlines follow on from each other as a playback's do, so a late end must not add up. Most are
// 2 ms poll slices, precise and coarse in turn: yielding through a whole tick of each would take
// half the processor.
TEST_P(WaitUntilTest, EndsAtEachDeadlineNeverBeforeWithoutKeepingTheProcessorBusy) {
    kv::DeadlineTimer timer(GetParam());
    const int64_t cpuStart = ProcessCpuMicroseconds();
    const int64_t start = kv::PreciseNow();
    int64_t deadline = start;
    for (int wait = 0; wait < 60; ++wait) {
        SCOPED_TRACE(wait);
        deadline += wait == 0 ? 40000 : wait == 1 ? 300 : 2000;
        if (wait % 2)
            timer.WaitUntilCoarse(deadline);
        else
            timer.WaitUntil(deadline);
        ExpectEndedAt(deadline);
    }
    EXPECT_LT(ProcessCpuMicroseconds() - cpuStart, (kv::PreciseNow() - start) / 4);

    const int64_t passed = kv::PreciseNow();
    timer.WaitUntil(passed - 1000000);
    timer.WaitUntil(passed);
    EXPECT_LT(kv::PreciseNow() - passed, kAtOnceUs);
}

// true: a high-resolution timer where the system has one; false: the plain timer.
INSTANTIATE_TEST_SUITE_P(Timers, WaitUntilTest, testing::Bool());

TEST(Delay, WaitsTheMillisecondsOnTheProcessTimerAndNothingForNone) {
    const int64_t start = kv::PreciseNow();
    for (const int32_t none : {0, -5, INT32_MIN}) {
        kv::Delay(none);
    }
    EXPECT_LT(kv::PreciseNow() - start, kAtOnceUs);
    const int64_t deadline = kv::PreciseNow() + 40000;
    kv::Delay(40);
    ExpectEndedAt(deadline);
}

}  // namespace
