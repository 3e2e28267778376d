#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <utility>

#include "engine/input.h"
#include "engine/keys.h"
#include "engine/sendkey.h"

namespace {

// Every key event and wait SendKey makes, in order, against a clock that stands at 0.
std::string events;

void Record(const char* kind, unsigned code, uint32_t flags) {
    char text[32];
    wsprintfA(text, " %s%s%X%s", flags & KEYEVENTF_KEYUP ? "-" : "+", kind, code,
              flags & KEYEVENTF_EXTENDEDKEY ? "e" : "");
    events += text;
}

// A layout that types "ä" plainly, "?" with Shift, "@" only with AltGr, "^" with a dead key, and
// "a" on a key other than the character table's. Its scan code for a key is the key ^ 0x80; an
// event without it shows as "?".
const std::map<char, int16_t> kFakeLayout = {
    {'ä', 0x00DE}, {'?', 0x01DB}, {'@', 0x0651}, {'^', 0x00DC}, {'a', 0x0051}};

const kv::InputSeam kRecordingInput = {
    [](uint8_t key, uint8_t scan, uint32_t flags) {
        Record(scan == (key ^ 0x80) ? "" : "?", key, flags);
    },
    [](uint8_t key) { return static_cast<uint8_t>(key ^ 0x80); },
    [](int) -> int16_t { return 0; },
    [] { return int64_t{0}; },
    [](int64_t deadline) { events += " wait" + std::to_string(deadline); },
    [](int64_t) { ADD_FAILURE() << "a key's hold ends on time"; },
    [](char character) -> int16_t {
        const auto found = kFakeLayout.find(character);
        return found == kFakeLayout.end() ? -1 : found->second;
    },
    [](uint8_t key) { return key == 0xDC ? 0x8000005Eu : key; },
    [](wchar_t character, uint32_t flags) { Record("char", character, flags); }};

// Presses (+) and releases (-) of virtual keys in hex, "e" with the extended bit, "char" for a
// character of its own; waits in microseconds. Shift is 10, Ctrl 11. The character table goes
// before the layout ("a"); AltGr and dead keys are never pressed ("@", "^"); Ctrl stays as the
// tokens leave it, across calls; only canonical tokens and single characters are keys.
TEST(SendKey, KeysCharactersShiftHoldsAndCtrl) {
    const std::pair<std::string, std::string> cases[] = {
        {"a", " +41 wait40000 -41"},         {"A", " +10 +41 wait40000 -41 -10"},
        {"7", " +37 wait40000 -37"},         {"/", " +10 +37 wait40000 -37 -10"},
        {"§", " +10 +33 wait40000 -33 -10"}, {" ", " +20 wait40000 -20"},
        {"\t", " +9 wait40000 -9"},          {"ä", " +DE wait40000 -DE"},
        {"?", " +10 +DB wait40000 -DB -10"}, {"@", " +char40 wait40000 -char40"},
        {"^", " +char5E wait40000 -char5E"}, {"€", " +char20AC wait40000 -char20AC"},
        {"é", " +charE9 wait40000 -charE9"}, {kv::kTokenReturn, " +D wait40000 -D"},
        {"LEFT", " +25e wait40000 -25e"},    {"DELETE", " +2Ee wait40000 -2Ee"},
        {"F12", " +7B wait40000 -7B"},       {kv::kTokenCtrlDown, " +11"},
        {"c", " +43 wait40000 -43"},         {kv::kTokenCtrlUp, " -11"},
        {kv::kTokenCtrlUp, " -11"}};
    kv::SetInput(kRecordingInput);
    for (const auto& [key, expected] : cases) {
        events.clear();
        kv::SendKey(key);
        EXPECT_EQ(events, expected) << '"' << key << '"';
    }
    events.clear();
    for (const char* key :
         {"\x01", "\x7F", "\x81", "", "Return", "strg an", "ab", "F13", "RETURN "}) {
        kv::SendKey(key);
        EXPECT_EQ(events, "") << '"' << key << '"';
    }
    kv::SetInput(kv::PlatformInput());
}

}  // namespace
