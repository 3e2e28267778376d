#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>

#include <vector>

#include "resources/resource.h"
#include "toolkit/gadget.h"
#include "toolkit/image.h"
#include "toolkit/menu.h"
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

TEST(ToolkitTest, StopReleasesEveryKindTrayIconsFirst) {
    kv::SetNotifyIconFunction(&RecordNotification);
    kv::StartToolkit();
    EXPECT_TRUE(OleIsInitialised());

    HWND window =
        reinterpret_cast<HWND>(kv::OpenWindow(0, 0, 0, 200, 100, "Start", kv::kWindowDefaultFlags));
    ASSERT_NE(window, nullptr);
    kv::CreateGadgetList(window);
    ASSERT_NE(kv::ButtonGadget(1, 0, 0, 80, 20, "OK"), 0);
    ASSERT_NE(kv::CreatePopupMenu(2), 0);
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(KV_DATA_ICON_ARMED), RT_RCDATA);
    ASSERT_NE(found, nullptr);
    ASSERT_NE(kv::CatchImage(3, LockResource(LoadResource(nullptr, found)),
                             SizeofResource(nullptr, found)),
              0);
    ASSERT_NE(kv::AddSysTrayIcon(4, window, static_cast<HICON>(kv::ImageID(3))), 0);

    kv::StopToolkit();
    ASSERT_EQ(gNotifications.size(), 2u);
    EXPECT_EQ(gNotifications[1].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_TRUE(gNotifications[1].ownerAlive);
    EXPECT_FALSE(OleIsInitialised());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(kv::GadgetID(1), nullptr);
    EXPECT_EQ(kv::ImageID(3), nullptr);
}

}  // namespace
