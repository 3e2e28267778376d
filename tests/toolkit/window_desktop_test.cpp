#include <gtest/gtest.h>
#include <windows.h>
#include <richedit.h>

#include "toolkit/fixture.h"

namespace kv {
namespace {

using test::WindowTest;

// Runs the event loop until `done` holds; false after 1.5 s.
bool PumpUntil(const std::function<bool()>& done) {
    return test::PollUntil(done, 1500, [] { WindowEvent(10); });
}

HWND Child(HWND parent, const char* className, DWORD style, int id) {
    return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, 10, 10 + id * 30, 100,
                           25, parent, reinterpret_cast<HMENU>(static_cast<intptr_t>(id)),
                           GetModuleHandleA(nullptr), nullptr);
}

// Presses (Shift+)Tab and reports where the focus is once the keys are handled.
HWND TabFrom(HWND focus, bool shift) {
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
    HWND second = Child(window, "Button", WS_TABSTOP, 2);
    EnableWindow(Child(window, "Button", WS_TABSTOP, 3), FALSE);
    ShowWindow(Child(window, "Edit", WS_TABSTOP, 4), SW_HIDE);
    Child(window, "Button", 0, 5);
    HWND last = Child(window, "Edit", WS_TABSTOP | WS_BORDER, 6);
    ASSERT_NE(LoadLibraryA("riched20.dll"), nullptr);
    HWND writable = Child(window, RICHEDIT_CLASSA, WS_TABSTOP | ES_MULTILINE, 7);
    HWND readOnly = Child(window, RICHEDIT_CLASSA, WS_TABSTOP | ES_MULTILINE | ES_READONLY, 8);
    SetForegroundWindow(window);
    ASSERT_TRUE(PumpUntil([window] { return GetActiveWindow() == window; }));
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

}  // namespace
}  // namespace kv
