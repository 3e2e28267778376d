#pragma once
// Precise waits: every wait ends at a deadline on the performance counter, so errors never add
// up, and uses a high-resolution waitable timer where the system has one.

#include <cstdint>

namespace kv {

constexpr int64_t kMicrosecondsPerMs = 1000;

// Microseconds on the performance counter.
int64_t PreciseNow();
// Returns at `deadline` (PreciseNow units) or as soon after it as the system allows.
void WaitUntil(int64_t deadline);
// Waits `milliseconds` from now; 0 or less returns at once.
void Delay(int32_t milliseconds);

// The timer behind WaitUntil, made once per process and used from one thread. Where the system
// refuses a high-resolution timer (or it is not asked for), a plain timer at the finest system tick
// does the bulk of a wait and short yields the last tick, so no core is kept spinning.
class DeadlineTimer {
  public:
    explicit DeadlineTimer(bool highResolution = true);
    ~DeadlineTimer();
    DeadlineTimer(const DeadlineTimer&) = delete;
    DeadlineTimer& operator=(const DeadlineTimer&) = delete;

    bool highResolution() const { return highResolution_; }
    void WaitUntil(int64_t deadline) const;

  private:
    void WaitFor(int64_t microseconds) const;

    void* timer_ = nullptr;
    bool highResolution_ = false;
    uint32_t raisedTickMs_ = 0;  // handed back to the system on destruction, 0 when none
    int64_t yieldSpan_ = 0;      // the last microseconds of a wait, given away in yields
};

}  // namespace kv
