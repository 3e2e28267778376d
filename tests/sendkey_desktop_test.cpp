#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "engine/keys.h"
#include "engine/sendkey.h"
#include "runtime/delay.h"

namespace {

constexpr DWORD kPollMs = 10;
constexpr int64_t kStartTimeoutUs = 10000000;
constexpr int64_t kArrivalTimeoutUs = 5000000;
// Event times are whole milliseconds.
constexpr long kHoldLowMs = kv::kKeyHoldMs - 1;
constexpr long kHoldHighMs = 10 * kv::kKeyHoldMs;

struct Received {
    std::string kind;  // "down", "up" or "char"
    unsigned code;     // virtual key or character
    unsigned scanCode;
    bool extended;
    unsigned long time;  // milliseconds
};

class HandleOwner {
  public:
    explicit HandleOwner(HANDLE handle = nullptr) : handle_(handle) {}
    ~HandleOwner() {
        if (handle_) {
            CloseHandle(handle_);
        }
    }
    HandleOwner(const HandleOwner&) = delete;
    HandleOwner& operator=(const HandleOwner&) = delete;
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_;
};

bool PollUntil(int64_t timeoutUs, const std::function<bool()>& done) {
    const int64_t deadline = kv::PreciseNow() + timeoutUs;
    while (!done()) {
        if (kv::PreciseNow() > deadline) {
            return false;
        }
        Sleep(kPollMs);
    }
    return true;
}

std::string BesideThisExe(const char* name) {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1) + name;
}

std::string TempFilePath() {
    char folder[MAX_PATH];
    char file[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    GetTempFileNameA(folder, "key", 0, file);
    return file;
}

HANDLE StartRecorder(const std::string& logPath) {
    std::string commandLine = "\"" + BesideThisExe("key_recorder.exe") + "\" \"" + logPath + "\" " +
                              std::to_string(GetCurrentProcessId());
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
        return nullptr;
    }
    CloseHandle(started.hThread);
    return started.hProcess;
}

// The key_recorder helper as a process of its own, ended with the test however it ends.
class KeyRecorder {
  public:
    KeyRecorder() : logPath_(TempFilePath()), process_(StartRecorder(logPath_)) {}
    ~KeyRecorder() {
        if (process_.get()) {
            TerminateProcess(process_.get(), 0);
            WaitForSingleObject(process_.get(), 5000);
        }
        DeleteFileA(logPath_.c_str());
    }
    KeyRecorder(const KeyRecorder&) = delete;
    KeyRecorder& operator=(const KeyRecorder&) = delete;

    // The recorder's window once it has the keyboard focus, nullptr if it never gets it.
    HWND WaitForFocus() {
        HWND window = nullptr;
        PollUntil(kStartTimeoutUs, [&] {
            for (const std::string& line : Lines()) {
                unsigned long handle = 0;
                if (std::sscanf(line.c_str(), "window %lu", &handle) == 1) {
                    window = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(handle));
                }
            }
            if (window && GetForegroundWindow() != window) {
                SetForegroundWindow(window);
            }
            return window && GetForegroundWindow() == window;
        });
        return window && GetForegroundWindow() == window ? window : nullptr;
    }

    std::vector<Received> Messages() const {
        std::vector<Received> messages;
        for (const std::string& line : Lines()) {
            char kind[8];
            unsigned code, scanCode, extended;
            unsigned long time;
            if (std::sscanf(line.c_str(), "%7s %x %x %u %lu", kind, &code, &scanCode, &extended,
                            &time) == 5) {
                messages.push_back({kind, code, scanCode, extended != 0, time});
            }
        }
        return messages;
    }

    // Waits until `count` key releases have arrived.
    std::vector<Received> WaitForReleases(size_t count) const {
        std::vector<Received> messages;
        PollUntil(kArrivalTimeoutUs, [&] {
            messages = Messages();
            size_t releases = 0;
            for (const Received& message : messages) {
                releases += message.kind == "up";
            }
            return releases >= count;
        });
        return messages;
    }

  private:
    // Whole lines only: the recorder may be writing the last one.
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        HandleOwner file(CreateFileA(logPath_.c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.get() == INVALID_HANDLE_VALUE) {
            return lines;
        }
        std::string text;
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
            text.append(buffer, read);
        }
        for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
             start = end + 1) {
            lines.push_back(text.substr(start, end - start));
        }
        return lines;
    }

    std::string logPath_;
    HandleOwner process_;
};

std::vector<Received> OfKind(const std::vector<Received>& messages, const std::string& kind) {
    std::vector<Received> selected;
    for (const Received& message : messages) {
        if (message.kind == kind) {
            selected.push_back(message);
        }
    }
    return selected;
}

// A window another test process opens may take the focus in the middle of a run.
constexpr int kRunAttempts = 3;

class SendKeyDesktopTest : public testing::Test {
  protected:
    // A failed test must not leave a modifier down for the next one.
    void TearDown() override {
        keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
        keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
    }

    // Sends `keys` with the real SendKey into a fresh recorder until one run keeps the focus from
    // the first key to the last; the messages of that run once `releases` key releases are in.
    static std::vector<Received> Record(const std::vector<std::string>& keys, size_t releases) {
        for (int attempt = 0; attempt < kRunAttempts; ++attempt) {
            KeyRecorder recorder;
            const HWND window = recorder.WaitForFocus();
            if (window && SendWhileFocused(keys, window)) {
                std::vector<Received> messages = recorder.WaitForReleases(releases);
                if (GetForegroundWindow() == window) {
                    return messages;
                }
            }
        }
        ADD_FAILURE() << "the recorder never kept the focus for a whole run";
        return {};
    }

    // Every key sent must have been held; false when the recorder lost the focus on the way.
    static bool SendWhileFocused(const std::vector<std::string>& keys, HWND window) {
        for (const std::string& key : keys) {
            if (GetForegroundWindow() != window) {
                return false;
            }
            const int64_t start = kv::PreciseNow();
            kv::SendKey(key);
            if (kv::VirtualKeyOf(key)) {
                EXPECT_GE(kv::PreciseNow() - start, kv::kKeyHoldMs * 1000) << key;
            }
        }
        return GetForegroundWindow() == window;
    }

    // Every key went down and came up again after about the hold time.
    static void ExpectHolds(const std::vector<Received>& messages) {
        for (size_t i = 0; i < messages.size(); ++i) {
            if (messages[i].kind != "down" || messages[i].code == VK_SHIFT ||
                messages[i].code == VK_CONTROL) {
                continue;
            }
            bool released = false;
            for (size_t j = i + 1; j < messages.size() && !released; ++j) {
                if (messages[j].kind == "up" && messages[j].code == messages[i].code) {
                    released = true;
                    const long hold = static_cast<long>(messages[j].time - messages[i].time);
                    EXPECT_GE(hold, kHoldLowMs) << "key " << messages[i].code;
                    EXPECT_LE(hold, kHoldHighMs) << "key " << messages[i].code;
                }
            }
            EXPECT_TRUE(released) << "key " << messages[i].code;
        }
    }
};

TEST_F(SendKeyDesktopTest, CharactersArriveAsTheGermanLayoutTypesThem) {
    const std::vector<Received> messages = Record({"a", "A", "§", "/", "=", "7", " "}, 11);

    std::vector<unsigned> characters;
    for (const Received& message : OfKind(messages, "char")) {
        characters.push_back(message.code);
    }
    EXPECT_EQ(characters, (std::vector<unsigned>{'a', 'A', 0xA7, '/', '=', '7', ' '}));

    std::vector<std::string> keys;
    for (const Received& message : messages) {
        if (message.kind != "char") {
            keys.push_back(message.kind + " " + std::to_string(message.code));
        }
    }
    EXPECT_EQ(keys,
              (std::vector<std::string>{"down 65", "up 65",                           // a
                                        "down 16", "down 65", "up 65",   "up 16",     // A
                                        "down 16", "down 51", "up 51",   "up 16",     // §
                                        "down 16", "down 55", "up 55",   "up 16",     // /
                                        "down 16", "down 48", "up 48",   "up 16",     // =
                                        "down 55", "up 55",   "down 32", "up 32"}));  // 7, blank
    for (const Received& message : messages) {
        if (message.kind != "char") {
            EXPECT_EQ(message.scanCode, MapVirtualKeyA(message.code, MAPVK_VK_TO_VSC))
                << message.kind << " " << message.code;
            EXPECT_FALSE(message.extended) << message.kind << " " << message.code;
        }
    }
    ExpectHolds(messages);
}

struct NamedKey {
    const char* token;
    unsigned virtualKey;
    unsigned scanCode;
    bool extended;
};

// Scan codes of these keys are the same in every layout.
constexpr NamedKey kNamedKeys[] = {
    {"RETURN", 0x0D, 0x1C, false}, {"Tab", 0x09, 0x0F, false}, {"BACK", 0x08, 0x0E, false},
    {"ESCAPE", 0x1B, 0x01, false}, {"LEFT", 0x25, 0x4B, true}, {"RIGHT", 0x27, 0x4D, true},
    {"UP", 0x26, 0x48, true},      {"DOWN", 0x28, 0x50, true}, {"HOME", 0x24, 0x47, true},
    {"END", 0x23, 0x4F, true},     {"NEXT", 0x22, 0x51, true}, {"DELETE", 0x2E, 0x53, true},
    {"F1", 0x70, 0x3B, false},     {"F2", 0x71, 0x3C, false},  {"F3", 0x72, 0x3D, false},
    {"F4", 0x73, 0x3E, false},     {"F5", 0x74, 0x3F, false},  {"F6", 0x75, 0x40, false},
    {"F7", 0x76, 0x41, false},     {"F8", 0x77, 0x42, false},  {"F9", 0x78, 0x43, false},
    {"F10", 0x79, 0x44, false},    {"F11", 0x7A, 0x57, false}, {"F12", 0x7B, 0x58, false},
};

TEST_F(SendKeyDesktopTest, NamedKeysArriveWithScanCodeAndExtendedBit) {
    std::vector<std::string> tokens;
    for (const NamedKey& key : kNamedKeys) {
        tokens.push_back(key.token);
    }
    const std::vector<Received> messages = Record(tokens, tokens.size());

    const std::vector<Received> downs = OfKind(messages, "down");
    const std::vector<Received> ups = OfKind(messages, "up");
    ASSERT_EQ(downs.size(), tokens.size());
    ASSERT_EQ(ups.size(), tokens.size());
    for (size_t i = 0; i < tokens.size(); ++i) {
        const NamedKey& key = kNamedKeys[i];
        for (const Received& message : {downs[i], ups[i]}) {
            EXPECT_EQ(message.code, key.virtualKey) << key.token << " " << message.kind;
            EXPECT_EQ(message.scanCode, key.scanCode) << key.token << " " << message.kind;
            EXPECT_EQ(message.extended, key.extended) << key.token << " " << message.kind;
        }
    }
    std::vector<unsigned> characters;
    for (const Received& message : OfKind(messages, "char")) {
        characters.push_back(message.code);
    }
    EXPECT_EQ(characters, (std::vector<unsigned>{'\r', '\t', '\b', 0x1B}));
    ExpectHolds(messages);
}

TEST_F(SendKeyDesktopTest, KeysBetweenTheCtrlPairAreCtrlCombinations) {
    const std::vector<Received> messages =
        Record({kv::kTokenCtrlDown, "c", kv::kTokenCtrlUp, "c"}, 3);

    std::vector<std::string> events;
    for (const Received& message : messages) {
        events.push_back(message.kind + " " + std::to_string(message.code));
    }
    EXPECT_EQ(events, (std::vector<std::string>{"down 17", "down 67", "char 3", "up 67", "up 17",
                                                "down 67", "char 99", "up 67"}));
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.front().scanCode, 0x1Du);
    EXPECT_FALSE(messages.front().extended);
}

}  // namespace
