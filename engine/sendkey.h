#pragma once
// Turns one prepared Key into key presses and releases through the input seam.

#include <array>
#include <cstdint>
#include <string>

#include "engine/options.h"

namespace kv {

// One key event with all it needs already looked up, so it can leave the moment it is due.
struct KeyEvent {
    uint8_t virtualKey;  // VK_PACKET: `character` as a character of its own
    uint8_t scanCode;
    uint32_t flags;  // KEYEVENTF_KEYUP, KEYEVENTF_EXTENDEDKEY
    wchar_t character;
};

// A Key's events in order, the key hold after the one at `holdAfter` (-1: no hold).
struct KeyEvents {
    std::array<KeyEvent, 6> event{};
    int count = 0;
    int holdAfter = -1;
};

// What SendKey sends for `key`, laid out in the target's keyboard layout as it is now. Keys only:
// every event by its scan code (KEYEVENTF_SCANCODE), and none for a character without a key.
KeyEvents EventsOf(const std::string& key, KeyMode mode = KeyMode::kLayout);
// Keys only: whether `key` can be sent in `layout`; a character that the other mode would send
// as a character of its own cannot.
bool HasKeys(const std::string& key, uintptr_t layout);
// A press and a release of `virtualKey`, without hold: for a lock key, which that toggles.
KeyEvents TapOf(uint8_t virtualKey, KeyMode mode = KeyMode::kLayout);
// False when the system did not insert it (input to the target is blocked).
bool SendKeyEvent(const KeyEvent& event);

// Returns only after the key hold when a key was sent; Ctrl stays as "Strg an"/"Strg aus" left it.
void SendKey(const std::string& key);

}  // namespace kv
