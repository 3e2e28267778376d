#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "engine/record.h"
#include "runtime/textcodec.h"

namespace kv {
namespace {

constexpr uint32_t kUp = kRecordedUp;
constexpr uint32_t kInjected = kRecordedInjected;

// A press (flags 0) or release at `ms`, typing `characters` (`plain` without Ctrl and Alt).
struct Event {
    uint32_t flags;
    uint8_t virtualKey;
    double ms;
    std::wstring characters = {}, plain = {};
    bool dead = false;
};
// The Steps as "pause|key;", then "/" and the notes.
struct Case {
    std::vector<Event> events;
    std::string expected;
    const char* fixedPause = nullptr;
};

// clang-format off
const Case kCases[] = {
    // Shift folded into the text; the first pause counts from the start; rounded; J stops.
    {{{0, VK_LSHIFT, 900}, {0, 'H', 1000.6, L"H"}, {kUp, 'H', 1040}, {kUp, VK_LSHIFT, 1050},
      {0, 'A', 1100, L"a"}, {kUp, 'A', 1140}, {0, VK_RETURN, 1440.4, L"\r"}, {kUp, VK_RETURN, 1480},
      {0, 'J', 1600, L"j"}, {kUp, 'J', 1640}, {0, 'B', 1700, L"b"}},
     "1001|Ha;300|Return;/"},
    // Ctrl chords, Shift carried by a character key; a chord left open is closed.
    {{{0, VK_LCONTROL, 100}, {0, VK_HOME, 150}, {kUp, VK_HOME, 190}, {kUp, VK_LCONTROL, 250},
      {0, VK_RCONTROL, 300}, {0, VK_LSHIFT, 310}, {0, 'S', 320, L"\x13", L"S"}},
     "100|Strg an;50|Home;60|Strg aus;50|Strg an;20|S;0|Strg aus;/"},
    // AltGr (Ctrl with Alt) types into the text; a dead key composes, its pause before it;
    // injected keys and Caps Lock leave no trace.
    {{{0, 'X', 10, L"x"}, {kUp, 'X', 20}, {0, VK_LCONTROL, 30}, {0, VK_RMENU, 30},
      {0, 'Q', 40, L"@"}, {kUp, VK_RMENU, 50}, {kUp, VK_LCONTROL, 50}, {kInjected, 'Z', 60, L"z"},
      {kInjected | kUp, 'Z', 70}, {0, VK_CAPITAL, 80}, {0, VK_RETURN, 100, L"\r"},
      {kUp, VK_RETURN, 110}, {0, VK_OEM_6, 200, L"\xB4", L"", true}, {kUp, VK_OEM_6, 210},
      {0, 'E', 300, L"\xE9"}},
     "10|x@;50|Return;90|\xE9;/"},
    // A character the code page cannot hold ends the text; a text that reads as a key name is
    // split; chords with Alt, Win or Shift on a named key are simplified, unnamed keys left out.
    {{{0, 'A', 0, L"a"}, {0, 'B', 10, L"\x263A"}, {0, 'C', 20, L"End"}, {0, VK_LMENU, 30},
      {0, VK_F4, 40}, {kUp, VK_LMENU, 50}, {0, VK_LSHIFT, 60}, {0, VK_TAB, 70, L"\t"},
      {kUp, VK_LSHIFT, 80}, {0, VK_LWIN, 90}, {0, 'E', 100, L"e", L"e"}, {kUp, VK_LWIN, 110},
      {0, VK_F13, 120}, {0, 'D', 130, L"\x263A", L"\x263A"}},
     "0|a;10|En;0|d;20|F4;20|Tab;20|e;/Alt+F4,Umschalt+Tab,Win+e,124,U+263A,U+263A,"},
    // Fixed pauses: the pause field's text for every Step.
    {{{0, VK_LCONTROL, 100}, {0, 'V', 150, L"\x16", L"v"}, {kUp, VK_LCONTROL, 200},
      {0, 'W', 400, L"w"}},
     "250|Strg an;250|v;250|Strg aus;250|w;/", "250"},
};
// clang-format on

TEST(Recording, EventsBecomeStepsWithTheirPausesAndNotes) {
    for (const Case& test : kCases) {
        std::vector<RecordedKey> keys;
        for (const Event& event : test.events)
            keys.push_back({event.virtualKey, 0, event.flags, static_cast<int64_t>(event.ms * 1000),
                            WideText(event.characters.begin(), event.characters.end()), event.dead,
                            WideText(event.plain.begin(), event.plain.end())});
        RecordOptions options{{0, 'J'}, !test.fixedPause, test.fixedPause ? test.fixedPause : ""};
        const Recording recording = ConvertRecording(keys, options, 0);
        std::string got;
        for (const StepText& step : recording.steps)
            got += step.pause + "|" + step.keyText + ";";
        got += "/";
        for (const std::string& chord : recording.simplified)
            got += chord + ",";
        for (const LeftOutKey& key : recording.leftOut)
            got += std::to_string(key.virtualKey) + ",";
        for (const char32_t character : recording.refused)
            got += CharacterName(character) + ",";
        EXPECT_EQ(got, test.expected);
    }
}

}  // namespace
}  // namespace kv
