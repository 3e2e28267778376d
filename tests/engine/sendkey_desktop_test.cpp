#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "engine/keys.h"
#include "engine/sendkey.h"
#include "support.h"

namespace {

using namespace kv::test;

struct Recording {
    // The recorder's key lines without their times: "down|up <virtual key> <scan code> <extended>",
    // each ended by a line feed.
    std::string keys;
    std::wstring characters;
    std::vector<long> holds;  // from each press but Shift's and Ctrl's to its release, in ms
};

// Whole lines only: the recorder may be writing the last one.
Recording ReadLog(const std::string& path) {
    Recording got;
    unsigned long code, time, pressedAt[256] = {};
    std::ifstream log(path);
    for (std::string line; std::getline(log, line) && !log.eof();) {
        if (std::sscanf(line.c_str(), "char %lx", &code) == 1)
            got.characters += static_cast<wchar_t>(code);
        if (std::sscanf(line.c_str(), "%*[downup] %lx %*x %*u %lu", &code, &time) < 2)
            continue;
        got.keys += line.substr(0, line.rfind(' ')) + "\n";
        if (line[0] == 'd')
            pressedAt[code & 0xFF] = time;
        else if (code != VK_SHIFT && code != VK_CONTROL)
            got.holds.push_back(static_cast<long>(time - pressedAt[code & 0xFF]));
    }
    return got;
}

// Into the key recorder, a window of another process. The characters prove the German layout's
// Shift set and that a text arrives as written, AltGr and dead-key characters included; the named
// keys' scan codes are the same in every layout.
TEST(SendKeyDesktop,
     KeysAndTextsArriveAsTheGermanLayoutTypesThemWithScanCodesExtendedBitsAndHolds) {
    const char* const namedKeys[][2] = {
        {"RETURN", "D 1C 0"}, {"Tab", "9 F 0"},     {"BACK", "8 E 0"},   {"ESCAPE", "1B 1 0"},
        {"LEFT", "25 4B 1"},  {"RIGHT", "27 4D 1"}, {"UP", "26 48 1"},   {"DOWN", "28 50 1"},
        {"HOME", "24 47 1"},  {"END", "23 4F 1"},   {"NEXT", "22 51 1"}, {"DELETE", "2E 53 1"},
        {"F1", "70 3B 0"},    {"F2", "71 3C 0"},    {"F3", "72 3D 0"},   {"F4", "73 3E 0"},
        {"F5", "74 3F 0"},    {"F6", "75 40 0"},    {"F7", "76 41 0"},   {"F8", "77 42 0"},
        {"F9", "78 43 0"},    {"F10", "79 44 0"},   {"F11", "7A 57 0"},  {"F12", "7B 58 0"}};
    const std::string text = "aA§/=Grüße aus Köln: a.b, x-y#+*?_;'\t@€{[\\~|<>^`´é";
    std::vector<std::string> keys = {kv::kTokenCtrlDown, "c", kv::kTokenCtrlUp};
    std::string named;
    for (const char character : text)
        keys.push_back(std::string(1, character));
    for (const auto& [key, event] : namedKeys) {
        keys.push_back(key);
        named += std::string("down ") + event + "\nup " + event + "\n";
    }
    const std::string log = "keys-" + std::to_string(GetCurrentProcessId()) + ".log";
    Recording got;
    {
        Process recorder(BesideThisExe("key_recorder.exe") + " \"" + log + "\" " +
                         std::to_string(GetCurrentProcessId()));
        ASSERT_TRUE(PollUntil([] {
            return GetForegroundWindow() &&
                   GetForegroundWindow() == FindWindowA(nullptr, "Key recorder");
        })) << "the recorder never got the focus";
        for (const std::string& key : keys)
            kv::SendKey(key);
        EXPECT_TRUE(PollUntil([&] {
            got = ReadLog(log);
            return got.keys.find(named) != std::string::npos;
        })) << "the named keys did not arrive in order";
    }
    DeleteFileA(log.c_str());
    // Ctrl+c, the text, RETURN, Tab, BACK, ESCAPE.
    EXPECT_EQ(got.characters, L"\3aA§/=Grüße aus Köln: a.b, x-y#+*?_;'\t@€{[\\~|<>^`´é\r\t\b\x1B");
    // The period went by the layout's own key, not as a character of its own.
    EXPECT_NE(got.keys.find("down BE 34 0\n"), std::string::npos);
    EXPECT_EQ(got.holds.size(), keys.size() - 2);
    for (const long hold : got.holds)  // event times are whole milliseconds
        EXPECT_TRUE(hold >= kv::kKeyHoldMs - 1 && hold <= 10 * kv::kKeyHoldMs) << hold;
}

}  // namespace
