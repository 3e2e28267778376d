#include <cstddef>
#include <tuple>

#include "toolkit/fixture.h"
#include "toolkit/systray.h"
#include "toolkit/toolkit.h"

namespace kv {

constexpr size_t kTipBytes = 64;

// A shell call as sent: message, owner, icon number, flags, callback message, icon, tool tip.
using Call = std::tuple<DWORD, HWND, UINT, UINT, UINT, HICON, std::string>;
std::vector<Call> calls;

// The owner must exist to receive the shell's answer.
BOOL RecordCall(DWORD message, NOTIFYICONDATAA* data) {
    // The first record layout, whose tool tip ends after 64 bytes.
    EXPECT_EQ(data->cbSize, offsetof(NOTIFYICONDATAA, szTip) + kTipBytes);
    EXPECT_TRUE(IsWindow(data->hWnd));
    calls.emplace_back(message, data->hWnd, data->uID, data->uFlags, data->uCallbackMessage,
                       data->hIcon, data->szTip);
    return TRUE;
}

const std::string kSeventy(70, 'x'), kTip(kTipBytes - 1, 'x');  // what the record's tip holds

// Each case starts with no icon and no call recorded, whichever case ran before.
class SysTrayTest : public test::WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        InitSysTrayLibrary();
        SetNotifyIconFunction(RecordCall);
        calls.clear();
        ASSERT_NE(owner_ = Open(0, kWindowDefaultFlags | kWindowInvisible), nullptr);
    }
    void TearDown() override {
        RemoveAllSysTrayIcons();
        SetNotifyIconFunction(nullptr);
        WindowTest::TearDown();
    }

    // Fields left out are zero in the record sent.
    Call Add(UINT id, HICON icon) const {
        return {NIM_ADD, owner_, id, NIF_MESSAGE | NIF_ICON, kMessageTrayCallback, icon, ""};
    }
    Call Tip(UINT id) const { return {NIM_MODIFY, owner_, id, NIF_TIP, 0, nullptr, kTip}; }
    Call Icon(UINT id, HICON icon) const { return {NIM_MODIFY, owner_, id, NIF_ICON, 0, icon, ""}; }
    Call Remove(UINT id) const { return {NIM_DELETE, owner_, id, 0, 0, nullptr, ""}; }

    HWND owner_ = nullptr;
    const HICON armed_ = LoadIconA(nullptr, IDI_APPLICATION);
    const HICON running_ = LoadIconA(nullptr, IDI_ERROR);
};

// Clicks on an icon become tray events of their type naming its number; other mouse messages, and
// callbacks for an identifier that names no icon of the window, come raw.
TEST_F(SysTrayTest, EachOperationSendsOnlyItsFieldsAndClicksBecomeEventsOfTheIcon) {
    EXPECT_EQ(AddSysTrayIcon(1, nullptr, armed_) | AddSysTrayIcon(1, owner_, nullptr), 0);
    ASSERT_EQ(AddSysTrayIcon(1, owner_, armed_), 1);
    EXPECT_NE(SysTrayIconToolTip(1, kSeventy.c_str()), 0);
    EXPECT_EQ(ChangeSysTrayIcon(1, nullptr), 0);
    EXPECT_NE(ChangeSysTrayIcon(1, running_), 0);
    ASSERT_EQ(AddSysTrayIcon(1, owner_, armed_), 1);
    std::string seen;
    for (const UINT id : {1, 7}) {
        for (const UINT mouse :
             {WM_LBUTTONUP, WM_RBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MOUSEMOVE}) {
            SendMessageA(owner_, kMessageTrayCallback, id, mouse);
            seen += WindowEvent(0) != kEventSysTray
                        ? "- "
                        : std::to_string(EventGadget()) + ":" + std::to_string(EventType()) + " ";
        }
    }
    EXPECT_EQ(seen, "1:0 1:1 1:2 1:3 - - - - - - ");
    EXPECT_NE(RemoveSysTrayIcon(1), 0);
    EXPECT_EQ(RemoveSysTrayIcon(1) | SysTrayIconToolTip(1, "weg"), 0);
    EXPECT_EQ(calls, (std::vector<Call>{Add(1, armed_), Tip(1), Icon(1, running_), Remove(1),
                                        Add(1, armed_), Remove(1)}));
}

// OleInitialize answers S_FALSE while OLE is already initialised on the thread.
bool OleIsInitialised() {
    const HRESULT result = OleInitialize(nullptr);
    OleUninitialize();
    return result == S_FALSE;
}

// A restarted shell gets the owner's icons back as they were. Removing an icon can dispatch the
// shell's restart announcement: the icon being removed is not added again, and the walk over all
// icons still removes the rest before the windows go.
TEST_F(SysTrayTest, RestartedShellGetsTheIconsBackAndStopToolkitRemovesEveryIconThoughItRestarts) {
    StartToolkit();
    EXPECT_TRUE(OleIsInitialised());
    owner_ = Open(1, kWindowDefaultFlags | kWindowInvisible);
    ASSERT_NE(AddSysTrayIcon(1, owner_, armed_), 0);
    SysTrayIconToolTip(1, kSeventy.c_str());
    ChangeSysTrayIcon(1, running_);
    ASSERT_TRUE(AddSysTrayIcon(2, owner_, armed_) && AddSysTrayIcon(5, owner_, armed_));
    RemoveSysTrayIcon(5);
    ASSERT_NE(AddSysTrayIcon(3, Open(2, kWindowDefaultFlags | kWindowInvisible), armed_), 0);
    calls.clear();
    SendMessageA(owner_, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_EQ(calls, (std::vector<Call>{Add(1, running_), Tip(1), Add(2, armed_)}));

    RemoveSysTrayIcon(3);
    calls.clear();
    SetNotifyIconFunction([](DWORD message, NOTIFYICONDATAA* data) {
        RecordCall(message, data);
        if (calls.size() == 1)
            SendMessageA(data->hWnd, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
        return TRUE;
    });
    StopToolkit();
    EXPECT_EQ(calls, (std::vector<Call>{Remove(1), Add(2, armed_), Remove(2)}));
    EXPECT_FALSE(OleIsInitialised());
    EXPECT_FALSE(IsWindow(owner_));
}

}  // namespace kv
