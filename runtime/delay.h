#pragma once
// Precise waits: every wait ends at a deadline on the performance counter, so errors never add
// up, and uses a high-resolution waitable timer where the system has one.

#include <cstdint>

namespace kv {

// Microseconds on the performance counter.
int64_t PreciseNow();
// Returns at `deadline` (PreciseNow units) or as soon after it as the system allows.
void WaitUntil(int64_t deadline);
// Waits `milliseconds` from now; 0 or less returns at once.
void Delay(int32_t milliseconds);

}  // namespace kv
