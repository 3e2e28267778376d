#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "engine/settings.h"

namespace kv {
namespace {

// Chords by name, both ways: names in any case come back in their written form.
TEST(Settings, ChordsByNameAndTheFileTextRoundTripWithBadLinesKeepingTheirDefaults) {
    const std::pair<const char*, const char*> chords[] = {{"strg+u", "Strg+U"},
                                                          {"Umschalt+Strg+F9", "Strg+Umschalt+F9"},
                                                          {"win+alt+f24", "Alt+Win+F24"},
                                                          {"Pause", "Pause"},
                                                          {"rollen", "Rollen"},
                                                          {"Strg+Einfg", "Strg+Einfg"},
                                                          {"7", "7"},
                                                          {"Strg+Strg+U", nullptr},
                                                          {"Strg+", nullptr},
                                                          {"Strg", nullptr},
                                                          {"F25", nullptr},
                                                          {"F0", nullptr},
                                                          {"Hyper+U", nullptr},
                                                          {"ü", nullptr}};
    for (const auto& [name, written] : chords) {
        Chord chord;
        EXPECT_EQ(ParseChord(name, chord), written != nullptr) << name;
        if (written) {
            EXPECT_EQ(ChordName(chord), written) << name;
        }
    }
    RunOptions chosen;
    chosen.trigger = {kModifierCtrl | kModifierShift, VK_F9};
    chosen.stop = {kModifierAlt, VK_PAUSE};
    chosen.holdMs = 1000;
    chosen.gapMs = 0;
    chosen.keys = KeyMode::kScanCodes;
    const ParsedSettings back = ParseSettings(FormatSettings(chosen));
    EXPECT_EQ(FormatSettings(back.options), FormatSettings(chosen));
    EXPECT_TRUE(back.badLines.empty());
    EXPECT_EQ(FormatSettings({}),
              "[Korvalt]\r\nTrigger=Strg+U\r\nStop=J\r\nHoldMs=40\r\nGapMs=0\r\nKeys=Layout\r\n");

    // A trigger without modifier, times out of range or not numbers, unknown names and values; a
    // stop chord equal to the trigger. Each bad line keeps its default, the good ones apply.
    const ParsedSettings mixed = ParseSettings(
        "; comment\n[korvalt]\n\n Trigger = U \nHoldMs=1001\nGapMs=-1\nGapMs=12\nKeys=Tasten\n"
        "Speed=3\nno equals\nhold ms=5\nHoldMs=7ms\nTrigger=Alt+F2\nStop=alt+F2\nKeys=scancodes");
    EXPECT_EQ(mixed.badLines, (std::vector<size_t>{4, 5, 6, 8, 9, 10, 11, 12, 14}));
    EXPECT_EQ(ChordName(mixed.options.trigger), "Alt+F2");
    EXPECT_EQ(ChordName(mixed.options.stop), "J");
    EXPECT_EQ(mixed.options.holdMs, kKeyHoldMs);
    EXPECT_EQ(mixed.options.gapMs, 12);
    EXPECT_EQ(mixed.options.keys, KeyMode::kScanCodes);

    const std::pair<void (*)(RunOptions&), SettingsField> checks[] = {
        {[](RunOptions&) {}, SettingsField::kNone},
        {[](RunOptions& o) { o.trigger.modifiers = 0; }, SettingsField::kTrigger},
        {[](RunOptions& o) { o.stop = o.trigger; }, SettingsField::kTrigger},
        {[](RunOptions& o) { o.stop.key = 0; }, SettingsField::kStop},
        {[](RunOptions& o) { o.holdMs = -1; }, SettingsField::kHoldMs},
        {[](RunOptions& o) { o.gapMs = 1001; }, SettingsField::kGapMs}};
    for (const auto& [change, field] : checks) {
        RunOptions options;
        change(options);
        EXPECT_EQ(InvalidField(options), field) << &change - &checks[0].first;
    }
}

}  // namespace
}  // namespace kv
