#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "toolkit/menu.h"
#include "toolkit/window.h"

namespace {

constexpr UINT kPollMs = 20;
constexpr UINT kStuckMenuMs = 5000;
constexpr DWORD kEventWaitMs = 300;
constexpr int kCursorX = 400;
constexpr int kCursorY = 300;

// Keys typed into the menu as soon as it shows, from a timer that the menu's own loop runs.
std::vector<WORD> keysForTheMenu;
RECT shownMenu;
bool menuWasStuck;

void CALLBACK TypeIntoShownMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND menu = FindWindowA("#32768", nullptr);
    if (!menu || !IsWindowVisible(menu))
        return;
    KillTimer(nullptr, timer);
    GetWindowRect(menu, &shownMenu);
    for (WORD key : keysForTheMenu) {
        keybd_event(static_cast<BYTE>(key), 0, 0, 0);
        keybd_event(static_cast<BYTE>(key), 0, KEYEVENTF_KEYUP, 0);
    }
}

// Should the keys go astray, the menu still closes and the test fails instead of hanging.
void CALLBACK CloseStuckMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    menuWasStuck = true;
    EndMenu();
}

class MenuDesktopTest : public testing::Test {
  protected:
    void SetUp() override {
        kv::InitWindowLibrary(GetModuleHandleA(nullptr));
        kv::InitMenuLibrary();
        ASSERT_NE(kv::OpenWindow(0, 100, 100, 400, 300, "Schritte"), 0);
        ASSERT_NE(kv::CreatePopupMenu(9), 0);
        kv::MenuItem(10, "Löschen");
        kv::MenuItem(11, "Umbenennen (Name+Zeit)");
    }
    void TearDown() override { kv::CloseAllWindows(); }

    // Shows menu 9 at the cursor, types `keys` into it and returns the menu item chosen, or -1.
    // The menu must have shown and closed by the keys.
    int32_t ChooseWith(std::vector<WORD> keys) {
        keysForTheMenu = std::move(keys);
        shownMenu = {};
        menuWasStuck = false;
        SetCursorPos(kCursorX, kCursorY);
        const UINT_PTR typing = SetTimer(nullptr, 0, kPollMs, TypeIntoShownMenu);
        const UINT_PTR watchdog = SetTimer(nullptr, 0, kStuckMenuMs, CloseStuckMenu);
        kv::DisplayPopupMenu(9, kv::WindowID(0));
        KillTimer(nullptr, typing);
        KillTimer(nullptr, watchdog);
        EXPECT_NE(shownMenu.right, 0);
        EXPECT_FALSE(menuWasStuck);

        const DWORD start = GetTickCount();
        while (GetTickCount() - start < kEventWaitMs) {
            if (kv::WindowEvent(kPollMs) == kv::kEventMenu)
                return kv::EventMenu();
        }
        return -1;
    }
};

TEST_F(MenuDesktopTest, ChosenItemArrivesAsMenuEvent) {
    EXPECT_EQ(ChooseWith({VK_DOWN, VK_RETURN}), 10);
    // The menu opened one pixel above and left of the cursor.
    EXPECT_EQ(shownMenu.left, kCursorX - 1);
    EXPECT_EQ(shownMenu.top, kCursorY - 1);

    EXPECT_EQ(ChooseWith({VK_DOWN, VK_DOWN, VK_RETURN}), 11);
}

TEST_F(MenuDesktopTest, EscapeChoosesNothing) {
    EXPECT_EQ(ChooseWith({VK_ESCAPE}), -1);
}

}  // namespace
