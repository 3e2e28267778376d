#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <utility>

#include "app/main_window.h"
#include "app/numbers.h"
#include "app/playback.h"
#include "app/record.h"
#include "support.h"
#include "toolkit/gadget.h"
#include "toolkit/internal.h"
#include "toolkit/toolkit.h"
#include "toolkit/window.h"

// The program's main window in this process records and plays while xdotool types into the key
// recorder, a window of another process: Wine's hooks see only keys that reach one of its windows.

namespace kv {
namespace {

using namespace test;
using Action = std::function<void()>;

// Each action runs on a timer tick, in a loop of the program, once its condition holds.
std::vector<std::pair<std::function<bool()>, Action>> script;
std::unique_ptr<Process> host;

void CALLBACK RunScript(HWND, UINT, UINT_PTR, DWORD) {
    if (!script.empty() && script.front().first())
        std::exchange(script, {script.begin() + 1, script.end()}).front().second();
}

// The key recorder takes the focus (this program's window, shown again, had it) for a command.
std::string FocusRecorder() {
    SetForegroundWindow(FindWindowA(nullptr, "Key recorder"));
    return "xdotool search --name '^Key recorder$' windowfocus; sleep 1.5; ";
}

// Not waited for.
Action OnHost(const std::string& command) {
    return [=] {
        host = std::make_unique<Process>("/bin/sh -c \"" + FocusRecorder() + command + "\"");
    };
}

Action Post(UINT message, WPARAM wParam, LPARAM lParam) {
    return [=] { PostMessageA(WindowID(kMainWindow), message, wParam, lParam); };
}

// The recorder's key events as ("down D", time), or its characters as ("61", time).
std::vector<std::pair<std::string, long>> Logged(const char* path, bool characters) {
    std::vector<std::pair<std::string, long>> lines;
    std::ifstream file(path);
    long time;
    for (std::string kind, key, scan, extended; file >> kind >> key >> scan >> extended >> time;)
        if ((kind == "char") == characters)
            lines.push_back({characters ? key : kind + " " + key, time});
    return lines;
}

// Recorded: Steps with the pauses the recorder saw before their first events; the ways out by
// the tray icon and by a close request (which reaches the main loop) remove the hook as the stop
// key did, and later typing queues nothing; the Steps play back into the recorder.
TEST(Recording, TakesTheKeysWithTheirPausesLeavesNoHookAndPlaysThemBack) {
    const char log[] = "C:\\windows\\temp\\korvalt-record.log";  // the prefix is the test's own
    Process recorder(BesideThisExe("key_recorder.exe") + " \"" + log + "\" " +
                     std::to_string(GetCurrentProcessId()));
    ASSERT_TRUE(PollUntil([] { return FindWindowA(nullptr, "Key recorder") != nullptr; }));
    StartToolkit();
    BuildMainWindow();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, RunScript);
    // clang-format off
    const std::pair<Action, const char*> ways[] = {
        {OnHost("xdotool type --delay 60 'Hallo Welt'; sleep 0.3; xdotool key Return; sleep 0.3; "
                "xdotool key ctrl+Home; sleep 0.3; xdotool key j"), "5 Steps aufgenommen"},
        {Post(kMessageTrayCallback, kTrayIconRecording, WM_LBUTTONDBLCLK), "0 Steps aufgenommen"},
        {Post(WM_CLOSE, 0, 0), "0 Steps aufgenommen"}};
    // clang-format on
    for (const auto& [way, status] : ways) {
        script = {{KeyboardHookInstalled, way}};
        PostMessageA(WindowID(kMainWindow), WM_COMMAND, kMenuItemRecord, 0);
        EXPECT_TRUE(PollUntil([] { return WindowEvent(50) == kEventMenu; }) &&
                    HandleMainEvent(kEventMenu));
        EXPECT_TRUE(script.empty() && !KeyboardHookInstalled() &&
                    IsWindowVisible(WindowID(kMainWindow)));
        EXPECT_EQ(GetGadgetText(kGadgetWebLabel), status);
    }
    EXPECT_TRUE(PollUntil([] { return WindowEvent(50) == kEventCloseWindow; }, 3000));
    RunOnHost(FocusRecorder() + "xdotool type abc");
    WindowEvent(500);
    EXPECT_EQ(HookedKeyCount(), 0u);

    const auto typed = Logged(log, false);
    std::string keys;
    for (int32_t row = 0; row < CountGadgetItems(kGadgetStepList); ++row)
        keys += GetGadgetItemText(kGadgetStepList, row, 1) + ";";
    EXPECT_EQ(keys, "Hallo Welt;Return;Strg an;Home;Strg aus;");
    int32_t row = 0;
    for (const char* first : {"down D", "down 11", "down 24", "up 11"}) {
        const auto at = std::find_if(typed.begin() + 1, typed.end(),
                                     [&](auto& line) { return line.first == first; });
        ASSERT_NE(at, typed.end()) << first;
        EXPECT_NEAR(std::stol(GetGadgetItemText(kGadgetStepList, ++row, 0)),
                    at->second - at[-1].second, 30)
            << first;
    }

    script = {{[] { return !IsWindowVisible(WindowID(kMainWindow)); },
               OnHost("xdotool keydown ctrl keydown u sleep 0.4 keyup u keyup ctrl")},
              {[&] { return Logged(log, false).size() > typed.size() + 20; },
               Post(kMessageTrayCallback, kTrayIconPlayback, WM_LBUTTONDBLCLK)}};
    RunPlayback();
    std::string text;
    for (const auto& [character, time] : Logged(log, true))
        if (character != "15")  // the user's Ctrl+U
            text += static_cast<char>(std::stoi(character, nullptr, 16));
    EXPECT_EQ(text, "Hallo Welt\rjabcHallo Welt\r");
    KillTimer(nullptr, timer);
    StopToolkit();
    DeleteFileA(log);
}

}  // namespace
}  // namespace kv
