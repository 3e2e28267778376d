#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>

#include <vector>

#include "toolkit/internal.h"
#include "toolkit/gadget.h"
#include "toolkit/systray.h"
#include "toolkit/toolkit.h"
#include "toolkit/window.h"

namespace {

struct Notification {
    DWORD message;
    bool ownerAlive;
};
std::vector<Notification> gNotifications;

BOOL RecordNotification(DWORD message, NOTIFYICONDATAA* data) {
    gNotifications.push_back({message, IsWindow(data->hWnd) != 0});
    return TRUE;
}

// OleInitialize answers S_FALSE while OLE is already initialised on the thread.
bool OleIsInitialised() {
    const HRESULT result = OleInitialize(nullptr);
    OleUninitialize();
    return result == S_FALSE;
}

TEST(ToolkitTest, StopReleasesTrayIconsWhileTheirWindowsExistThenTheRest) {
    kv::SetNotifyIconFunction(&RecordNotification);
    kv::StartToolkit();
    EXPECT_TRUE(OleIsInitialised());

    HWND window =
        reinterpret_cast<HWND>(kv::OpenWindow(0, 0, 0, 200, 100, "Start", kv::kWindowDefaultFlags));
    kv::CreateGadgetList(window);
    ASSERT_NE(kv::ButtonGadget(1, 0, 0, 80, 20, "OK"), 0);
    ASSERT_NE(kv::AddSysTrayIcon(4, window, LoadIconA(nullptr, IDI_APPLICATION)), 0);

    kv::StopToolkit();
    ASSERT_EQ(gNotifications.size(), 2u);
    EXPECT_EQ(gNotifications[1].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_TRUE(gNotifications[1].ownerAlive);
    EXPECT_FALSE(OleIsInitialised());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(kv::GadgetID(1), nullptr);
}

}  // namespace
