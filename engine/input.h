#pragma once
// The engine's narrow seam to the platform's keyboard and clock. Bound to the real calls by
// default; tests put recorders and a fake clock in its place.

#include <cstdint>

namespace kv {

struct InputSeam {
    // One key press (flags 0) or release (KEYEVENTF_KEYUP), KEYEVENTF_EXTENDEDKEY as needed.
    void (*keyEvent)(uint8_t virtualKey, uint8_t scanCode, uint32_t flags);
    uint8_t (*scanCode)(uint8_t virtualKey);
    int16_t (*asyncKeyState)(int virtualKey);
    // Monotonic time in microseconds, and a precise wait until such a time.
    int64_t (*now)();
    void (*waitUntil)(int64_t deadline);
    // Gives the processor away once without waiting for any time to pass.
    void (*yield)();
};

const InputSeam& PlatformInput();
const InputSeam& Input();
// Tests only: replaces the seam until the next call; PlatformInput() restores it.
void SetInput(const InputSeam& seam);

}  // namespace kv
