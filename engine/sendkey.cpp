#include "engine/sendkey.h"

#include <windows.h>

#include "engine/input.h"
#include "engine/keys.h"
#include "runtime/delay.h"

namespace kv {

namespace {

// The layout's scan code goes with every event: programs that read scan codes drop keys
// without one.
void SendKeyEvent(const InputSeam& input, uint8_t virtualKey, bool extended, bool release) {
    const uint32_t flags =
        (extended ? KEYEVENTF_EXTENDEDKEY : 0u) | (release ? KEYEVENTF_KEYUP : 0u);
    input.keyEvent(virtualKey, input.scanCode(virtualKey), flags);
}

constexpr int16_t kPressedSinceBit = 1;

void Hold(const InputSeam& input) {
    input.waitUntil(input.now() + kKeyHoldMs * kMicrosecondsPerMs);
}

}  // namespace

void SendKey(const std::string& key) {
    SendKeyWatching(key, 0);
}

// Only the "pressed since" bit tells of another hand: the key reads as down by our own, and under
// Wine for a while after our own release.
bool SendKeyWatching(const std::string& key, int watchedKey) {
    const InputSeam& input = Input();
    if (IsCtrlToken(key)) {
        SendKeyEvent(input, VK_CONTROL, false, key == kTokenCtrlUp);
        return false;
    }
    const KeyStroke stroke = StrokeOf(key);
    if (!stroke.virtualKey) {
        return false;
    }
    if (stroke.virtualKey == VK_PACKET) {
        input.characterEvent(stroke.character, 0);
        Hold(input);
        input.characterEvent(stroke.character, KEYEVENTF_KEYUP);
        return false;
    }
    const bool watched = watchedKey != 0 && stroke.virtualKey == watchedKey;
    bool pressedMeanwhile = watched && (input.asyncKeyState(watchedKey) & kPressedSinceBit);
    if (stroke.shift) {
        SendKeyEvent(input, VK_SHIFT, false, false);
    }
    SendKeyEvent(input, stroke.virtualKey, stroke.extended, false);
    if (watched)
        input.asyncKeyState(watchedKey);
    Hold(input);
    if (watched && (input.asyncKeyState(watchedKey) & kPressedSinceBit))
        pressedMeanwhile = true;
    SendKeyEvent(input, stroke.virtualKey, stroke.extended, true);
    if (stroke.shift) {
        SendKeyEvent(input, VK_SHIFT, false, true);
    }
    return pressedMeanwhile;
}

}  // namespace kv
