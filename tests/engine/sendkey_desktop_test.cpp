#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/keys.h"
#include "engine/sendkey.h"
#include "runtime/delay.h"

namespace {

constexpr int64_t kTimeoutUs = 10000000;
// Event times are whole milliseconds.
constexpr long kHoldLowMs = kv::kKeyHoldMs - 1;
constexpr long kHoldHighMs = 10 * kv::kKeyHoldMs;

struct Recording {
    HWND window = nullptr;
    // The recorder's lines without their times: "down|up <virtual key> <scan code> <extended>".
    std::vector<std::string> keys;
    std::wstring characters;
    std::vector<long> holds;  // from each press but Shift's and Ctrl's to its release, in ms
};

// Whole lines only: the recorder may be writing the last one.
Recording ReadLog(const std::string& path) {
    Recording got;
    std::map<unsigned long, unsigned long> pressedAt;
    std::ifstream log(path);
    for (std::string line; std::getline(log, line) && !log.eof();) {
        char kind[8];
        unsigned long code, time;
        if (std::sscanf(line.c_str(), "window %lu", &code) == 1) {
            got.window = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(code));
        } else if (std::sscanf(line.c_str(), "char %lx", &code) == 1) {
            got.characters += static_cast<wchar_t>(code);
        } else if (std::sscanf(line.c_str(), "%7s %lx %*x %*u %lu", kind, &code, &time) == 3) {
            got.keys.push_back(line.substr(0, line.rfind(' ')));
            if (kind == std::string("down")) {
                pressedAt[code] = time;
            } else if (code != VK_SHIFT && code != VK_CONTROL) {
                got.holds.push_back(static_cast<long>(time - pressedAt[code]));
            }
        }
    }
    return got;
}

// The key_recorder helper as a process of its own, ended with the test however it ends.
class KeyRecorder {
  public:
    KeyRecorder() {
        char folder[MAX_PATH], log[MAX_PATH], exe[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        GetTempFileNameA(folder, "key", 0, log);
        log_ = log;
        std::string command(exe, GetModuleFileNameA(nullptr, exe, MAX_PATH));
        command = "\"" + command.substr(0, command.find_last_of("\\/") + 1) +
                  "key_recorder.exe\" \"" + log_ + "\" " + std::to_string(GetCurrentProcessId());
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process_);
    }
    ~KeyRecorder() {
        TerminateProcess(process_.hProcess, 0);
        WaitForSingleObject(process_.hProcess, 5000);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
        DeleteFileA(log_.c_str());
    }
    KeyRecorder(const KeyRecorder&) = delete;
    KeyRecorder& operator=(const KeyRecorder&) = delete;

    // The log once `done` holds of it, or once the time is up.
    template <typename Condition>
    Recording ReadUntil(Condition done) const {
        const int64_t deadline = kv::PreciseNow() + kTimeoutUs;
        Recording got = ReadLog(log_);
        while (!done(got) && kv::PreciseNow() < deadline) {
            Sleep(10);
            got = ReadLog(log_);
        }
        return got;
    }

  private:
    std::string log_;
    PROCESS_INFORMATION process_ = {};
};

// The characters prove the German layout's Shift set and that a text arrives as written, AltGr and
// dead-key characters included; the named keys' scan codes are the same in every layout.
TEST(SendKeyDesktop,
     KeysAndTextsArriveAsTheGermanLayoutTypesThemWithScanCodesExtendedBitsAndHolds) {
    const std::pair<const char*, const char*> namedKeys[] = {
        {"RETURN", "D 1C 0"}, {"Tab", "9 F 0"},     {"BACK", "8 E 0"},   {"ESCAPE", "1B 1 0"},
        {"LEFT", "25 4B 1"},  {"RIGHT", "27 4D 1"}, {"UP", "26 48 1"},   {"DOWN", "28 50 1"},
        {"HOME", "24 47 1"},  {"END", "23 4F 1"},   {"NEXT", "22 51 1"}, {"DELETE", "2E 53 1"},
        {"F1", "70 3B 0"},    {"F2", "71 3C 0"},    {"F3", "72 3D 0"},   {"F4", "73 3E 0"},
        {"F5", "74 3F 0"},    {"F6", "75 40 0"},    {"F7", "76 41 0"},   {"F8", "77 42 0"},
        {"F9", "78 43 0"},    {"F10", "79 44 0"},   {"F11", "7A 57 0"},  {"F12", "7B 58 0"}};
    std::vector<std::string> keys = {
        "a", "A", "§", "/", "=", kv::kTokenCtrlDown, "c", kv::kTokenCtrlUp, "c"};
    const std::string text = "Grüße aus Köln: a.b, x-y#+*?_;'\t@€{[\\~|<>^`´é";
    for (const char character : text) {
        keys.push_back(std::string(1, character));
    }
    std::vector<std::string> named;
    for (const auto& [key, event] : namedKeys) {
        keys.push_back(key);
        named.push_back(std::string("down ") + event);
        named.push_back(std::string("up ") + event);
    }
    const auto endsWithNamed = [&](const Recording& got) {
        return got.keys.size() >= named.size() &&
               std::equal(named.begin(), named.end(), got.keys.end() - named.size());
    };
    KeyRecorder recorder;
    const auto focused = [](const Recording& got) {
        return got.window && got.window == GetForegroundWindow();
    };
    ASSERT_TRUE(focused(recorder.ReadUntil(focused))) << "the recorder never got the focus";
    for (const std::string& key : keys) {
        kv::SendKey(key);
    }
    const Recording got = recorder.ReadUntil(endsWithNamed);
    EXPECT_TRUE(endsWithNamed(got));
    EXPECT_EQ(got.characters, std::wstring(L"aA§/=\x03") + L"c" +
                                  L"Grüße aus Köln: a.b, x-y#+*?_;'\t@€{[\\~|<>^`´é" +
                                  L"\r\t\b\x1B");
    // The period went by the layout's own key, not as a character of its own.
    EXPECT_NE(std::find(got.keys.begin(), got.keys.end(), "down BE 34 0"), got.keys.end());
    EXPECT_EQ(got.holds.size(), keys.size() - 2);
    for (const long hold : got.holds) {
        EXPECT_GE(hold, kHoldLowMs);
        EXPECT_LE(hold, kHoldHighMs);
    }
}

}  // namespace
