#include "runtime/delay.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>

namespace kv {

namespace {

// Windows 10 1803 and later; MinGW's headers lack it.
constexpr DWORD kCreateWaitableTimerHighResolution = 0x2;
constexpr int64_t kMicrosecondsPerSecond = 1000000;
constexpr int64_t kTimerUnitsPerMicrosecond = 10;

int64_t CounterFrequency() {
    static const int64_t frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    return frequency;
}

}  // namespace

int64_t PreciseNow() {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    const int64_t frequency = CounterFrequency();
    // Split so that the product cannot overflow after a long uptime.
    return counter.QuadPart / frequency * kMicrosecondsPerSecond +
           counter.QuadPart % frequency * kMicrosecondsPerSecond / frequency;
}

DeadlineTimer::DeadlineTimer(bool highResolution) {
    if (highResolution) {
        timer_ = CreateWaitableTimerExW(nullptr, nullptr, kCreateWaitableTimerHighResolution,
                                        TIMER_ALL_ACCESS);
        highResolution_ = timer_ != nullptr;
    }
    if (highResolution_) {
        return;
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
    yieldSpan_ = tickMs * kMicrosecondsPerMs;
}

DeadlineTimer::~DeadlineTimer() {
    if (timer_) {
        CloseHandle(timer_);
    }
    if (raisedTickMs_) {
        timeEndPeriod(raisedTickMs_);
    }
}

void DeadlineTimer::WaitUntil(int64_t deadline) const {
    for (;;) {
        const int64_t remaining = deadline - PreciseNow();
        if (remaining <= 0) {
            return;
        }
        if (remaining > yieldSpan_) {
            WaitFor(remaining - yieldSpan_);
        } else if (!SwitchToThread()) {
            Sleep(0);
        }
    }
}

void DeadlineTimer::WaitFor(int64_t microseconds) const {
    LARGE_INTEGER due;
    due.QuadPart = -microseconds * kTimerUnitsPerMicrosecond;  // negative: relative to now
    if (timer_ && SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, FALSE) &&
        WaitForSingleObject(timer_, INFINITE) == WAIT_OBJECT_0) {
        return;
    }
    Sleep(static_cast<DWORD>(microseconds / kMicrosecondsPerMs));
}

void WaitUntil(int64_t deadline) {
    static const DeadlineTimer timer;
    timer.WaitUntil(deadline);
}

void Delay(int32_t milliseconds) {
    if (milliseconds > 0) {
        WaitUntil(PreciseNow() + milliseconds * kMicrosecondsPerMs);
    }
}

}  // namespace kv
