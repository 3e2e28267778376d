#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "engine/input.h"
#include "engine/keys.h"
#include "engine/sendkey.h"

namespace {

// Every key event and wait SendKey makes, in order, against a clock that moves only by waits.
struct Recording {
    std::vector<std::string> log;
    int64_t clock = 1000000;
};
Recording recording;

std::string Hex(unsigned value) {
    char text[8];
    wsprintfA(text, "%02X", value);
    return text;
}

// A scan code unlike any virtual key, so the test sees it came from the layout lookup.
uint8_t FakeScanCode(uint8_t virtualKey) {
    return static_cast<uint8_t>(virtualKey ^ 0x80);
}

void RecordKeyEvent(uint8_t virtualKey, uint8_t scanCode, uint32_t flags) {
    std::string entry = (flags & KEYEVENTF_KEYUP) ? "up " : "down ";
    entry += Hex(virtualKey) + " scan " + Hex(scanCode);
    if (flags & KEYEVENTF_EXTENDEDKEY) {
        entry += " ext";
    }
    if (flags & ~static_cast<uint32_t>(KEYEVENTF_KEYUP | KEYEVENTF_EXTENDEDKEY)) {
        entry += " other flags";
    }
    recording.log.push_back(entry);
}

int64_t FakeNow() {
    return recording.clock;
}

void RecordWait(int64_t deadline) {
    recording.log.push_back("wait " + std::to_string(deadline - recording.clock));
    if (deadline > recording.clock) {
        recording.clock = deadline;
    }
}

int16_t NoKeyDown(int) {
    return 0;
}

void NoYield() {}

class SendKeyTest : public testing::Test {
  protected:
    void SetUp() override {
        recording = Recording();
        kv::SetInput({RecordKeyEvent, FakeScanCode, NoKeyDown, FakeNow, RecordWait, NoYield});
    }
    void TearDown() override { kv::SetInput(kv::PlatformInput()); }

    static std::vector<std::string> Send(const std::string& key) {
        recording.log.clear();
        kv::SendKey(key);
        return recording.log;
    }

    static std::vector<std::string> Press(unsigned virtualKey, const char* extended = "") {
        const std::string key = Hex(virtualKey) + " scan " + Hex(virtualKey ^ 0x80) + extended;
        return {"down " + key, "wait 40000", "up " + key};
    }

    static std::vector<std::string> ShiftPress(unsigned virtualKey) {
        std::vector<std::string> events = Press(virtualKey);
        events.insert(events.begin(), "down 10 scan 90");
        events.push_back("up 10 scan 90");
        return events;
    }
};

TEST_F(SendKeyTest, PlainCharactersPressAndReleaseTheirKey) {
    EXPECT_EQ(Send("a"), Press(0x41));
    EXPECT_EQ(Send("z"), Press(0x5A));
    EXPECT_EQ(Send("0"), Press(0x30));
    EXPECT_EQ(Send("7"), Press(0x37));
    EXPECT_EQ(Send(" "), Press(0x20));
    EXPECT_EQ(Send("|"), Press(0x6C));
}

TEST_F(SendKeyTest, ShiftSetIsWrappedInShift) {
    EXPECT_EQ(Send("A"), ShiftPress(0x41));
    EXPECT_EQ(Send("Z"), ShiftPress(0x5A));
    EXPECT_EQ(Send("="), ShiftPress(0x30));
    EXPECT_EQ(Send("!"), ShiftPress(0x31));
    EXPECT_EQ(Send("\""), ShiftPress(0x32));
    EXPECT_EQ(Send("§"), ShiftPress(0x33));
    EXPECT_EQ(Send("/"), ShiftPress(0x37));
    EXPECT_EQ(Send(")"), ShiftPress(0x39));
}

TEST_F(SendKeyTest, NamedKeysCarryTheExtendedFlagWhereTheyHaveIt) {
    EXPECT_EQ(Send("RETURN"), Press(0x0D));
    EXPECT_EQ(Send("Tab"), Press(0x09));
    EXPECT_EQ(Send("BACK"), Press(0x08));
    EXPECT_EQ(Send("ESCAPE"), Press(0x1B));
    EXPECT_EQ(Send("F1"), Press(0x70));
    EXPECT_EQ(Send("F12"), Press(0x7B));
    EXPECT_EQ(Send("LEFT"), Press(0x25, " ext"));
    EXPECT_EQ(Send("RIGHT"), Press(0x27, " ext"));
    EXPECT_EQ(Send("UP"), Press(0x26, " ext"));
    EXPECT_EQ(Send("DOWN"), Press(0x28, " ext"));
    EXPECT_EQ(Send("HOME"), Press(0x24, " ext"));
    EXPECT_EQ(Send("END"), Press(0x23, " ext"));
    EXPECT_EQ(Send("NEXT"), Press(0x22, " ext"));
    EXPECT_EQ(Send("DELETE"), Press(0x2E, " ext"));
}

TEST_F(SendKeyTest, CtrlStaysDownAcrossCallsUntilReleased) {
    EXPECT_EQ(Send(kv::kTokenCtrlDown), std::vector<std::string>{"down 11 scan 91"});
    EXPECT_EQ(Send("c"), Press(0x43));
    EXPECT_EQ(Send("V"), ShiftPress(0x56));
    EXPECT_EQ(Send(kv::kTokenCtrlUp), std::vector<std::string>{"up 11 scan 91"});
}

TEST_F(SendKeyTest, LoneOrRepeatedCtrlTokensAreSentAsTheyCome) {
    EXPECT_EQ(Send(kv::kTokenCtrlUp), std::vector<std::string>{"up 11 scan 91"});
    EXPECT_EQ(Send(kv::kTokenCtrlDown), std::vector<std::string>{"down 11 scan 91"});
    EXPECT_EQ(Send(kv::kTokenCtrlDown), std::vector<std::string>{"down 11 scan 91"});
}

TEST_F(SendKeyTest, OtherTextsSendNothingAndDoNotWait) {
    for (const char* key : {"",         "#",     ".",  ",",  "-",      "+",       "?",   "ä",
                            "ß",        "\t",    "\r", "\n", "Return", "TAB",     "tab", "strg an",
                            "STRG AUS", "Space", "ab", "AB", "F13",    "RETURN ", "left"}) {
        EXPECT_EQ(Send(key), std::vector<std::string>{}) << '"' << key << '"';
    }
    EXPECT_EQ(recording.clock, 1000000);
}

}  // namespace
