#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "engine/settings.h"

namespace kv {
namespace {

// Chords by name in any case come back in their written form ("-" for a name refused); the file
// text round-trips; each bad line keeps its default while the good ones apply.
TEST(Settings, ChordsByNameAndTheFileTextRoundTripWithBadLinesKeepingTheirDefaults) {
    // clang-format off
    const char* const chords[][2] = {
        {"strg+u", "Strg+U"}, {"Umschalt+Strg+F9", "Strg+Umschalt+F9"}, {"7", "7"},
        {"win+alt+f24", "Alt+Win+F24"}, {"rollen", "Rollen"}, {"Strg+Einfg", "Strg+Einfg"},
        {"Strg+Strg+U", "-"}, {"Strg+", "-"}, {"Strg", "-"}, {"F25", "-"}, {"F0", "-"},
        {"Hyper+U", "-"}, {"\xFC", "-"}};
    // clang-format on
    for (const auto& [name, written] : chords) {
        Chord chord;
        EXPECT_EQ(ParseChord(name, chord) ? ChordName(chord) : "-", written) << name;
    }
    RunOptions chosen{{kModifierCtrl | kModifierShift, VK_F9},
                      {kModifierAlt, VK_PAUSE},
                      1000,
                      0,
                      KeyMode::kScanCodes};
    EXPECT_EQ(FormatSettings(ParseSettings(FormatSettings(chosen)).options),
              FormatSettings(chosen));
    EXPECT_EQ(FormatSettings({}),
              "[Korvalt]\r\nTrigger=Strg+U\r\nStop=J\r\nHoldMs=40\r\nGapMs=0\r\nKeys=Layout\r\n");
    // A trigger without modifier, times out of range or not numbers, unknown names and values, a
    // stop chord equal to the trigger.
    const ParsedSettings mixed = ParseSettings(
        "; comment\n[korvalt]\n\n Trigger = U \nHoldMs=1001\nGapMs=-1\nGapMs=12\nKeys=Tasten\n"
        "Speed=3\nno equals\nhold ms=5\nHoldMs=7ms\nTrigger=Alt+F2\nStop=alt+F2\nKeys=scancodes");
    EXPECT_EQ(mixed.badLines, (std::vector<size_t>{4, 5, 6, 8, 9, 10, 11, 12, 14}));
    EXPECT_EQ(
        FormatSettings(mixed.options),
        "[Korvalt]\r\nTrigger=Alt+F2\r\nStop=J\r\nHoldMs=40\r\nGapMs=12\r\nKeys=Scancodes\r\n");
    EXPECT_EQ(InvalidField({{0, 'U'}}), SettingsField::kTrigger);
    EXPECT_EQ(InvalidField({{kModifierAlt, 'J'}, {kModifierAlt, 'J'}}), SettingsField::kTrigger);
    EXPECT_EQ(InvalidField({{kModifierAlt, 'U'}, {0, 'J'}, 40, 1001}), SettingsField::kGapMs);
}

}  // namespace
}  // namespace kv
