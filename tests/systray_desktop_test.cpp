#include <gtest/gtest.h>
#include <windows.h>

#include "resources/resource.h"
#include "toolkit/image.h"
#include "toolkit/systray.h"
#include "toolkit/window.h"

namespace {

void CatchEmbedded(kv::ObjectNumber number, int id) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_RCDATA);
    ASSERT_NE(found, nullptr);
    ASSERT_NE(kv::CatchImage(number, LockResource(LoadResource(nullptr, found)),
                             SizeofResource(nullptr, found)),
              0);
}

HICON Icon(kv::ObjectNumber number) {
    return static_cast<HICON>(kv::ImageID(number));
}

// The real shell refuses a second icon under the same owner and identifier, and a change or
// removal of an icon it does not show.
TEST(SysTrayDesktopTest, ShellTakesTheRecordsAndShowsOneIconPerNumber) {
    kv::InitImageLibrary();
    kv::InitWindowLibrary(GetModuleHandleA(nullptr));
    kv::InitSysTrayLibrary();
    ASSERT_NE(kv::OpenWindow(0, 0, 0, 100, 100, "Besitzer",
                             kv::kWindowDefaultFlags | kv::kWindowInvisible),
              0);
    CatchEmbedded(1, KV_DATA_ICON_ARMED);
    CatchEmbedded(2, KV_DATA_ICON_RUNNING);

    ASSERT_NE(kv::AddSysTrayIcon(1, kv::WindowID(0), Icon(1)), 0);
    EXPECT_NE(kv::SysTrayIconToolTip(1, "Strg + U --> Durchlauf"), 0);
    EXPECT_NE(kv::ChangeSysTrayIcon(1, Icon(2)), 0);
    EXPECT_NE(kv::AddSysTrayIcon(1, kv::WindowID(0), Icon(1)), 0);
    EXPECT_NE(kv::RemoveSysTrayIcon(1), 0);

    // Gone from the shell as well: it refuses to remove it again.
    NOTIFYICONDATAA gone{};
    gone.cbSize = NOTIFYICONDATAA_V1_SIZE;
    gone.hWnd = kv::WindowID(0);
    gone.uID = 1;
    EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &gone));

    kv::RemoveAllSysTrayIcons();
    kv::CloseAllWindows();
    kv::FreeAllImages();
}

}  // namespace
