#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/input.h"
#include "engine/keys.h"
#include "engine/sendkey.h"

namespace {

using Events = std::vector<std::string>;

// Every key event and wait SendKey makes, in order, against a clock that moves only by waits.
Events events;
int64_t fakeNow = 1000000;

std::string KeyEvent(unsigned virtualKey, unsigned scanCode, uint32_t flags) {
    char text[48];
    wsprintfA(text, "%s %02X scan %02X%s%s", flags & KEYEVENTF_KEYUP ? "up" : "down", virtualKey,
              scanCode, flags & KEYEVENTF_EXTENDEDKEY ? " ext" : "",
              flags & ~(KEYEVENTF_KEYUP | KEYEVENTF_EXTENDEDKEY) ? " other flags" : "");
    return text;
}

// A layout that types "ä" plainly, "?" with Shift, "@" and "|" only with AltGr, "^" with a dead
// key, and "a" on a key other than the character table's. The scan code is unlike any virtual key,
// so the test sees it came from the layout lookup.
const std::map<char, int16_t> kFakeLayout = {{'ä', 0x00DE}, {'?', 0x01DB}, {'@', 0x0651},
                                             {'|', 0x06E2}, {'^', 0x00DC}, {'a', 0x0051}};

const kv::InputSeam kRecordingInput = {
    [](uint8_t virtualKey, uint8_t scanCode, uint32_t flags) {
        events.push_back(KeyEvent(virtualKey, scanCode, flags));
    },
    [](uint8_t virtualKey) { return static_cast<uint8_t>(virtualKey ^ 0x80); },
    [](int) -> int16_t { return 0; },
    [] { return fakeNow; },
    [](int64_t deadline) {
        events.push_back("wait " + std::to_string(deadline - fakeNow));
        fakeNow = deadline;
    },
    [](int64_t) { ADD_FAILURE() << "a key's hold ends on time"; },
    [](char character) -> int16_t {
        const auto found = kFakeLayout.find(character);
        return found == kFakeLayout.end() ? -1 : found->second;
    },
    [](uint8_t virtualKey) { return virtualKey == 0xDC ? 0x8000005Eu : virtualKey; },
    [](wchar_t character, uint32_t flags) {
        events.push_back(KeyEvent(0, character, flags) + " character");
    }};

Events Send(const std::string& key) {
    events.clear();
    kv::SetInput(kRecordingInput);
    kv::SendKey(key);
    kv::SetInput(kv::PlatformInput());
    return events;
}

// One key held for 40 ms, with the seam's scan codes.
Events Press(unsigned virtualKey, bool shift = false, bool extended = false) {
    const unsigned scanCode = virtualKey ^ 0x80;
    const uint32_t flags = extended ? KEYEVENTF_EXTENDEDKEY : 0;
    const Events press = {KeyEvent(virtualKey, scanCode, flags), "wait 40000",
                          KeyEvent(virtualKey, scanCode, flags | KEYEVENTF_KEYUP)};
    return shift ? Events{"down 10 scan 90", press[0], press[1], press[2], "up 10 scan 90"} : press;
}

// A character of its own: press, 40 ms, release, with no key.
Events Character(wchar_t character) {
    return {KeyEvent(0, character, 0) + " character", "wait 40000",
            KeyEvent(0, character, KEYEVENTF_KEYUP) + " character"};
}

TEST(SendKey, TableCharactersPressTheirKeysOthersGoAsTheLayoutTypesThemWithoutAltGr) {
    std::map<unsigned char, Events> typed = {
        {' ', Press(0x20)},       {'\t', Press(VK_TAB)},    {'ä', Press(0xDE)},
        {'?', Press(0xDB, true)}, {'@', Character('@')},    {'|', Character('|')},
        {'^', Character('^')},    {'€', Character(0x20AC)}, {'é', Character(0xE9)}};
    for (unsigned char control : {0x7F, 0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        typed[control] = {};
    }
    const std::string shiftedDigitRow = "=!\"§$%&/()";
    for (unsigned i = 0; i < 26; ++i) {
        typed['a' + i] = Press('A' + i);
        typed['A' + i] = Press('A' + i, true);
    }
    for (unsigned i = 0; i < 10; ++i) {
        typed['0' + i] = Press('0' + i);
        typed[shiftedDigitRow[i]] = Press('0' + i, true);
    }
    for (int byte = 0; byte < 256; ++byte) {
        const char character = static_cast<char>(byte);
        wchar_t unit = 0;
        MultiByteToWideChar(1252, 0, &character, 1, &unit, 1);
        const auto found = typed.find(static_cast<unsigned char>(byte));
        EXPECT_EQ(Send(std::string(1, character)), found != typed.end() ? found->second
                                                   : byte < 0x20        ? Events{}
                                                                        : Character(unit))
            << "byte " << byte;
    }
}

TEST(SendKey, NamedKeysPressTheirKeyExtendedOnlyForTheE0Keys) {
    const std::set<std::string> e0 = {"LEFT", "RIGHT", "UP",   "DOWN",
                                      "HOME", "END",   "NEXT", "DELETE"};
    for (const kv::KeyToken& row : kv::kKeyTokens) {
        if (row.virtualKey != VK_CONTROL) {
            EXPECT_EQ(Send(row.canonical), Press(row.virtualKey, false, e0.count(row.canonical)));
        }
    }
}

TEST(SendKey, CtrlTokensOnlyMoveCtrlWhichStaysDownAcrossCallsAndOtherTextsSendNothing) {
    EXPECT_EQ(Send(kv::kTokenCtrlDown), Events{"down 11 scan 91"});
    EXPECT_EQ(Send("c"), Press('C'));
    EXPECT_EQ(Send(kv::kTokenCtrlDown), Events{"down 11 scan 91"});
    EXPECT_EQ(Send(kv::kTokenCtrlUp), Events{"up 11 scan 91"});
    EXPECT_EQ(Send(kv::kTokenCtrlUp), Events{"up 11 scan 91"});
    for (const char* key : {"", "Return", "tab", "strg an", "Space", "ab", "F13", "RETURN "}) {
        EXPECT_EQ(Send(key), Events{}) << '"' << key << '"';
    }
}

}  // namespace
