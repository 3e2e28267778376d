#pragma once
// The engine's narrow seam to the platform's keyboard, keyboard layout and clock. Bound to the
// real calls by default; tests put recorders, a fake layout and a fake clock in its place.

#include <cstdint>

namespace kv {

struct InputSeam {
    // One key press (flags 0) or release (KEYEVENTF_KEYUP), KEYEVENTF_EXTENDEDKEY as needed.
    void (*keyEvent)(uint8_t virtualKey, uint8_t scanCode, uint32_t flags);
    // The key's scan code in the keyboard layout the keys are typed in (that of the foreground
    // window's thread).
    uint8_t (*scanCode)(uint8_t virtualKey);
    int16_t (*asyncKeyState)(int virtualKey);
    // Monotonic time in microseconds, a precise wait until such a time, and a coarse one that may
    // end a little late but never keeps the processor busy.
    int64_t (*now)();
    void (*waitUntil)(int64_t deadline);
    void (*waitUntilCoarse)(int64_t deadline);
    // In the same layout: VkKeyScanExA's answer for a character (virtual key in the low byte,
    // Shift 1, Ctrl 2, Alt 4 in the high byte, -1 for none), and MapVirtualKeyExA's character
    // for a key (its unshifted character, the top bit set for a dead key). A seam that leaves
    // them out has a layout without keys.
    int16_t (*keyScan)(char character) = [](char) -> int16_t { return -1; };
    uint32_t (*keyCharacter)(uint8_t virtualKey) = [](uint8_t) -> uint32_t { return 0; };
    // One press (flags 0) or release (KEYEVENTF_KEYUP) of a character of its own, without a key
    // (KEYEVENTF_UNICODE). A seam that leaves it out drops such characters.
    void (*characterEvent)(wchar_t character, uint32_t flags) = [](wchar_t, uint32_t) {};
};

const InputSeam& PlatformInput();
const InputSeam& Input();
// Tests only: replaces the seam until the next call; PlatformInput() restores it.
void SetInput(const InputSeam& seam);

}  // namespace kv
