#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/app_fixture.h"
#include "app/playback.h"
#include "engine/input.h"
#include "toolkit/image.h"
#include "toolkit/internal.h"

namespace kv {
namespace {

// The shell's side of the tray icon: the icon of every call, null where none is given.
std::vector<HICON> trayIcons;
BOOL trayAnswer = FALSE;

BOOL RecordTrayCall(DWORD, NOTIFYICONDATAA* data) {
    trayIcons.push_back((data->uFlags & NIF_ICON) ? data->hIcon : nullptr);
    if (data->uFlags & NIF_TIP) {
        EXPECT_STREQ(data->szTip, kTrayToolTip);
    }
    return trayAnswer;
}

// Ctrl+U pressed once before the first poll; the keys the run sends.
std::string sent;
bool triggerPending = true;

InputSeam FakeHands() {
    InputSeam seam = PlatformInput();
    seam.keyEvent = [](uint8_t key, uint8_t, uint32_t flags) {
        sent += std::string(flags & KEYEVENTF_KEYUP ? "-" : "+") + static_cast<char>(key);
    };
    seam.asyncKeyState = [](int key) -> int16_t {
        const bool pressed = triggerPending && (key == 'U' || key == VK_CONTROL);
        if (key == VK_CONTROL)
            triggerPending = false;
        return pressed ? 1 : 0;
    };
    return seam;
}

class Armed : public test::AppTest {
  protected:
    void SetUp() override {
        test::AppTest::SetUp();
        SetNotifyIconFunction(RecordTrayCall);
        SetInput(FakeHands());
    }
    void TearDown() override {
        SetInput(PlatformInput());
        SetNotifyIconFunction(nullptr);
    }
};

TEST_F(Armed, PlaysOnCtrlUShowsTheRunInTheTrayAndEndsOnTheDoubleClick) {
    RunPlayback();  // the icon is refused: no way back from hiding, so it stays idle
    EXPECT_TRUE(IsWindowVisible(WindowID(kMainWindow)));
    EXPECT_EQ(trayIcons.size(), 1u);

    trayIcons.clear();
    trayAnswer = TRUE;
    test::SetRows({{"0", "a"}});
    PostMessageA(WindowID(kMainWindow), kMessageTrayEvent, kTrayIconPlayback, WM_LBUTTONDBLCLK);
    RunPlayback();
    EXPECT_EQ(sent, "+A-A");
    EXPECT_TRUE(IsWindowVisible(WindowID(kMainWindow)));
    const HICON armed = static_cast<HICON>(ImageID(kImageArmed));
    const HICON running = static_cast<HICON>(ImageID(kImageRunning));
    EXPECT_EQ(trayIcons, (std::vector<HICON>{armed, nullptr, running, armed, nullptr}));
}

}  // namespace
}  // namespace kv
