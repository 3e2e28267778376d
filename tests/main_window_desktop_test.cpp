#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app_fixture.h"

namespace kv {
namespace {

constexpr UINT kMenuGetHandle = 0x01E1;  // MN_GETHMENU

// The popup menu as it was shown: its items' texts, empty while none was seen.
std::vector<std::string> shownMenu;

bool CloseShownMenu() {
    HWND menuWindow = FindWindowA("#32768", nullptr);
    if (!menuWindow || !IsWindowVisible(menuWindow))
        return false;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, kMenuGetHandle, 0, 0));
    for (int item = 0; item < GetMenuItemCount(menu); ++item) {
        char text[64] = {};
        GetMenuStringA(menu, item, text, sizeof text, MF_BYPOSITION);
        shownMenu.push_back(std::to_string(GetMenuItemID(menu, item)) + " " + text);
    }
    EndMenu();
    return true;
}

class StepListMenu : public ::testing::Test {
  protected:
    void SetUp() override {
        test::StartMainWindow();
        for (const char* key : {"a", "b", "c"})
            test::AddRow("100", key);
        SetForegroundWindow(WindowID(kMainWindow));
        test::HandlePendingEvents();
    }

    // A real right click at a point of the list's client area.
    static void RightClick(POINT point) {
        ClientToScreen(GadgetID(kGadgetStepList), &point);
        SetCursorPos(point.x, point.y);
        mouse_event(MOUSEEVENTF_RIGHTDOWN, 0, 0, 0, 0);
        mouse_event(MOUSEEVENTF_RIGHTUP, 0, 0, 0, 0);
    }

    static POINT RowCentre(int row) {
        RECT bounds{LVIR_BOUNDS, 0, 0, 0};
        SendMessageA(GadgetID(kGadgetStepList), LVM_GETITEMRECT, row,
                     reinterpret_cast<LPARAM>(&bounds));
        return {(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
    }

    // Handles events for `ms` milliseconds while a timer closes any menu that opens.
    static void HandleEventsClosingMenus(DWORD ms) {
        test::Script closer({CloseShownMenu});
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < ms && shownMenu.empty()) {
            HandleMainEvent(WindowEvent(20));
        }
    }
};

TEST_F(StepListMenu, RightClickOnARowSelectsItAndShowsTheMenu) {
    RightClick(RowCentre(1));
    HandleEventsClosingMenus(3000);
    EXPECT_EQ(shownMenu, (std::vector<std::string>{"10 Löschen", "11 Umbenennen (Name+Zeit)"}));
    EXPECT_EQ(GetGadgetState(kGadgetStepList), 1);
}

TEST_F(StepListMenu, RightClickWithoutASelectedRowShowsNoMenu) {
    test::SelectRow(0);
    POINT below = RowCentre(2);
    below.y += 100;
    RightClick(below);
    HandleEventsClosingMenus(500);
    EXPECT_TRUE(shownMenu.empty());
    EXPECT_EQ(GetGadgetState(kGadgetStepList), -1);
}

}  // namespace
}  // namespace kv
