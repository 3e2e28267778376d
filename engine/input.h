#pragma once
// The engine's narrow seam to the platform's keyboard, keyboard layout and clock. Bound to the
// real calls by default; tests put recorders, a fake layout and a fake clock in its place.

#include <cstdint>

namespace kv {

struct InputSeam {
    // One key press (flags 0) or release (KEYEVENTF_KEYUP), KEYEVENTF_EXTENDEDKEY and
    // KEYEVENTF_SCANCODE as needed; the number of events the system inserted (0 or 1).
    uint32_t (*keyEvent)(uint8_t virtualKey, uint8_t scanCode, uint32_t flags);
    // The key's scan code in a keyboard layout of targetLayout.
    uint8_t (*scanCode)(uint8_t virtualKey, uintptr_t layout);
    int16_t (*asyncKeyState)(int virtualKey);
    // Monotonic time in microseconds, a precise wait until such a time, and a coarse one that may
    // end a little late but never keeps the processor busy.
    int64_t (*now)();
    void (*waitUntil)(int64_t deadline);
    void (*waitUntilCoarse)(int64_t deadline);
    // In a layout: VkKeyScanExA's answer for a character (virtual key in the low byte, Shift 1,
    // Ctrl 2, Alt 4 in the high byte, -1 for none), and MapVirtualKeyExA's character for a key
    // (its unshifted character, the top bit set for a dead key). A seam that leaves them out has
    // a layout without keys.
    int16_t (*keyScan)(char character, uintptr_t layout) = [](char, uintptr_t) -> int16_t {
        return -1;
    };
    uint32_t (*keyCharacter)(uint8_t virtualKey,
                             uintptr_t layout) = [](uint8_t, uintptr_t) -> uint32_t { return 0; };
    // One press (flags 0) or release (KEYEVENTF_KEYUP) of a character of its own, without a key
    // (KEYEVENTF_UNICODE), with the number inserted. A seam that leaves it out drops such
    // characters as if they were inserted.
    uint32_t (*characterEvent)(wchar_t character,
                               uint32_t flags) = [](wchar_t, uint32_t) -> uint32_t { return 1; };
    // The layout the keys are typed in: that of the foreground window's thread. Each look-up
    // costs round trips to the window server, so it is made once per Key, ahead of its time.
    uintptr_t (*targetLayout)() = [] { return uintptr_t{0}; };
    // Whether Caps Lock is on, as the keys sent next will find it.
    bool (*capsLock)() = [] { return false; };
};

const InputSeam& PlatformInput();
const InputSeam& Input();
// Tests only: replaces the seam until the next call; PlatformInput() restores it.
void SetInput(const InputSeam& seam);

}  // namespace kv
