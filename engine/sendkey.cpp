#include "engine/sendkey.h"

#include <windows.h>

#include "engine/input.h"
#include "engine/keys.h"
#include "runtime/delay.h"

namespace kv {

namespace {

// The layout's scan code goes with every event: programs that read scan codes drop keys
// without one.
KeyEvent Event(uint8_t virtualKey, uint8_t scanCode, bool extended, bool release) {
    return {virtualKey, scanCode,
            (extended ? KEYEVENTF_EXTENDEDKEY : 0u) | (release ? KEYEVENTF_KEYUP : 0u), 0};
}

void Append(KeyEvents& events, const KeyEvent& event) {
    events.event[events.count++] = event;
}

// The right Alt key, which layouts with AltGr read as AltGr.
constexpr uint8_t kAltGrScanCode = 0x38;

KeyEvents StrokeEvents(const KeyStroke& stroke, uintptr_t layout) {
    const InputSeam& input = Input();
    KeyEvents events;
    if (stroke.virtualKey == VK_PACKET) {
        Append(events, {VK_PACKET, 0, 0, stroke.character});
        events.holdAfter = 0;
        Append(events, {VK_PACKET, 0, KEYEVENTF_KEYUP, stroke.character});
    } else if (stroke.virtualKey) {
        const uint8_t shiftScan = stroke.shift ? input.scanCode(VK_SHIFT, layout) : 0;
        const uint8_t scan = input.scanCode(stroke.virtualKey, layout);
        if (stroke.shift)
            Append(events, Event(VK_SHIFT, shiftScan, false, false));
        if (stroke.altGr)
            Append(events, Event(VK_RMENU, kAltGrScanCode, true, false));
        events.holdAfter = events.count;
        Append(events, Event(stroke.virtualKey, scan, stroke.extended, false));
        Append(events, Event(stroke.virtualKey, scan, stroke.extended, true));
        if (stroke.altGr)
            Append(events, Event(VK_RMENU, kAltGrScanCode, true, true));
        if (stroke.shift)
            Append(events, Event(VK_SHIFT, shiftScan, false, true));
    }
    return events;
}

}  // namespace

KeyEvents EventsOf(const std::string& key, KeyMode mode) {
    const InputSeam& input = Input();
    const uintptr_t layout = input.targetLayout();
    KeyEvents events;
    if (IsCtrlToken(key)) {
        Append(events,
               Event(VK_CONTROL, input.scanCode(VK_CONTROL, layout), false, key == kTokenCtrlUp));
    } else {
        KeyStroke stroke = StrokeOf(key, layout);
        if (mode == KeyMode::kScanCodes && stroke.virtualKey == VK_PACKET)
            stroke = KeysOnlyStroke(key[0], layout);
        events = StrokeEvents(stroke, layout);
    }
    if (mode == KeyMode::kScanCodes) {
        for (int i = 0; i < events.count; ++i)
            events.event[i].flags |= KEYEVENTF_SCANCODE;
    }
    return events;
}

bool HasKeys(const std::string& key, uintptr_t layout) {
    return key.size() != 1 || StrokeOf(key, layout).virtualKey != VK_PACKET ||
           KeysOnlyStroke(key[0], layout).virtualKey != 0;
}

KeyEvents TapOf(uint8_t virtualKey, KeyMode mode) {
    const InputSeam& input = Input();
    const uint8_t scan = input.scanCode(virtualKey, input.targetLayout());
    KeyEvents events;
    const uint32_t scanCodeFlag = mode == KeyMode::kScanCodes ? KEYEVENTF_SCANCODE : 0;
    Append(events, {virtualKey, scan, scanCodeFlag, 0});
    Append(events, {virtualKey, scan, scanCodeFlag | KEYEVENTF_KEYUP, 0});
    return events;
}

bool SendKeyEvent(const KeyEvent& event) {
    if (event.virtualKey == VK_PACKET)
        return Input().characterEvent(event.character, event.flags) != 0;
    return Input().keyEvent(event.virtualKey, event.scanCode, event.flags) != 0;
}

void SendKey(const std::string& key) {
    const InputSeam& input = Input();
    const KeyEvents events = EventsOf(key);
    for (int i = 0; i < events.count; ++i) {
        SendKeyEvent(events.event[i]);
        if (i == events.holdAfter)
            input.waitUntil(input.now() + kKeyHoldMs * kMicrosecondsPerMs);
    }
}

}  // namespace kv
