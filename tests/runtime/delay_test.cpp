#include <gtest/gtest.h>
#include <windows.h>

#include "runtime/delay.h"

namespace {

// Loose: a hang or a wrong unit fails, a busy test machine does not.
constexpr int64_t kLateBoundUs = 25000;
constexpr int64_t kAtOnceUs = 5000;

int64_t ProcessCpuMicroseconds() {
    FILETIME unused, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &unused, &unused, &kernel, &user);
    return ((int64_t{kernel.dwHighDateTime} + user.dwHighDateTime) << 32) / 10 +
           (int64_t{kernel.dwLowDateTime} + user.dwLowDateTime) / 10;
}

void ExpectEndedAt(int64_t deadline) {
    const int64_t late = kv::PreciseNow() - deadline;
    EXPECT_GE(late, 0);
    EXPECT_LT(late, kLateBoundUs);
}

class WaitUntilTest : public testing::TestWithParam<bool> {};

// Deadlines follow on from each other as a playback's do, so a late end must not add up. Most are
// 2 ms poll slices, precise and coarse in turn: yielding through a whole tick of each would take
// half the processor. Delay waits on the process's own timer.
TEST_P(WaitUntilTest, EndsAtEachDeadlineNeverBeforeWithoutKeepingTheProcessorBusy) {
    kv::DeadlineTimer timer(GetParam());
    const int64_t cpuStart = ProcessCpuMicroseconds(), start = kv::PreciseNow();
    int64_t deadline = start;
    for (int wait = 0; wait < 60; ++wait) {
        SCOPED_TRACE(wait);
        deadline += wait == 0 ? 40000 : wait == 1 ? 300 : 2000;
        (timer.*(wait % 2 ? &kv::DeadlineTimer::WaitUntilCoarse : &kv::DeadlineTimer::WaitUntil))(
            deadline);
        ExpectEndedAt(deadline);
    }
    EXPECT_LT(ProcessCpuMicroseconds() - cpuStart, (kv::PreciseNow() - start) / 4);

    const int64_t passed = kv::PreciseNow();
    timer.WaitUntil(passed - 1000000);
    timer.WaitUntil(passed);
    for (const int32_t none : {0, -5, INT32_MIN})
        kv::Delay(none);
    EXPECT_LT(kv::PreciseNow() - passed, kAtOnceUs);
    deadline = kv::PreciseNow() + 40000;
    kv::Delay(40);
    ExpectEndedAt(deadline);
}

// true: a high-resolution timer where the system has one; false: the plain timer.
INSTANTIATE_TEST_SUITE_P(Timers, WaitUntilTest, testing::Bool());

}  // namespace
