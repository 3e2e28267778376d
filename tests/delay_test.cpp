#include <gtest/gtest.h>
#include <windows.h>

#include "runtime/delay.h"

namespace {

// Loose: a hang or a wrong unit fails, a busy test machine does not.
constexpr int64_t kLateBoundUs = 25000;

int64_t ProcessCpuMicroseconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto value = [](const FILETIME& t) {
        return (static_cast<int64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 10;
    };
    return value(kernel) + value(user);
}

TEST(PreciseNow, CountsMicroseconds) {
    const int64_t start = kv::PreciseNow();
    const ULONGLONG startTicks = GetTickCount64();
    Sleep(200);
    const int64_t elapsedUs = kv::PreciseNow() - start;
    const int64_t elapsedTicksUs = static_cast<int64_t>(GetTickCount64() - startTicks) * 1000;
    EXPECT_NEAR(elapsedUs, elapsedTicksUs, 20000);
    EXPECT_GE(elapsedUs, 200000);
}

class WaitUntilTest : public testing::TestWithParam<bool> {};

TEST_P(WaitUntilTest, EndsAtTheDeadlineNeverBefore) {
    const kv::DeadlineTimer timer(GetParam());
    for (const int64_t waitUs : {40000, 2000, 300, 40000, 2000}) {
        const int64_t deadline = kv::PreciseNow() + waitUs;
        timer.WaitUntil(deadline);
        const int64_t late = kv::PreciseNow() - deadline;
        EXPECT_GE(late, 0) << waitUs;
        EXPECT_LT(late, kLateBoundUs) << waitUs;
    }
}

TEST_P(WaitUntilTest, PassedDeadlineReturnsAtOnce) {
    const kv::DeadlineTimer timer(GetParam());
    const int64_t start = kv::PreciseNow();
    timer.WaitUntil(start - 1000);
    timer.WaitUntil(start);
    EXPECT_LT(kv::PreciseNow() - start, 5000);
}

TEST_P(WaitUntilTest, LeavesTheProcessorFree) {
    const kv::DeadlineTimer timer(GetParam());
    const int64_t cpuStart = ProcessCpuMicroseconds();
    const int64_t start = kv::PreciseNow();
    for (int i = 1; i <= 5; ++i) {
        timer.WaitUntil(start + i * 40000);
    }
    const int64_t wall = kv::PreciseNow() - start;
    EXPECT_LT(ProcessCpuMicroseconds() - cpuStart, wall / 4);
}

INSTANTIATE_TEST_SUITE_P(Timers, WaitUntilTest, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "HighResolution" : "PlainTimer";
                         });

TEST(WaitUntil, ProcessTimerWaitsPrecisely) {
    const int64_t deadline = kv::PreciseNow() + 40000;
    kv::WaitUntil(deadline);
    const int64_t late = kv::PreciseNow() - deadline;
    EXPECT_GE(late, 0);
    EXPECT_LT(late, kLateBoundUs);
}

TEST(Delay, WaitsTheMillisecondsAndNothingForNone) {
    int64_t start = kv::PreciseNow();
    kv::Delay(40);
    const int64_t waited = kv::PreciseNow() - start;
    EXPECT_GE(waited, 40000);
    EXPECT_LT(waited, 40000 + kLateBoundUs);

    start = kv::PreciseNow();
    kv::Delay(0);
    kv::Delay(-5);
    kv::Delay(INT32_MIN);
    EXPECT_LT(kv::PreciseNow() - start, 5000);
}

}  // namespace
