#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <sstream>
#include <string>

#include "engine/input.h"
#include "engine/sendkey.h"

namespace {

// Every key event and wait SendKey makes, in order, against a clock that stands at 0.
std::string events;

uint32_t Record(const char* kind, unsigned code, uint32_t flags) {
    char text[32];
    wsprintfA(text, " %s%s%X%s%s", flags & KEYEVENTF_KEYUP ? "-" : "+", kind, code,
              flags & KEYEVENTF_EXTENDEDKEY ? "e" : "", flags & KEYEVENTF_SCANCODE ? "s" : "");
    events += text;
    return 1;
}

// A layout that types "ä" plainly, "?" with Shift, "@" only with AltGr, "^" with a dead key, and
// "a" on a key other than the character table's. Its scan code for a key is the key ^ 0x80; an
// event without it shows as "?".
constexpr char kLayoutCharacters[] = "ä?@^a";
constexpr int16_t kLayoutKeys[] = {0x00DE, 0x01DB, 0x0651, 0x00DC, 0x0051};

const kv::InputSeam kRecordingInput = {
    [](uint8_t key, uint8_t scan, uint32_t flags) {
        return Record(scan == (key ^ 0x80) ? "" : "?", key, flags);
    },
    [](uint8_t key, uintptr_t) { return static_cast<uint8_t>(key ^ 0x80); },
    [](int) -> int16_t { return 0; },
    [] { return int64_t{0}; },
    [](int64_t deadline) {
        events += deadline == 40000 ? " hold" : " w" + std::to_string(deadline);
    },
    [](int64_t) { ADD_FAILURE() << "a key's hold ends on time"; },
    [](char c, uintptr_t) -> int16_t {
        const char* at = c ? std::strchr(kLayoutCharacters, c) : nullptr;
        return at ? kLayoutKeys[at - kLayoutCharacters] : -1;
    },
    [](uint8_t key, uintptr_t) { return key == 0xDC ? 0x8000005Eu : key; },
    [](wchar_t character, uint32_t flags) { return Record("u", character, flags); }};

// Each case is "key|events;": presses (+) and releases (-) of virtual keys in hex, "e" with the
// extended bit, "u" for a character of its own, "hold" for the 40 ms wait between. Shift is 10,
// Ctrl 11. The character table goes before the layout ("a"); AltGr and dead keys are never pressed
// ("@", "^"); Ctrl stays as the tokens leave it, across calls; only canonical tokens and single
// printable characters are keys.
TEST(SendKey, KeysCharactersShiftHoldsAndCtrl) {
    std::istringstream cases(
        "a| +41 hold -41;A| +10 +41 hold -41 -10;7| +37 hold -37;/| +10 +37 hold -37 -10;"
        "§| +10 +33 hold -33 -10; | +20 hold -20;\t| +9 hold -9;ä| +DE hold -DE;"
        "?| +10 +DB hold -DB -10;@| +u40 hold -u40;^| +u5E hold -u5E;€| +u20AC hold -u20AC;"
        "é| +uE9 hold -uE9;RETURN| +D hold -D;LEFT| +25e hold -25e;DELETE| +2Ee hold -2Ee;"
        "F12| +7B hold -7B;Strg an| +11;c| +43 hold -43;Strg aus| -11;Strg aus| -11;"
        "\x01|;\x7F|;\x81|;|;Return|;strg an|;ab|;F13|;RETURN |;");
    kv::SetInput(kRecordingInput);
    for (std::string entry; std::getline(cases, entry, ';');) {
        const std::string key = entry.substr(0, entry.find('|'));
        events.clear();
        kv::SendKey(key);
        EXPECT_EQ(events, entry.substr(key.size() + 1)) << '"' << key << '"';
    }
}

// Keys only: every event by its scan code (s), AltGr as the right Alt key (A5, scan code 38);
// dead keys and characters without a key send nothing.
TEST(SendKey, KeysOnlyGoByScanCodesWithShiftAndAltGr) {
    kv::SetInput(kRecordingInput);
    events.clear();
    for (const char* key : {"a", "?", "@", "^", "\xE9", "LEFT", "Strg an"}) {
        const kv::KeyEvents keys = kv::EventsOf(key, kv::KeyMode::kScanCodes);
        events += " |";
        for (int i = 0; i < keys.count; ++i)
            kv::SendKeyEvent(keys.event[i]);
    }
    EXPECT_EQ(
        events,
        " | +41s -41s | +10s +DBs -DBs -10s | +?A5es +51s -51s -?A5es | | | +25es -25es | +11s");
}

}  // namespace
