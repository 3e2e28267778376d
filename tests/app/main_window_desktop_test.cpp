#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/app_fixture.h"

namespace kv {
namespace {

constexpr UINT kMenuGetHandle = 0x01E1;  // MN_GETHMENU

// The popup menu's items as it was shown, "id text|...".
std::string shownMenu;

bool CloseShownMenu() {
    HWND menuWindow = FindWindowA("#32768", nullptr);
    if (!menuWindow || !IsWindowVisible(menuWindow))
        return false;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, kMenuGetHandle, 0, 0));
    for (int item = 0; item < GetMenuItemCount(menu); ++item) {
        char text[64] = {};
        GetMenuStringA(menu, item, text, sizeof text, MF_BYPOSITION);
        shownMenu += std::to_string(GetMenuItemID(menu, item)) + " " + text + "|";
    }
    EndMenu();
    return true;
}

// A real right click at a point of the list's client area.
void RightClick(POINT point) {
    ClientToScreen(GadgetID(kGadgetStepList), &point);
    SetCursorPos(point.x, point.y);
    mouse_event(MOUSEEVENTF_RIGHTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_RIGHTUP, 0, 0, 0, 0);
}

using StepListMenu = test::AppTest;

TEST_F(StepListMenu, RightClickShowsTheMenuOnlyWithARowSelected) {
    test::SetRows({{"100", "a"}, {"100", "b"}, {"100", "c"}});
    SetForegroundWindow(WindowID(kMainWindow));
    test::HandlePendingEvents();
    RECT row{LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(GadgetID(kGadgetStepList), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    const POINT onRow = {(row.left + row.right) / 2, (row.top + row.bottom) / 2};

    test::SelectRow(0);
    RightClick({onRow.x, onRow.y + 120});
    EXPECT_FALSE(test::RunScript({CloseShownMenu}, 500));
    EXPECT_EQ(GetGadgetState(kGadgetStepList), -1);

    RightClick(onRow);
    EXPECT_TRUE(test::RunScript({CloseShownMenu}, 3000));
    EXPECT_EQ(shownMenu, "10 Löschen|11 Umbenennen (Name+Zeit)|");
    EXPECT_EQ(GetGadgetState(kGadgetStepList), 1);
}

}  // namespace
}  // namespace kv
