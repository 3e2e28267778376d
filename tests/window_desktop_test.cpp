#include <gtest/gtest.h>
#include <windows.h>
#include <richedit.h>

#include <functional>
#include <string>

#include "tests/window_support.h"
#include "toolkit/window.h"

namespace {

using kv_test::Child;
using kv_test::FetchUntil;
using kv_test::WindowTest;

// Runs the event loop until `done` holds; false after `limitMs`.
bool PumpUntil(const std::function<bool()>& done, DWORD limitMs = 1500) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > limitMs)
            return false;
        kv::WindowEvent(10);
    }
    return true;
}

bool Activate(HWND window) {
    SetForegroundWindow(window);
    return PumpUntil([window] { return GetActiveWindow() == window; });
}

void PressTab(bool shift) {
    if (shift)
        keybd_event(VK_SHIFT, 0, 0, 0);
    keybd_event(VK_TAB, 0, 0, 0);
    keybd_event(VK_TAB, 0, KEYEVENTF_KEYUP, 0);
    if (shift)
        keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
}

// Runs the event loop until the key has been seen going down and coming up again.
void PumpKeyThrough(int key) {
    PumpUntil([key] { return (GetKeyState(key) & 0x8000) != 0; });
    PumpUntil([key] { return (GetKeyState(key) & 0x8000) == 0; });
}

// Presses (Shift+)Tab and reports where the focus is once the keys are handled.
HWND TabFrom(HWND focus, bool shift = false) {
    SetFocus(focus);
    PressTab(shift);
    PumpKeyThrough(shift ? VK_SHIFT : VK_TAB);
    return GetFocus();
}

class DesktopWindowTest : public WindowTest {};

class FocusTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        window = Open(0);
        first = Child(window, "Edit", WS_TABSTOP | WS_BORDER, 1);
        second = Child(window, "Button", WS_TABSTOP, 2, "B");
        EnableWindow(Child(window, "Button", WS_TABSTOP, 3, "disabled"), FALSE);
        ShowWindow(Child(window, "Edit", WS_TABSTOP, 4), SW_HIDE);
        Child(window, "Button", 0, 5, "no stop");
        last = Child(window, "Edit", WS_TABSTOP | WS_BORDER, 6);
        ASSERT_TRUE(Activate(window));
    }

    HWND window = nullptr;
    HWND first = nullptr;
    HWND second = nullptr;
    HWND last = nullptr;
};

TEST_F(FocusTest, TabGoesToNextStopAndFromTheLastToTheFirst) {
    EXPECT_EQ(TabFrom(first), second);
    EXPECT_EQ(TabFrom(second), last);
    EXPECT_EQ(TabFrom(last), first);
}

TEST_F(FocusTest, ShiftTabGoesToPreviousStopAndFromTheFirstToTheLast) {
    EXPECT_EQ(TabFrom(last, true), second);
    EXPECT_EQ(TabFrom(second, true), first);
    EXPECT_EQ(TabFrom(first, true), last);
}

TEST_F(FocusTest, WithoutFocusedControlTabTakesFirstAndShiftTabLast) {
    EXPECT_EQ(TabFrom(window), first);
    EXPECT_EQ(TabFrom(window, true), last);
}

TEST_F(FocusTest, EditableComboBoxPassesFocusOn) {
    HWND combo =
        CreateWindowExA(0, "ComboBox", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWN, 150,
                        10, 100, 200, window, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowPos(combo, first, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    HWND edit = GetWindow(combo, GW_CHILD);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(TabFrom(edit), second);
    EXPECT_EQ(TabFrom(edit, true), first);
}

TEST_F(FocusTest, TabIsTypedIntoWritableRichEditOnly) {
    ASSERT_NE(LoadLibraryA("riched20.dll"), nullptr);
    HWND writable = Child(window, RICHEDIT_CLASSA, WS_TABSTOP | ES_MULTILINE, 7);
    HWND readOnly = Child(window, RICHEDIT_CLASSA, WS_TABSTOP | ES_MULTILINE | ES_READONLY, 8);
    ASSERT_NE(writable, nullptr);
    EXPECT_EQ(TabFrom(writable), writable);
    char text[8] = {};
    GetWindowTextA(writable, text, sizeof text);
    EXPECT_STREQ(text, "\t");
    EXPECT_EQ(TabFrom(writable, true), last);
    EXPECT_EQ(TabFrom(readOnly), first);
}

TEST_F(DesktopWindowTest, CloseBoxClickGivesCloseEventAndKeepsWindow) {
    HWND window = Open(0);
    ASSERT_TRUE(Activate(window));
    RECT frame;
    GetWindowRect(window, &frame);
    const int border = GetSystemMetrics(SM_CXFIXEDFRAME);
    SetCursorPos(frame.right - border - GetSystemMetrics(SM_CXSIZE) / 2,
                 frame.top + border + GetSystemMetrics(SM_CYCAPTION) / 2);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    EXPECT_TRUE(FetchUntil(kv::kEventCloseWindow));
    EXPECT_EQ(kv::EventWindow(), 0);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(kv::WindowID(0), window);
}

}  // namespace
