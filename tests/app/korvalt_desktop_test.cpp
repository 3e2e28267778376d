#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

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
// User and system time of the Korvalt process of this test's Wine prefix (other sessions' tests
// run theirs on the same host), in the host's ticks.
constexpr char kBusyTicks[] =
    "for p in $(pgrep -f 'korvalt[.]exe'); do "
    "grep -qxzF WINEPREFIX=$WINEPREFIX /proc/$p/environ && sed 's/.*) //' /proc/$p/stat; "
    "done | awk '{print $12 + $13}'";
constexpr double kTickMs = 10;
const std::string kTypedText = "Hallo Welt! \"\xA7$%&/()=";

std::vector<std::string> Lines(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

// Printable characters the recorder logged but the user's j (a J while a capital is typed): the
// user's Ctrl+U arrives as a control character.
std::string Typed(const std::string& log) {
    std::string typed;
    unsigned c = 0;
    for (const std::string& line : Lines(log))
        if (std::sscanf(line.c_str(), "char %x", &c) == 1 && (c >= ' ' || c == '\r') &&
            std::tolower(c) != 'j')
            typed += static_cast<char>(c);
    return typed;
}

size_t CountLines(const std::string& log, const std::string& start) {
    const std::vector<std::string> lines = Lines(log);
    return std::count_if(lines.begin(), lines.end(),
                         [&](const std::string& line) { return line.rfind(start, 0) == 0; });
}

// Korvalt and the key recorder, each in a process of its own.
class KorvaltExe : public ::testing::Test {
  protected:
    void SetUp() override {
        char folder[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        GetTempFileNameA(folder, "e2e", 0, log_);
        recorder_ = std::make_unique<Process>(BesideThisExe("key_recorder.exe") + " \"" + log_ +
                                              "\" " + std::to_string(GetCurrentProcessId()));
        ASSERT_TRUE(PollUntil([&] { return FindWindowA(nullptr, kRecorderTitle) != nullptr; }));
        korvalt_ = std::make_unique<Process>(BesideThisExe("korvalt.exe"));
        // The window shows before its gadgets exist; the last one made tells that all are there.
        ASSERT_TRUE(PollUntil([&] {
            window_ = FindWindowA(nullptr, kMainTitle);
            return IsWindowVisible(window_) && Gadget(kGadgetWebLabel);
        }));
    }
    void TearDown() override {
        korvalt_.reset();
        recorder_.reset();
        DeleteFileA(log_);
    }

    HWND Gadget(ObjectNumber gadget) const { return GetDlgItem(window_, gadget); }
    LRESULT Rows() const { return SendMessageA(Gadget(kGadgetStepList), LVM_GETITEMCOUNT, 0, 0); }

    // Fills the fields, turns Korvalt's loop once so that "Add" follows the key field, and adds.
    void AddStep(const char* pause, const std::string& key) const {
        const LRESULT rows = Rows();
        // WM_SETTEXT itself: SetWindowText does not reach a control of another process.
        SendMessageA(Gadget(kGadgetPause), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(pause));
        SendMessageA(Gadget(kGadgetKey), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(key.c_str()));
        PostMessageA(window_, WM_NULL, 0, 0);
        ASSERT_TRUE(PollUntil([&] { return IsWindowEnabled(Gadget(kGadgetAdd)); }));
        PostMessageA(Gadget(kGadgetAdd), BM_CLICK, 0, 0);
        ASSERT_TRUE(PollUntil([&] { return Rows() == rows + 1; }));
    }

    // "Start...", then the recorder takes the focus, as the program the user types into.
    void Arm() {
        // The button's own notification: BM_CLICK does nothing in a window that is not active.
        PostMessageA(window_, WM_COMMAND, MAKEWPARAM(kGadgetStart, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Gadget(kGadgetStart)));
        ASSERT_TRUE(PollUntil([&] {
            return !IsWindowVisible(window_) && IsWindowVisible(FindWindowA(nullptr, kTrayWindow));
        }));
        RunOnHost(std::string("xdotool search --name '^") + kRecorderTitle + "$' windowfocus");
        ASSERT_TRUE(PollUntil(
            [&] { return GetForegroundWindow() == FindWindowA(nullptr, kRecorderTitle); }));
    }

    // The only icon sits at the start of the tray window's client area.
    static void ClickTrayIcon(const std::string& clicks) {
        POINT icon = {GetSystemMetrics(SM_CXSMICON) / 2 + 2, GetSystemMetrics(SM_CYSMICON) / 2 + 2};
        ClientToScreen(FindWindowA(nullptr, kTrayWindow), &icon);
        RunOnHost("xdotool mousemove " + std::to_string(icon.x) + " " + std::to_string(icon.y) +
                  " click " + clicks);
    }

    // Korvalt's processor time over `ms`, in percent of one core. Wine reports no times of another
    // process, so they come from the host's view of it.
    static double ProcessorLoad(DWORD ms) {
        const std::string ticks = "/tmp/korvalt-ticks-" + std::to_string(GetCurrentProcessId());
        RunOnHost(std::string(kBusyTicks) + " > " + ticks + "; sleep " + std::to_string(ms / 1000) +
                  "; " + kBusyTicks + " >> " + ticks);
        const std::vector<std::string> lines = Lines("Z:" + ticks);
        EXPECT_EQ(lines.size(), 2u);
        return lines.size() != 2 ? 100.0
                                 : (std::stod(lines[1]) - std::stod(lines[0])) * kTickMs * 100 / ms;
    }

    // A run holds Korvalt's thread, which then answers no message.
    bool Answers(DWORD ms) const {
        return SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, ms, nullptr) != 0;
    }

    char log_[MAX_PATH] = {};
    std::unique_ptr<Process> recorder_;
    std::unique_ptr<Process> korvalt_;
    HWND window_ = nullptr;
};

// Held as a hand holds them: under Wine only the focused program sees that a key was pressed
// since the last query, so Korvalt sees the keys only while they are down.
constexpr char kPressCtrlU[] = "xdotool keydown ctrl keydown u sleep 0.4 keyup u keyup ctrl";
constexpr char kPressJ[] = "xdotool keydown j sleep 0.1 keyup j";

// Endless runs: over an empty list and over "Strg an" and "Strg aus", which wait for nothing and
// cost little processor time all the same, then over a text that arrives in whole passes. J ends
// each, and the tray icon's double click brings the window back as it was.
TEST_F(KorvaltExe, PlaysIntoAnotherProgramStopsOnJAndComesBackOnTheTrayDoubleClick) {
    // Made up by this program, another one than Korvalt: none does harm or acts as "Start...".
    for (HWND target : {window_, Gadget(kGadgetStepList)}) {
        for (UINT message : {WM_NOTIFY, WM_NCDESTROY, 12502, 13100, 13101, 13103, 13105}) {
            PostMessageA(target, message, kGadgetStart, 1);
            SendMessageTimeoutA(target, message, kGadgetStart, 1, SMTO_NORMAL, kSettleMs, nullptr);
        }
    }
    ASSERT_TRUE(Answers(kLimitMs));
    EXPECT_TRUE(IsWindowVisible(window_));
    PostMessageA(Gadget(kGadgetRepeatEnable), BM_CLICK, 0, 0);
    RECT before, after;
    GetWindowRect(window_, &before);
    const std::vector<std::vector<std::pair<const char*, std::string>>> lists = {
        {}, {{"0", "Strg an"}, {"0", "Strg aus"}}, {{"0", kTypedText}, {"300", "Return"}}};
    for (size_t list = 0; list < lists.size(); ++list) {
        SCOPED_TRACE(testing::Message() << "list " << list);
        for (const auto& [pause, key] : lists[list])
            AddStep(pause, key);
        Arm();
        const size_t ctrlReleases = CountLines(log_, "up 11 ");
        RunOnHost(kPressCtrlU);
        EXPECT_FALSE(Answers(500)) << "no run";
        if (list < 2) {
            EXPECT_LT(ProcessorLoad(2000), 10.0) << "running";
        }
        if (list == 1) {
            EXPECT_GT(CountLines(log_, "up 11 "), ctrlReleases + 100) << "the run sends no Ctrl";
        }
        if (list == 2) {
            EXPECT_TRUE(PollUntil([&] { return Typed(log_).size() > 2 * kTypedText.size(); }));
        }
        RunOnHost(kPressJ);
        EXPECT_TRUE(Answers(kLimitMs)) << "the run goes on";
        EXPECT_LT(ProcessorLoad(3000), 1.0) << "armed";
        // A single click and a right click leave Korvalt armed; the double click brings it back.
        for (const char* clicks : {"1", "3"}) {
            ClickTrayIcon(clicks);
            EXPECT_FALSE(PollUntil([&] { return IsWindowVisible(window_) != 0; }, kSettleMs));
        }
        ClickTrayIcon("--repeat 2 --delay 80 1");
        ASSERT_TRUE(PollUntil([&] { return IsWindowVisible(window_) != 0; }, kLimitMs));
    }
    // The user's J reaches the recorder too, as whatever character the run's Shift or Ctrl makes
    // of it; the text run stopped within a pass.
    EXPECT_EQ(CountLines(log_, "down 4A "), 3u);
    const std::string typed = Typed(log_);
    std::string passes;
    while (passes.size() < typed.size())
        passes += kTypedText + "\r";
    EXPECT_EQ(typed, passes.substr(0, typed.size()));
    GetWindowRect(window_, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_EQ(Rows(), 4);
    EXPECT_EQ(SendMessageA(Gadget(kGadgetRepeatEnable), BM_GETCHECK, 0, 0), BST_CHECKED);
    PostMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(korvalt_->ExitCode(kLimitMs), 0u);
}

// As task managers and taskkill without /F ask a window to close.
// A file named on the command line fills the list; one that cannot be taken is named in a message
// owned by the main window, which then opens empty.
TEST(KorvaltCommandLine, StartsWithTheFilesStepsOrSaysWhyNot) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string file = folder + std::string("korvalt-list.txt");
    std::ofstream(file, std::ios::binary) << "1\ta\r\n2\tb";
    for (const std::string& name : {file, file + ".missing"}) {
        Process korvalt(BesideThisExe("korvalt.exe") + " \"" + name + "\"");
        HWND window = nullptr;
        HWND box = nullptr;
        if (name != file) {
            ASSERT_TRUE(PollUntil([&] { return (box = FindWindowA("#32770", "Korvalt")); }));
            char text[512] = {};
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            EXPECT_EQ(text,
                      "Die Datei „" + name + "“ wurde nicht gefunden. Nichts wurde übernommen.");
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
    DeleteFileA(file.c_str());
}

// Ctrl+E shows the file's settings; armed, Ctrl+U does nothing, Ctrl+F9 plays the list into
// another program and Pause stops the endless run. Asked to close during the next run (as taskkill
// without /F asks), Korvalt ends, and no key the run pressed is left down.
TEST_F(KorvaltExe, TheChosenTriggerPlaysAndTheChosenStopKeyStops) {
    constexpr char kPressCtrlF9[] = "xdotool keydown ctrl keydown F9 sleep 0.2 keyup F9 keyup ctrl";
    std::string ini = BesideThisExe("korvalt.ini");
    ini = ini.substr(1, ini.size() - 2);
    korvalt_.reset();
    ASSERT_TRUE(PollUntil([&] { return !IsWindow(window_); }));
    std::ofstream(ini, std::ios::binary) << "[Korvalt]\r\nTrigger=Strg+F9\r\nStop=Pause\r\n";
    korvalt_ = std::make_unique<Process>(BesideThisExe("korvalt.exe"));
    const bool started = PollUntil([&] {
        window_ = FindWindowA(nullptr, kMainTitle);
        return IsWindowVisible(window_) && Gadget(kGadgetWebLabel);
    });
    DeleteFileA(ini.c_str());
    ASSERT_TRUE(started);
    RunOnHost(std::string("xdotool search --name '^") + kMainTitle +
              "$' windowfocus --sync key ctrl+e");
    HWND settings = nullptr;
    ASSERT_TRUE(PollUntil([&] {
        settings = FindWindowA(nullptr, "Einstellungen");
        return GetDlgItem(settings, kGadgetSettingsCancel) != nullptr;
    }));
    char stop[32] = {};
    SendMessageA(GetDlgItem(settings, kGadgetSettingsStop), WM_GETTEXT, sizeof stop,
                 reinterpret_cast<LPARAM>(stop));
    EXPECT_STREQ(stop, "Pause");
    PostMessageA(settings, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PollUntil([&] { return !IsWindow(settings); }));
    // Held by another program: named, and Korvalt stays with its window.
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL, VK_F9));
    PostMessageA(window_, WM_COMMAND, MAKEWPARAM(kGadgetStart, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Gadget(kGadgetStart)));
    HWND box = nullptr;
    ASSERT_TRUE(PollUntil([&] { return (box = FindWindowA("#32770", "Korvalt")); }));
    char text[512] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    EXPECT_NE(std::string(text).find("Tastenkombination Strg+F9 ist schon von einem anderen"),
              std::string::npos)
        << text;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    UnregisterHotKey(nullptr, 1);
    EXPECT_TRUE(IsWindowVisible(window_));
    PostMessageA(Gadget(kGadgetRepeatEnable), BM_CLICK, 0, 0);
    AddStep("0", "AbC");
    Arm();
    RunOnHost(kPressCtrlU);
    EXPECT_TRUE(Answers(kSettleMs)) << "Ctrl+U started a run";
    EXPECT_EQ(Typed(log_), "");
    RunOnHost(kPressCtrlF9);
    EXPECT_TRUE(PollUntil([&] { return Typed(log_).size() > 10; }));
    RunOnHost("xdotool keydown Pause sleep 0.1 keyup Pause");
    EXPECT_TRUE(Answers(kLimitMs)) << "Pause did not stop the run";
    const std::string typed = Typed(log_);
    Sleep(kSettleMs);
    EXPECT_EQ(Typed(log_), typed);
    EXPECT_EQ(typed.substr(0, 9), "AbCAbCAbC");
    RunOnHost(kPressCtrlF9);
    EXPECT_TRUE(PollUntil([&] { return Typed(log_).size() > typed.size() + 10; }));
    PostMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(korvalt_->ExitCode(kLimitMs), 0u);
    Sleep(200);
    for (const int key : {VK_CONTROL, VK_SHIFT, int{'A'}, int{'B'}, int{'C'}})
        EXPECT_FALSE(GetAsyncKeyState(key) & 0x8000) << key;
}

}  // namespace
}  // namespace kv
