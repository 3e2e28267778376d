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

// The scan code is unlike any virtual key, so the test sees it came from the layout lookup.
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
    [] {}};

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

TEST(SendKey, CharactersPressTheirKeyShiftedForTheShiftSetAndOthersSendNothing) {
    std::map<unsigned char, Events> typed = {{' ', Press(0x20)}, {'|', Press(0x6C)}};
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
        const auto found = typed.find(static_cast<unsigned char>(byte));
        EXPECT_EQ(Send(std::string(1, static_cast<char>(byte))),
                  found == typed.end() ? Events{} : found->second)
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
