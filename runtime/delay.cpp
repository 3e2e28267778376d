#include "runtime/delay.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <array>

namespace kv {

namespace {

// Windows 10 1803 and later; MinGW's headers lack it.
constexpr DWORD kCreateWaitableTimerHighResolution = 0x2;
constexpr int64_t kMicrosecondsPerSecond = 1000000;
constexpr int64_t kTimerUnitsPerMicrosecond = 10;
// A precise wait aims its sleep this far before the deadline: room for a wake-up a little later
// than learned, and few yields (each yielding microsecond keeps the core busy).
constexpr int64_t kAimBeforeDeadlineUs = 125;
// Shorter sleeps end at once on some timers, which would make a spin of the caller's loop.
constexpr int64_t kShortestSleepUs = 100;
// Learning the lateness: each wake-up weighs one eighth, and one wild wake-up (a busy machine)
// weighs no more than this much.
constexpr int64_t kLatenessWeight = 8;
constexpr int64_t kLatenessLimitUs = 2000;
// Trying a way of sleeping: a few sleeps that end between two milliseconds; the median counts.
constexpr int64_t kProbeUs = 400;
constexpr size_t kProbes = 5;

// NtDelayExecution of ntdll.
using DelayFunction = LONG(WINAPI*)(BOOLEAN alertable, LARGE_INTEGER* interval);

int64_t CounterFrequency() {
    static const int64_t frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    return frequency;
}

LARGE_INTEGER RelativeDue(int64_t microseconds) {
    LARGE_INTEGER due;
    due.QuadPart = -microseconds * kTimerUnitsPerMicrosecond;  // negative: relative to now
    return due;
}

bool SleepOnTimer(HANDLE timer, int64_t microseconds) {
    LARGE_INTEGER due = RelativeDue(microseconds);
    return timer && SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE) &&
           WaitForSingleObject(timer, INFINITE) == WAIT_OBJECT_0;
}

bool SleepOnDelay(DelayFunction delay, int64_t microseconds) {
    LARGE_INTEGER interval = RelativeDue(microseconds);
    return delay(FALSE, &interval) >= 0;  // an NTSTATUS: success is not negative
}

template <class SleepFunction>
int64_t MedianLateness(SleepFunction sleep) {
    std::array<int64_t, kProbes> late;
    for (size_t taken = 0; taken < kProbes; ++taken) {
        const int64_t start = PreciseNow();
        sleep(kProbeUs);
        const int64_t each = PreciseNow() - start - kProbeUs;
        // Kept in order as they come: so few need no selection algorithm.
        size_t at = taken;
        for (; at > 0 && late[at - 1] > each; --at)
            late[at] = late[at - 1];
        late[at] = each;
    }
    return late[kProbes / 2];
}

DelayFunction SystemDelay() {
    const FARPROC procedure = GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDelayExecution");
    return reinterpret_cast<DelayFunction>(reinterpret_cast<void (*)()>(procedure));
}

void YieldOnce() {
    if (!SwitchToThread())
        Sleep(0);
}

DeadlineTimer& ProcessTimer() {
    static DeadlineTimer timer;
    return timer;
}

}  // namespace

int64_t PreciseNow() {
    LARGE_INTEGER raw;
    QueryPerformanceCounter(&raw);
    // Unsigned, as the counter never is negative: the 32-bit build then needs none of the
    // compiler's signed 64-bit division routines. Split so that the product cannot overflow
    // after a long uptime.
    const uint64_t counter = static_cast<uint64_t>(raw.QuadPart);
    const uint64_t frequency = static_cast<uint64_t>(CounterFrequency());
    return static_cast<int64_t>(counter / frequency * kMicrosecondsPerSecond +
                                counter % frequency * kMicrosecondsPerSecond / frequency);
}

DeadlineTimer::DeadlineTimer(bool highResolution) {
    if (highResolution) {
        timer_ = CreateWaitableTimerExW(nullptr, nullptr, kCreateWaitableTimerHighResolution,
                                        TIMER_ALL_ACCESS);
        const int64_t timerLate =
            timer_ ? MedianLateness([this](int64_t us) { return SleepOnTimer(timer_, us); })
                   : kLatenessLimitUs;
        if (const DelayFunction delay = SystemDelay()) {
            const int64_t delayLate =
                MedianLateness([delay](int64_t us) { return SleepOnDelay(delay, us); });
            if (delayLate < std::min(timerLate, kYieldSpanUs)) {
                delay_ = reinterpret_cast<void (*)()>(delay);
                lateUs_ = std::max<int64_t>(delayLate, 0);
            }
        }
        highResolution_ = delay_ || timer_;
        if (highResolution_) {
            if (!delay_)
                lateUs_ = std::clamp<int64_t>(timerLate, 0, kLatenessLimitUs);
            return;
        }
    }
    timer_ = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
    UINT tickMs = 1;
    TIMECAPS caps;
    if (timeGetDevCaps(&caps, sizeof caps) == MMSYSERR_NOERROR) {
        tickMs = std::max<UINT>(caps.wPeriodMin, 1);
        if (timeBeginPeriod(tickMs) == TIMERR_NOERROR) {
            raisedTickMs_ = tickMs;
        }
    }
    lateUs_ = tickMs * kMicrosecondsPerMs / 2;
}

DeadlineTimer::~DeadlineTimer() {
    if (timer_) {
        CloseHandle(timer_);
    }
    if (raisedTickMs_) {
        timeEndPeriod(raisedTickMs_);
    }
}

void DeadlineTimer::WaitUntil(int64_t deadline) {
    for (;;) {
        const int64_t remaining = deadline - PreciseNow();
        if (remaining <= 0) {
            return;
        }
        if (remaining <= kYieldSpanUs) {
            YieldOnce();
        } else {
            WaitFor(std::max(remaining - lateUs_ - kAimBeforeDeadlineUs, kShortestSleepUs));
        }
    }
}

void DeadlineTimer::WaitUntilCoarse(int64_t deadline) {
    for (int64_t remaining; (remaining = deadline - PreciseNow()) > 0;) {
        WaitFor(std::max(remaining, kShortestSleepUs));
    }
}

bool DeadlineTimer::SleepOnce(int64_t microseconds) const {
    if (delay_)
        return SleepOnDelay(reinterpret_cast<DelayFunction>(delay_), microseconds);
    return SleepOnTimer(timer_, microseconds);
}

void DeadlineTimer::WaitFor(int64_t microseconds) {
    const int64_t dueAt = PreciseNow() + microseconds;
    if (SleepOnce(microseconds)) {
        const int64_t late = std::clamp<int64_t>(PreciseNow() - dueAt, 0, kLatenessLimitUs);
        lateUs_ += (late - lateUs_) / kLatenessWeight;
        return;
    }
    // Never Sleep(0): that would turn the caller's loop into a spin. In 32 bits: a 64-bit
    // division here, even an unsigned one, drew the signed division routine into the 32-bit
    // build. A longer wait goes on in the caller's loop.
    const auto us =
        static_cast<uint32_t>(std::clamp<int64_t>(microseconds, kMicrosecondsPerMs, UINT32_MAX));
    Sleep(us / static_cast<uint32_t>(kMicrosecondsPerMs));
}

void WaitUntil(int64_t deadline) {
    ProcessTimer().WaitUntil(deadline);
}

void WaitUntilCoarse(int64_t deadline) {
    ProcessTimer().WaitUntilCoarse(deadline);
}

void Delay(int32_t milliseconds) {
    if (milliseconds > 0) {
        WaitUntil(PreciseNow() + milliseconds * kMicrosecondsPerMs);
    }
}

}  // namespace kv
