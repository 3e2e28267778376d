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

}  // namespace

void SendKey(const std::string& key) {
    const InputSeam& input = Input();
    if (IsCtrlToken(key)) {
        SendKeyEvent(input, VK_CONTROL, false, key == kTokenCtrlUp);
        return;
    }
    const KeyStroke stroke = StrokeOf(key);
    if (!stroke.virtualKey) {
        return;
    }
    if (stroke.shift) {
        SendKeyEvent(input, VK_SHIFT, false, false);
    }
    SendKeyEvent(input, stroke.virtualKey, stroke.extended, false);
    input.waitUntil(input.now() + kKeyHoldMs * kMicrosecondsPerMs);
    SendKeyEvent(input, stroke.virtualKey, stroke.extended, true);
    if (stroke.shift) {
        SendKeyEvent(input, VK_SHIFT, false, true);
    }
}

}  // namespace kv
