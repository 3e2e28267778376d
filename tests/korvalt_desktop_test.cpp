#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "app/main_window.h"
#include "app/numbers.h"

// Korvalt's own exe in a process of its own, typing into the key recorder of a third process while
// xdotool plays the user on the X display.

namespace kv {
namespace {

constexpr DWORD kPollMs = 20;
constexpr DWORD kStartLimitMs = 15000;
constexpr DWORD kTypingLimitMs = 20000;
constexpr DWORD kQuietMs = 1500;
constexpr DWORD kArmedTurnsMs = 300;
constexpr char kRecorderTitle[] = "Key recorder";
constexpr char kTrayWindow[] = "Wine System Tray";
// Held as a hand holds them: under Wine only the focused program sees that a key was pressed since
// the last query, so Korvalt sees the keys only while they are down.
constexpr char kHoldCtrlU[] = "xdotool keydown ctrl keydown u sleep 0.2 keyup u keyup ctrl";
constexpr char kHoldJ[] = "xdotool keydown j sleep 0.1 keyup j";
const std::string kTypedText = "Hallo Welt! \"\xA7$%&/()=";

bool PollUntil(DWORD limitMs, const std::function<bool()>& done) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > limitMs)
            return false;
        Sleep(kPollMs);
    }
    return true;
}

std::string BesideThisExe(const char* name) {
    char path[MAX_PATH];
    const std::string self(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return self.substr(0, self.find_last_of("\\/") + 1) + name;
}

// A Windows process, ended with the test however the test ends.
class Process {
  public:
    explicit Process(std::string commandLine) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started = {};
        if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &started)) {
            CloseHandle(started.hThread);
            process_ = started.hProcess;
        }
    }
    ~Process() {
        if (!process_)
            return;
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 5000);
        CloseHandle(process_);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // True once the process waits for input with none pending.
    bool Idle(DWORD limitMs) const { return WaitForInputIdle(process_, limitMs) == 0; }
    // The exit code once the process has ended within `limitMs`, else -1.
    long ExitCode(DWORD limitMs) const {
        DWORD code = 0;
        if (WaitForSingleObject(process_, limitMs) != WAIT_OBJECT_0)
            return -1;
        GetExitCodeProcess(process_, &code);
        return static_cast<long>(code);
    }

  private:
    HANDLE process_ = nullptr;
};

// Wine starts Unix programs as well but gives back no process to wait for, so the command
// leaves its exit status in a file.
int RunOnHost(const std::string& command) {
    static int serial = 0;
    const std::string status = "/tmp/korvalt-host-" + std::to_string(GetCurrentProcessId()) + "-" +
                               std::to_string(++serial);
    std::string dosStatus = "Z:" + status;
    for (char& character : dosStatus) {
        if (character == '/')
            character = '\\';
    }
    Process shell("/bin/sh -c \"" + command + "; echo $? >" + status + "\"");
    std::string text;
    PollUntil(kStartLimitMs, [&] {
        FILE* file = std::fopen(dosStatus.c_str(), "r");
        if (!file)
            return false;
        char line[16] = {};
        text = std::fgets(line, sizeof line, file) ? line : "";
        std::fclose(file);
        return !text.empty();
    });
    DeleteFileA(dosStatus.c_str());
    return text.empty() ? -1 : std::atoi(text.c_str());
}

// The characters the key recorder received, from its log.
class Recorder {
  public:
    Recorder()
        : log_(TempFile()),
          process_("\"" + BesideThisExe("key_recorder.exe") + "\" \"" + log_ + "\" " +
                   std::to_string(GetCurrentProcessId())) {}
    ~Recorder() { DeleteFileA(log_.c_str()); }

    HWND Window() const { return FindWindowA(nullptr, kRecorderTitle); }

    // Printable characters only: the user's Ctrl+U arrives as a control character.
    std::string Typed() const {
        std::string typed;
        FILE* file = std::fopen(log_.c_str(), "r");
        if (!file)
            return typed;
        char line[128];
        while (std::fgets(line, sizeof line, file)) {
            unsigned character = 0;
            if (std::sscanf(line, "char %x", &character) == 1 &&
                (character >= ' ' || character == '\r')) {
                typed += static_cast<char>(character);
            }
        }
        std::fclose(file);
        return typed;
    }

    // What has been typed once nothing more has come for a while.
    std::string TypedOnceQuiet() const {
        std::string typed = Typed();
        PollUntil(kTypingLimitMs, [&] {
            Sleep(kQuietMs);
            const std::string later = Typed();
            const bool quiet = later == typed;
            typed = later;
            return quiet;
        });
        return typed;
    }

  private:
    static std::string TempFile() {
        char folder[MAX_PATH];
        char file[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        GetTempFileNameA(folder, "e2e", 0, file);
        return file;
    }

    std::string log_;
    Process process_;
};

HWND Gadget(HWND window, ObjectNumber gadget) {
    return GetDlgItem(window, gadget);
}

std::string Text(HWND control) {
    char text[256] = {};
    SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

// Fills the fields, turns Korvalt's loop once so that "Add" follows the key field, and adds.
void AddStep(HWND window, const char* pause, const std::string& key) {
    const LRESULT rows = SendMessageA(Gadget(window, kGadgetStepList), LVM_GETITEMCOUNT, 0, 0);
    SendMessageA(Gadget(window, kGadgetPause), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(pause));
    SendMessageA(Gadget(window, kGadgetKey), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(key.c_str()));
    PostMessageA(window, WM_NULL, 0, 0);
    ASSERT_TRUE(
        PollUntil(kStartLimitMs, [&] { return IsWindowEnabled(Gadget(window, kGadgetAdd)); }));
    PostMessageA(Gadget(window, kGadgetAdd), BM_CLICK, 0, 0);
    ASSERT_TRUE(PollUntil(kStartLimitMs, [&] {
        return SendMessageA(Gadget(window, kGadgetStepList), LVM_GETITEMCOUNT, 0, 0) == rows + 1;
    }));
}

TEST(Korvalt, ArmsTypesIntoAnotherProgramStopsOnJAndComesBackOnTheTrayDoubleClick) {
    Recorder recorder;
    ASSERT_TRUE(PollUntil(kStartLimitMs, [&] { return recorder.Window() != nullptr; }));
    Process korvalt("\"" + BesideThisExe("korvalt.exe") + "\"");
    ASSERT_TRUE(korvalt.Idle(kStartLimitMs));
    HWND window = FindWindowA(nullptr, kMainTitle);
    ASSERT_TRUE(IsWindowVisible(window));

    AddStep(window, "0", kTypedText);
    AddStep(window, "300", "Return");
    PostMessageA(Gadget(window, kGadgetRepeatEnable), BM_CLICK, 0, 0);
    ASSERT_TRUE(PollUntil(kStartLimitMs,
                          [&] { return IsWindowEnabled(Gadget(window, kGadgetRepeatCount)); }));
    RECT before;
    GetWindowRect(window, &before);
    const std::string keyField = Text(Gadget(window, kGadgetKey));

    PostMessageA(Gadget(window, kGadgetStart), BM_CLICK, 0, 0);
    ASSERT_TRUE(PollUntil(kStartLimitMs, [&] { return !IsWindowVisible(window); }));
    ASSERT_TRUE(PollUntil(kStartLimitMs,
                          [&] { return IsWindowVisible(FindWindowA(nullptr, kTrayWindow)); }));

    ASSERT_EQ(
        RunOnHost(std::string("xdotool search --name '^") + kRecorderTitle + "$' windowfocus"), 0);
    ASSERT_TRUE(
        PollUntil(kStartLimitMs, [&] { return GetForegroundWindow() == recorder.Window(); }));
    ASSERT_EQ(RunOnHost(kHoldCtrlU), 0);

    const std::string pass = kTypedText + "\r";
    ASSERT_TRUE(PollUntil(kTypingLimitMs, [&] { return recorder.Typed().size() > pass.size(); }))
        << recorder.Typed();
    ASSERT_EQ(RunOnHost(kHoldJ), 0);
    std::string typed = recorder.TypedOnceQuiet();
    // The user's j reaches the recorder as well (as a J while a capital is typed); the run ended
    // at the pause after a text.
    const size_t stop = typed.find_first_of("jJ");
    ASSERT_NE(stop, std::string::npos) << typed;
    typed.erase(stop, 1);
    ASSERT_EQ(typed.size() % pass.size(), kTypedText.size()) << typed;
    for (size_t at = 0; at < typed.size(); at += pass.size()) {
        EXPECT_EQ(typed.substr(at, pass.size()),
                  typed.size() - at > kTypedText.size() ? pass : kTypedText);
    }

    // The only icon sits at the start of the tray window's client area.
    POINT icon = {GetSystemMetrics(SM_CXSMICON) / 2 + 2, GetSystemMetrics(SM_CYSMICON) / 2 + 2};
    ClientToScreen(FindWindowA(nullptr, kTrayWindow), &icon);
    const std::string onIcon =
        "xdotool mousemove " + std::to_string(icon.x) + " " + std::to_string(icon.y);
    ASSERT_EQ(RunOnHost(onIcon + " click 3 sleep 0.6 click 1"), 0);
    Sleep(kArmedTurnsMs);
    EXPECT_FALSE(IsWindowVisible(window));
    ASSERT_EQ(RunOnHost(onIcon + " click --repeat 2 --delay 80 1"), 0);
    ASSERT_TRUE(PollUntil(kStartLimitMs, [&] { return IsWindowVisible(window) != 0; }));
    RECT after;
    GetWindowRect(window, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_EQ(SendMessageA(Gadget(window, kGadgetStepList), LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(Text(Gadget(window, kGadgetKey)), keyField);
    EXPECT_EQ(SendMessageA(Gadget(window, kGadgetRepeatEnable), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(Text(Gadget(window, kGadgetRepeatCount)), "-1");
    EXPECT_TRUE(PollUntil(kStartLimitMs,
                          [&] { return !IsWindowVisible(FindWindowA(nullptr, kTrayWindow)); }));

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(korvalt.ExitCode(kStartLimitMs), 0);
}

}  // namespace
}  // namespace kv
