#pragma once
// What the user may choose for a run: the trigger and stop chords, how long a key is held, the
// gap between events, and whether keys go out as the layout types them or as scan codes alone.
// The defaults are the program's fixed behaviour before there were choices.

#include <cstdint>

namespace kv {

constexpr int kTriggerKey = 'U';
constexpr int kStopKey = 'J';
constexpr int32_t kKeyHoldMs = 40;
constexpr int32_t kKeyGapMs = 0;
constexpr int32_t kLongestTimingMs = 1000;

// Modifier bits of a chord.
constexpr uint8_t kModifierCtrl = 1;
constexpr uint8_t kModifierAlt = 2;
constexpr uint8_t kModifierShift = 4;
constexpr uint8_t kModifierWin = 8;

struct Chord {
    uint8_t modifiers = 0;
    uint8_t key = 0;  // virtual key
    bool operator==(const Chord& other) const {
        return modifiers == other.modifiers && key == other.key;
    }
    bool operator!=(const Chord& other) const { return !(*this == other); }
};

enum class KeyMode : uint8_t {
    kLayout,     // the layout's keys, else a character of its own
    kScanCodes,  // scan codes only; a character without a key is refused
};

struct RunOptions {
    Chord trigger{kModifierCtrl, kTriggerKey};
    Chord stop{0, kStopKey};
    int32_t holdMs = kKeyHoldMs;
    int32_t gapMs = kKeyGapMs;  // between the events of a Step and between a text's characters
    KeyMode keys = KeyMode::kLayout;
    // Looked at with the stop key: true ends the run as the stop key does (the program closing).
    bool (*interrupted)() = nullptr;
};

}  // namespace kv
