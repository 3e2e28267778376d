#pragma once
// Waits that end at a deadline on the performance counter, so errors never add up. A waitable
// timer does the bulk of every wait; only the precise wait gives away its last moments in
// yields, and never more than kYieldSpanUs of them, so no core is kept spinning.

#include <cstdint>

namespace kv {

constexpr int64_t kMicrosecondsPerMs = 1000;
// The longest stretch before a deadline that a precise wait spends yielding.
constexpr int64_t kYieldSpanUs = 500;

// Microseconds on the performance counter.
int64_t PreciseNow();
// Precise: returns at `deadline` (PreciseNow units), late only by the length of one yield where
// the timer behaves; for the ends of a key's hold and of a pause.
void WaitUntil(int64_t deadline);
// Coarse: returns at `deadline` or after it by as much as the timer wakes late (a fraction of a
// millisecond on a high-resolution timer, up to a tick on a plain one), without any yielding; for
// waits whose end needs no precision, such as the poll slices inside a pause.
void WaitUntilCoarse(int64_t deadline);
// Waits `milliseconds` from now, precisely; 0 or less returns at once.
void Delay(int32_t milliseconds);

// The timer behind the waits, made once per process and used from one thread. Asked for high
// resolution, it sleeps on whichever of the high-resolution timer and the system's plain delay
// wakes closer to a short deadline when tried at construction (Wine serves timers in whole
// milliseconds but delays to a tenth of one). Otherwise, or where neither is fine, a plain timer
// at the finest system tick stands in, which can end a precise wait up to a tick late.
class DeadlineTimer {
  public:
    explicit DeadlineTimer(bool highResolution = true);
    ~DeadlineTimer();
    DeadlineTimer(const DeadlineTimer&) = delete;
    DeadlineTimer& operator=(const DeadlineTimer&) = delete;

    bool highResolution() const { return highResolution_; }
    void WaitUntil(int64_t deadline);
    void WaitUntilCoarse(int64_t deadline);

  private:
    void WaitFor(int64_t microseconds);
    bool SleepOnce(int64_t microseconds) const;

    void* timer_ = nullptr;
    void (*delay_)() = nullptr;  // the system's delay call, when it was chosen over the timer
    bool highResolution_ = false;
    uint32_t raisedTickMs_ = 0;  // handed back to the system on destruction, 0 when none
    int64_t lateUs_ = 0;         // how late the timer wakes, learned from its wake-ups
};

}  // namespace kv
