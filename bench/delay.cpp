// How far past its deadline a wait ends, and what pausing costs: a 40 ms key hold, and a 1000 ms
// pause waited out in 2 ms poll slices on deadlines that follow on from each other, as a playback
// waits. Each way of waiting gets the hold error, the pause error and the processor time this
// thread spent per second of pausing.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "runtime/delay.h"

namespace {

constexpr int64_t kHoldUs = 40000;
constexpr int64_t kPauseUs = 1000000;
constexpr int64_t kSliceUs = 2000;
constexpr int kHoldRounds = 50;
constexpr int kPauseRounds = 5;
constexpr int64_t kTickUs = 1000;

using Wait = std::function<void(int64_t deadline)>;

struct Way {
    const char* name;
    Wait slice;  // the poll slices of a pause
    Wait end;    // the hold, and the last slice of a pause
};

int64_t ThreadCpuUs() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto value = [](const FILETIME& t) {
        return (static_cast<int64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 10;
    };
    return value(kernel) + value(user);
}

// The wait as it was: a high-resolution timer for the whole wait; where refused, a plain timer up
// to the last tick and yields through that tick.
class OldWait {
  public:
    explicit OldWait(bool highResolution)
        : timer_(
              CreateWaitableTimerExW(nullptr, nullptr, highResolution ? 2 : 0, TIMER_ALL_ACCESS)),
          yieldSpanUs_(highResolution ? 0 : kTickUs) {
        timeBeginPeriod(1);
    }
    ~OldWait() {
        timeEndPeriod(1);
        CloseHandle(timer_);
    }
    void operator()(int64_t deadline) const {
        for (int64_t remaining; (remaining = deadline - kv::PreciseNow()) > 0;) {
            if (remaining > yieldSpanUs_) {
                LARGE_INTEGER due;
                due.QuadPart = -(remaining - yieldSpanUs_) * 10;
                SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, FALSE);
                WaitForSingleObject(timer_, INFINITE);
            } else if (!SwitchToThread()) {
                Sleep(0);
            }
        }
    }

  private:
    HANDLE timer_;
    int64_t yieldSpanUs_;
};

struct Errors {
    double medianMs;
    double ninetiethMs;
    double worstMs;
};

Errors Summary(std::vector<double> errorsMs) {
    std::sort(errorsMs.begin(), errorsMs.end());
    return {errorsMs[errorsMs.size() / 2], errorsMs[errorsMs.size() * 9 / 10], errorsMs.back()};
}

void Measure(const Way& way) {
    std::vector<double> hold;
    for (int i = 0; i < kHoldRounds; ++i) {
        const int64_t start = kv::PreciseNow();
        way.end(start + kHoldUs);
        hold.push_back((kv::PreciseNow() - start - kHoldUs) / 1000.0);
    }
    std::vector<double> pause;
    int64_t cpuUs = 0;
    int64_t pausedUs = 0;
    for (int i = 0; i < kPauseRounds; ++i) {
        const int64_t cpuStart = ThreadCpuUs();
        const int64_t start = kv::PreciseNow();
        for (int64_t at = kSliceUs; at < kPauseUs; at += kSliceUs)
            way.slice(start + at);
        way.end(start + kPauseUs);
        const int64_t took = kv::PreciseNow() - start;
        cpuUs += ThreadCpuUs() - cpuStart;
        pausedUs += took;
        pause.push_back((took - kPauseUs) / 1000.0);
    }
    const Errors h = Summary(hold);
    const Errors p = Summary(pause);
    std::printf(
        "%-34s hold %+6.3f/%+6.3f/%+6.3f ms  pause %+6.3f/%+6.3f/%+6.3f ms  "
        "cpu %5.1f ms/s\n",
        way.name, h.medianMs, h.ninetiethMs, h.worstMs, p.medianMs, p.ninetiethMs, p.worstMs,
        cpuUs * 1000.0 / pausedUs);
}

}  // namespace

int main() {
    kv::DeadlineTimer highResolution;
    kv::DeadlineTimer plain(false);
    std::printf("high-resolution waits: %s\n", highResolution.highResolution() ? "yes" : "no");
    std::printf(
        "errors as median/90th percentile/worst; cpu: this thread's processor time per "
        "second of pausing\n");
    const OldWait oldTimer(true);
    const OldWait yieldLoop(false);
    const Wait precise = [&](int64_t d) { highResolution.WaitUntil(d); };
    const Wait coarse = [&](int64_t d) { highResolution.WaitUntilCoarse(d); };
    const Wait plainPrecise = [&](int64_t d) { plain.WaitUntil(d); };
    const Wait plainCoarse = [&](int64_t d) { plain.WaitUntilCoarse(d); };
    const Way ways[] = {
        {"before: high-resolution timer", std::cref(oldTimer), std::cref(oldTimer)},
        {"before: yield-loop (plain timer)", std::cref(yieldLoop), std::cref(yieldLoop)},
        {"WaitUntil every slice", precise, precise},
        {"WaitUntilCoarse, WaitUntil at end", coarse, precise},
        {"plain timer: WaitUntil every slice", plainPrecise, plainPrecise},
        {"plain timer: coarse, precise end", plainCoarse, plainPrecise},
    };
    for (const Way& way : ways)
        Measure(way);
    return 0;
}
