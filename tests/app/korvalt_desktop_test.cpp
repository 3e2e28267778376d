#include <windows.h>
#include <commctrl.h>

#include "app/main_window.h"
#include "app/numbers.h"
#include "support.h"
#include "toolkit/sessionend.h"

// Korvalt's own exe in a process of its own, typing into the key recorder of a third process while
// xdotool plays the user on the X display.

namespace kv {
namespace {

using namespace test;

constexpr DWORD kLimitMs = 15000;
constexpr DWORD kSettleMs = 1000;
constexpr char kRecorderTitle[] = "Key recorder";
constexpr char kTrayWindow[] = "Wine System Tray";
const std::string kTypedText = "Hallo Welt! \"\xA7$%&/()=";

// Held as a hand holds them: under Wine only the focused program sees that a key was pressed
// since the last query, so Korvalt sees the keys only while they are down.
constexpr char kPressCtrlU[] = "xdotool keydown ctrl keydown u sleep 0.4 keyup u keyup ctrl";
constexpr char kPressJ[] = "xdotool keydown j sleep 0.1 keyup j";

// The only icon sits at the start of the tray window's client area.
void ClickTrayIcon(const std::string& clicks) {
    POINT icon = {GetSystemMetrics(SM_CXSMICON) / 2 + 2, GetSystemMetrics(SM_CYSMICON) / 2 + 2};
    ClientToScreen(FindWindowA(nullptr, kTrayWindow), &icon);
    RunOnHost("xdotool mousemove " + std::to_string(icon.x) + " " + std::to_string(icon.y) +
              " click " + clicks);
}

// The key recorder, then Korvalt with `steps` in a list file named on its command line; Korvalt's
// main window once its last gadget exists (the window shows before them).
HWND StartWithList(const std::string& steps, const std::string& list, const std::string& log,
                   std::unique_ptr<Process>& recorder, std::unique_ptr<Process>& korvalt) {
    std::ofstream(list, std::ios::binary) << steps;
    recorder = StartKeyRecorder(log);
    if (!PollUntil([&] { return FindWindowA(nullptr, kRecorderTitle) != nullptr; }))
        return nullptr;
    korvalt = std::make_unique<Process>(BesideThisExe("korvalt.exe") + " \"" + list + "\"");
    HWND window = nullptr;
    PollUntil([&] {
        window = FindWindowA(nullptr, kMainTitle);
        return IsWindowVisible(window) && GetDlgItem(window, kGadgetWebLabel);
    });
    return window;
}

// "Start..." by the button's own notification (BM_CLICK does nothing in a window that is not
// active).
void Start(HWND window) {
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(kGadgetStart, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, kGadgetStart)));
}

// Armed, with the recorder in front as the program the user types into.
bool Arm(HWND window) {
    Start(window);
    if (!PollUntil([&] {
            return !IsWindowVisible(window) && IsWindowVisible(FindWindowA(nullptr, kTrayWindow));
        }))
        return false;
    RunOnHost(std::string("xdotool search --name '^") + kRecorderTitle + "$' windowfocus");
    return PollUntil([] { return GetForegroundWindow() == FindWindowA(nullptr, kRecorderTitle); });
}

// A run holds Korvalt's thread, which then answers no message.
bool Answers(HWND window, DWORD ms) {
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, ms, nullptr) != 0;
}

// Korvalt, started with a list file, types it into another program, the key recorder, in whole
// passes until J, and the tray icon's double click (not a single or a right click) brings the
// window back as it was left.
TEST(KorvaltExe, PlaysIntoAnotherProgramStopsOnJAndComesBackOnTheTrayDoubleClick) {
    const std::string log = TempPath("e2e.log"), list = TempPath("e2e.txt");
    std::unique_ptr<Process> recorder, korvalt;
    const HWND window =
        StartWithList("0\t" + kTypedText + "\r\n300\tReturn\r\n", list, log, recorder, korvalt);
    ASSERT_TRUE(window);
    const auto shown = [&] { return IsWindowVisible(window) != 0; };
    PostMessageA(GetDlgItem(window, kGadgetRepeatEnable), BM_CLICK, 0, 0);
    ASSERT_TRUE(Arm(window));
    RunOnHost(kPressCtrlU);
    EXPECT_FALSE(Answers(window, 500)) << "no run";
    EXPECT_TRUE(PollUntil([&] { return Typed(log).size() > 2 * kTypedText.size(); }));
    RunOnHost(kPressJ);
    EXPECT_TRUE(Answers(window, kLimitMs)) << "the run goes on";
    for (const char* clicks : {"1", "3"}) {
        ClickTrayIcon(clicks);
        EXPECT_FALSE(PollUntil(shown, kSettleMs));
    }
    ClickTrayIcon("--repeat 2 --delay 80 1");
    ASSERT_TRUE(PollUntil(shown, kLimitMs));
    // The user's J reaches the recorder too, as whatever character the run's Shift or Ctrl makes
    // of it; the run stopped within a pass.
    EXPECT_EQ(CountLines(log, "down 4A "), 1u);
    const std::string typed = Typed(log);
    std::string passes;
    while (passes.size() < typed.size())
        passes += kTypedText + "\r";
    EXPECT_EQ(typed, passes.substr(0, typed.size()));
    EXPECT_EQ(SendMessageA(GetDlgItem(window, kGadgetRepeatEnable), BM_GETCHECK, 0, 0),
              BST_CHECKED);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(korvalt->ExitCode(kLimitMs), 0u);
    recorder.reset();
    DeleteFileA(log.c_str());
    DeleteFileA(list.c_str());
}

// A file named on the command line fills the list, whatever its name; one that cannot be taken is
// named in a message owned by the main window, which then opens empty.
TEST(KorvaltCommandLine, StartsWithTheFilesStepsOrSaysWhyNot) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    // "č" is not in code page 1252, whose best fit for it, "c", names another file.
    const std::wstring file = folder + std::wstring(L"korvalt-\u010D.txt");
    std::ofstream(file.c_str(), std::ios::binary) << "1\ta\r\n2\tb";
    std::ofstream((folder + std::wstring(L"korvalt-c.txt")).c_str(), std::ios::binary) << "1\ta";
    for (const std::wstring& name : {file, file + L".missing"}) {
        // Found beside this exe, where the platform looks first.
        Process korvalt(L"korvalt.exe \"" + name + L"\"");
        HWND window = nullptr;
        HWND box = nullptr;
        if (name != file) {
            ASSERT_TRUE(PollUntil([&] { return (box = FindWindowA("#32770", "Korvalt")); }));
            wchar_t text[512] = {};
            GetDlgItemTextW(box, 0xFFFF, text, 512);
            EXPECT_EQ(text, L"Die Datei \u201E" + name +
                                L"\u201C wurde nicht gefunden. Nichts wurde \u00FCbernommen.");
            EXPECT_EQ(GetWindow(box, GW_OWNER), FindWindowA(nullptr, kMainTitle));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
        ASSERT_TRUE(PollUntil([&] {
            window = FindWindowA(nullptr, kMainTitle);
            return IsWindowVisible(window) && GetDlgItem(window, kGadgetWebLabel) && !IsWindow(box);
        }));
        EXPECT_EQ(SendMessageA(GetDlgItem(window, kGadgetStepList), LVM_GETITEMCOUNT, 0, 0),
                  name == file ? 2 : 0);
    }
    DeleteFileW(file.c_str());
    DeleteFileW((folder + std::wstring(L"korvalt-c.txt")).c_str());
}

// With Strg+F9 and Pause in its settings file, Ctrl+E shows them; a chord another program holds is
// named and Korvalt stays shown; armed, Ctrl+U does nothing, Ctrl+F9 plays the list into another
// program and Pause stops the endless run. The session ending during the next run, which holds
// Ctrl, stops it; asked to close during the one after (as taskkill without /F asks), Korvalt
// ends. Neither leaves a key the run pressed down.
TEST(KorvaltExe, TheChosenTriggerPlaysAndTheChosenStopKeyStops) {
    constexpr char kPressCtrlF9[] = "xdotool keydown ctrl keydown F9 sleep 0.2 keyup F9 keyup ctrl";
    const std::string log = TempPath("chords.log"), list = TempPath("chords.txt");
    std::string ini = BesideThisExe("korvalt.ini");
    ini = ini.substr(1, ini.size() - 2);
    std::ofstream(ini, std::ios::binary) << "[Korvalt]\r\nTrigger=Strg+F9\r\nStop=Pause\r\n";
    std::unique_ptr<Process> recorder, korvalt;
    const HWND window =
        StartWithList("0\tAbC\r\n0\tStrg an\r\n400\tStrg aus\r\n", list, log, recorder, korvalt);
    RunOnHost(std::string("xdotool search --name '^") + kMainTitle +
              "$' windowfocus --sync key ctrl+e");
    HWND settings = nullptr;
    // Korvalt shows its window before it reads the file, and the settings window after.
    const bool read = PollUntil([&] {
        settings = FindWindowA(nullptr, "Einstellungen");
        return GetDlgItem(settings, kGadgetSettingsCancel) != nullptr;
    });
    DeleteFileA(ini.c_str());
    ASSERT_TRUE(window && read);
    char stop[32] = {};
    SendMessageA(GetDlgItem(settings, kGadgetSettingsStop), WM_GETTEXT, sizeof stop,
                 reinterpret_cast<LPARAM>(stop));
    EXPECT_STREQ(stop, "Pause");
    PostMessageA(settings, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PollUntil([&] { return !IsWindow(settings); }));
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL, VK_F9));
    Start(window);
    HWND box = nullptr;
    ASSERT_TRUE(PollUntil([&] { return (box = FindWindowA("#32770", "Korvalt")); }));
    char text[512] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    EXPECT_NE(std::string(text).find("Tastenkombination Strg+F9 ist schon von einem anderen"),
              std::string::npos)
        << text;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    UnregisterHotKey(nullptr, 1);
    EXPECT_TRUE(IsWindowVisible(window));
    PostMessageA(GetDlgItem(window, kGadgetRepeatEnable), BM_CLICK, 0, 0);
    ASSERT_TRUE(Arm(window));
    RunOnHost(kPressCtrlU);
    EXPECT_TRUE(Answers(window, kSettleMs)) << "Ctrl+U started a run";
    EXPECT_EQ(Typed(log), "");
    RunOnHost(kPressCtrlF9);
    EXPECT_TRUE(PollUntil([&] { return Typed(log).size() > 10; }));
    RunOnHost("xdotool keydown Pause sleep 0.1 keyup Pause");
    EXPECT_TRUE(Answers(window, kLimitMs)) << "Pause did not stop the run";
    const std::string typed = Typed(log);
    Sleep(kSettleMs);
    EXPECT_EQ(Typed(log), typed);
    EXPECT_EQ(typed.substr(0, 9), "AbCAbCAbC");
    for (const bool sessionEnds : {true, false}) {
        const size_t before = Typed(log).size();
        RunOnHost(kPressCtrlF9);
        ASSERT_TRUE(PollUntil([&] {
            return Typed(log).size() > before && GetAsyncKeyState(VK_CONTROL) < 0;
        })) << sessionEnds;
        if (sessionEnds) {
            const HWND watcher = FindWindowA(kSessionEndWindowClass, nullptr);
            for (const UINT message : {WM_QUERYENDSESSION, WM_ENDSESSION})
                EXPECT_TRUE(
                    SendMessageTimeoutA(watcher, message, TRUE, 0, SMTO_NORMAL, 500, nullptr));
            EXPECT_TRUE(Answers(window, kLimitMs)) << "the session's end did not stop the run";
        } else {
            PostMessageA(window, WM_CLOSE, 0, 0);
            EXPECT_EQ(korvalt->ExitCode(kLimitMs), 0u);
        }
        Sleep(200);
        for (const int key : {VK_CONTROL, VK_SHIFT, int{'A'}, int{'B'}, int{'C'}})
            EXPECT_FALSE(GetAsyncKeyState(key) & 0x8000) << key;
    }
    recorder.reset();
    DeleteFileA(log.c_str());
    DeleteFileA(list.c_str());
}

}  // namespace
}  // namespace kv
