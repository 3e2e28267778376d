#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "toolkit/internal.h"
#include "toolkit/menu.h"
#include "toolkit/window.h"

namespace {

constexpr UINT kPollMs = 20;
constexpr DWORD kStuckMenuMs = 5000;
constexpr DWORD kEventWaitMs = 300;
constexpr int kCursorX = 400;
constexpr int kCursorY = 300;

// Keys typed into the menu as soon as it shows, from a timer that the menu's own loop runs.
// Should the keys go astray, the menu still closes and the test fails instead of hanging.
std::vector<WORD> keysForTheMenu;
RECT shownMenu;
DWORD menuStart;

void CALLBACK TypeIntoShownMenu(HWND, UINT, UINT_PTR, DWORD) {
    HWND menu = FindWindowA("#32768", nullptr);
    if (GetTickCount() - menuStart > kStuckMenuMs)
        EndMenu();
    if (!menu || !IsWindowVisible(menu) || shownMenu.right != 0)
        return;
    GetWindowRect(menu, &shownMenu);
    for (WORD key : keysForTheMenu) {
        keybd_event(static_cast<BYTE>(key), 0, 0, 0);
        keybd_event(static_cast<BYTE>(key), 0, KEYEVENTF_KEYUP, 0);
    }
}

// Shows menu 9 at the cursor, types `keys` into it and returns the menu item chosen, or -1.
int32_t ChooseWith(std::vector<WORD> keys) {
    keysForTheMenu = std::move(keys);
    shownMenu = {};
    menuStart = GetTickCount();
    SetCursorPos(kCursorX, kCursorY);
    const UINT_PTR typing = SetTimer(nullptr, 0, kPollMs, TypeIntoShownMenu);
    kv::DisplayPopupMenu(9, kv::WindowID(0));
    KillTimer(nullptr, typing);
    EXPECT_NE(shownMenu.right, 0);
    EXPECT_LT(GetTickCount() - menuStart, kStuckMenuMs);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kEventWaitMs) {
        if (kv::WindowEvent(kPollMs) == kv::kEventMenu)
            return kv::EventMenu();
    }
    return -1;
}

TEST(MenuDesktopTest, ChosenItemArrivesAsMenuEventAndEscapeChoosesNothing) {
    kv::InitWindowLibrary(GetModuleHandleA(nullptr));
    kv::InitMenuLibrary();
    ASSERT_NE(kv::OpenWindow(0, 100, 100, 400, 300, "Schritte"), 0);
    const auto replaced = reinterpret_cast<HMENU>(kv::CreatePopupMenu(9));
    kv::MenuItem(12, "alt");
    ASSERT_NE(kv::CreatePopupMenu(9), 0);
    EXPECT_FALSE(IsMenu(replaced));
    kv::MenuItem(10, "Löschen");
    kv::MenuItem(11, "Umbenennen (Name+Zeit)");

    EXPECT_EQ(ChooseWith({VK_DOWN, VK_RETURN}), 10);
    EXPECT_EQ(shownMenu.left, kCursorX - 1);
    EXPECT_EQ(shownMenu.top, kCursorY - 1);
    EXPECT_EQ(ChooseWith({VK_ESCAPE}), -1);

    EXPECT_NE(kv::FreeMenu(9), 0);
    kv::CloseAllWindows();
}

}  // namespace
