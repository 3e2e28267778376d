#pragma once
// Chords by name ("Strg+Umschalt+F9") and the settings file's text form:
//   [Korvalt]
//   Trigger=Strg+U
//   Stop=J
//   HoldMs=40
//   GapMs=0
//   Keys=Layout
// Modifier and key names are matched in any capitalisation and written as below.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/options.h"

namespace kv {

struct ModifierKey {
    uint8_t bit;
    const char* name;
    uint8_t virtualKey;
    uint8_t otherKey;  // the right-hand key where the left one has its own code, else 0
};
constexpr int kModifierCount = 4;
extern const ModifierKey kModifierKeys[kModifierCount];

inline constexpr char kSettingsSection[] = "Korvalt";

// Modifiers in table order, then the key, joined by "+": "Strg+U", "Pause"; recording notes name
// a chord of any key this way ("Strg+Umschalt+x").
std::string ChordName(uint8_t modifiers, const std::string& key);
std::string ChordName(const Chord& chord);
// False for an unknown name, a repeated modifier, or no key at the end.
bool ParseChord(std::string_view name, Chord& chord);

// A time in milliseconds: digits only, 0 to kLongestTimingMs; `ms` is left alone otherwise.
bool ParseTiming(std::string_view text, int32_t& ms);

// The settings a user may keep, checked as a whole.
enum class SettingsField { kNone, kTrigger, kStop, kHoldMs, kGapMs, kKeys };
// The first field that is unusable: a trigger without a modifier or equal to the stop chord, a
// time outside 0 to kLongestTimingMs.
SettingsField InvalidField(const RunOptions& options);

std::string FormatSettings(const RunOptions& options);
struct ParsedSettings {
    RunOptions options;
    std::vector<size_t> badLines;  // counted from 1; each kept its default
};
// Blank lines, ";" and "#" comments and the section line are skipped, names are matched in any
// capitalisation; an unknown name, a line without "=" or an unusable value is a bad line.
ParsedSettings ParseSettings(const std::string& text);

}  // namespace kv
