#include <gtest/gtest.h>
#include <windows.h>
#include <richedit.h>

#include <functional>

#include "toolkit/window_support.h"
#include "toolkit/window.h"

namespace {

using kv_test::Child;
using kv_test::FetchUntil;
using kv_test::WindowTest;

// Runs the event loop until `done` holds; false after `limitMs`.
bool PumpUntil(const std::function<bool()>& done, DWORD limitMs = 1500) {
    for (const DWORD start = GetTickCount(); !done(); kv::WindowEvent(10)) {
        if (GetTickCount() - start > limitMs)
            return false;
    }
    return true;
}

bool Activate(HWND window) {
    SetForegroundWindow(window);
    return PumpUntil([window] { return GetActiveWindow() == window; });
}

// Presses (Shift+)Tab and reports where the focus is once the keys are handled.
HWND TabFrom(HWND focus, bool shift = false) {
    SetFocus(focus);
    const int key = shift ? VK_SHIFT : VK_TAB;
    if (shift)
        keybd_event(VK_SHIFT, 0, 0, 0);
    keybd_event(VK_TAB, 0, 0, 0);
    keybd_event(VK_TAB, 0, KEYEVENTF_KEYUP, 0);
    if (shift)
        keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
    PumpUntil([key] { return (GetKeyState(key) & 0x8000) != 0; });
    PumpUntil([key] { return (GetKeyState(key) & 0x8000) == 0; });
    return GetFocus();
}

TEST_F(WindowTest, TabWrapsSkipsUnreachableControlsAndTypesIntoWritableRichEdit) {
    HWND window = Open(0);
    HWND first = Child(window, "Edit", WS_TABSTOP | WS_BORDER, 1);
    HWND second = Child(window, "Button", WS_TABSTOP, 2, "B");
    EnableWindow(Child(window, "Button", WS_TABSTOP, 3, "disabled"), FALSE);
    ShowWindow(Child(window, "Edit", WS_TABSTOP, 4), SW_HIDE);
    Child(window, "Button", 0, 5, "no stop");
    HWND last = Child(window, "Edit", WS_TABSTOP | WS_BORDER, 6);
    ASSERT_NE(LoadLibraryA("riched20.dll"), nullptr);
    HWND writable = Child(window, RICHEDIT_CLASSA, WS_TABSTOP | ES_MULTILINE, 7);
    HWND readOnly = Child(window, RICHEDIT_CLASSA, WS_TABSTOP | ES_MULTILINE | ES_READONLY, 8);
    ASSERT_TRUE(Activate(window));
    const struct {
        HWND from;
        bool shift;
        HWND to;
    } steps[] = {{first, false, second},  {second, false, last},    {readOnly, false, first},
                 {first, true, readOnly}, {last, true, second},     {second, true, first},
                 {window, false, first},  {window, true, readOnly}, {writable, false, writable},
                 {writable, true, last}};
    for (const auto& step : steps)
        EXPECT_EQ(TabFrom(step.from, step.shift), step.to) << (&step - steps);
    char text[8] = {};
    GetWindowTextA(writable, text, sizeof text);
    EXPECT_STREQ(text, "\t");
}

TEST_F(WindowTest, CloseBoxClickGivesCloseEventAndKeepsWindow) {
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
}

}  // namespace
