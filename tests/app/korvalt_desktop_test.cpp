#include <windows.h>
#include <commctrl.h>

#include "app/main_window.h"
#include "app/numbers.h"
#include "support.h"

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

// Korvalt, started with a list file, types it into another program, the key recorder, in whole
// passes until J, and the tray icon's double click (not a single or a right click) brings the
// window back as it was left.
TEST(KorvaltExe, PlaysIntoAnotherProgramStopsOnJAndComesBackOnTheTrayDoubleClick) {
    const std::string log = TempPath("e2e.log"), list = TempPath("e2e.txt");
    std::ofstream(list, std::ios::binary) << "0\t" << kTypedText << "\r\n300\tReturn\r\n";
    std::unique_ptr<Process> recorder = StartKeyRecorder(log);
    ASSERT_TRUE(PollUntil([&] { return FindWindowA(nullptr, kRecorderTitle) != nullptr; }));
    Process korvalt(BesideThisExe("korvalt.exe") + " \"" + list + "\"");
    HWND window = nullptr;
    // The window shows before its gadgets exist; the last one made tells that all are there.
    ASSERT_TRUE(PollUntil([&] {
        window = FindWindowA(nullptr, kMainTitle);
        return IsWindowVisible(window) && GetDlgItem(window, kGadgetWebLabel);
    }));
    const auto shown = [&] { return IsWindowVisible(window) != 0; };
    // A run holds Korvalt's thread, which then answers no message.
    const auto answers = [&](DWORD ms) {
        return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, ms, nullptr) != 0;
    };
    PostMessageA(GetDlgItem(window, kGadgetRepeatEnable), BM_CLICK, 0, 0);
    // "Start..." by the button's own notification (BM_CLICK does nothing in a window that is not
    // active); then the recorder takes the focus, as the program the user types into.
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(kGadgetStart, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, kGadgetStart)));
    ASSERT_TRUE(
        PollUntil([&] { return !shown() && IsWindowVisible(FindWindowA(nullptr, kTrayWindow)); }));
    RunOnHost(std::string("xdotool search --name '^") + kRecorderTitle + "$' windowfocus");
    ASSERT_TRUE(
        PollUntil([&] { return GetForegroundWindow() == FindWindowA(nullptr, kRecorderTitle); }));
    RunOnHost(kPressCtrlU);
    EXPECT_FALSE(answers(500)) << "no run";
    EXPECT_TRUE(PollUntil([&] { return Typed(log).size() > 2 * kTypedText.size(); }));
    RunOnHost(kPressJ);
    EXPECT_TRUE(answers(kLimitMs)) << "the run goes on";
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
    EXPECT_EQ(korvalt.ExitCode(kLimitMs), 0u);
    recorder.reset();
    DeleteFileA(log.c_str());
    DeleteFileA(list.c_str());
}

// As task managers and taskkill without /F ask a window to close.
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

}  // namespace
}  // namespace kv
