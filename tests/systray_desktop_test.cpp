#include <gtest/gtest.h>
#include <windows.h>

#include "toolkit/systray.h"
#include "toolkit/window.h"

namespace {

// The real shell takes the records, refuses a second icon under the same owner and identifier,
// and refuses to remove an icon it does not show.
TEST(SysTrayDesktopTest, ShellTakesTheRecordsAndShowsOneIconPerNumber) {
    kv::InitWindowLibrary(GetModuleHandleA(nullptr));
    kv::InitSysTrayLibrary();
    ASSERT_NE(kv::OpenWindow(0, 0, 0, 100, 100, "Besitzer",
                             kv::kWindowDefaultFlags | kv::kWindowInvisible),
              0);
    HWND owner = kv::WindowID(0);
    ASSERT_NE(kv::AddSysTrayIcon(1, owner, LoadIconA(nullptr, IDI_APPLICATION)), 0);
    EXPECT_NE(kv::SysTrayIconToolTip(1, "Strg + U --> Durchlauf"), 0);
    EXPECT_NE(kv::ChangeSysTrayIcon(1, LoadIconA(nullptr, IDI_ERROR)), 0);
    EXPECT_NE(kv::AddSysTrayIcon(1, owner, LoadIconA(nullptr, IDI_APPLICATION)), 0);
    EXPECT_NE(kv::RemoveSysTrayIcon(1), 0);
    NOTIFYICONDATAA gone{};
    gone.cbSize = NOTIFYICONDATAA_V1_SIZE;
    gone.hWnd = owner;
    gone.uID = 1;
    EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &gone));
    kv::CloseAllWindows();
}

}  // namespace
