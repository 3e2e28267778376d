#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
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
