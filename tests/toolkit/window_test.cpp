#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/fixture.h"

namespace kv {
namespace {

using test::WindowTest;

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

TEST_F(WindowTest, NumbersNameWindowsClassesAndEventsAndNumbersNotInUseReturnZero) {
    HWND window = Open(0);
    EXPECT_EQ(WindowID(0), window);
    EXPECT_EQ(ClassOf(window), "WindowClass_0");
    // Reusing a number closes the old window; closing it unregisters its class.
    EXPECT_NE(Open(0), window);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(CloseWindow(0), 1);
    WNDCLASSA info;
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "WindowClass_0", &info));
    const auto dynamic =
        static_cast<ObjectNumber>(OpenWindow(-1, 0, 0, 100, 100, "a", kWindowInvisible));
    EXPECT_EQ(ClassOf(WindowID(dynamic)), "WindowClass_" + std::to_string(dynamic));
    PostMessageA(WindowID(dynamic), WM_CLOSE, 0, 0);
    ASSERT_TRUE(test::FetchUntil(kEventCloseWindow));
    EXPECT_EQ(EventWindow(), dynamic);

    Open(1);
    Open(3, test::kMainWindowFlags, Open(2));  // an owned window goes with its owner
    CloseWindow(2);
    for (ObjectNumber number : {0, 2, 3, 500, -2, INT_MIN}) {
        EXPECT_EQ(WindowID(number), nullptr) << number;
        EXPECT_EQ(CloseWindow(number) | WindowHeight(number) | WindowX(number) | WindowY(number) |
                      ResizeWindow(number, 1, 1, 50, 50) | HideWindow(number, 1) |
                      HideWindow(number, 0),
                  0)
            << number;
    }
    // Window 1 is none of them.
    EXPECT_EQ(WindowHeight(1), 420);
    EXPECT_TRUE(IsWindowVisible(WindowID(1)));
}

TEST_F(WindowTest, RepeatedEventsCollapseOnlyAtTheTailAfterTheDirectOnes) {
    HWND zero = Open(0, kWindowInvisible);
    HWND one = Open(1, kWindowInvisible);
    HDC dc = GetDC(zero);
    PostMessageA(zero, kMessageGadgetEvent, 4, 1);
    const auto erase = [dc](HWND window) {
        SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    };
    erase(zero);
    erase(zero);
    SendMessageA(zero, WM_MOVE, 0, 0);
    erase(zero);
    erase(one);
    erase(one);
    ReleaseDC(zero, dc);
    std::vector<std::pair<int32_t, int32_t>> seen;
    for (int32_t code; (code = WindowEvent(0)) != 0;)
        seen.emplace_back(code, EventWindow());
    EXPECT_EQ(seen, (std::vector<std::pair<int32_t, int32_t>>{{kEventRepaint, 0},
                                                              {kEventMoveWindow, 0},
                                                              {kEventRepaint, 0},
                                                              {kEventRepaint, 1},
                                                              {kEventGadget, 0}}));
}

using Events = std::vector<std::pair<int32_t, ObjectNumber>>;

Events PendingEvents() {
    Events seen;
    for (int32_t code; (code = WindowEvent(0)) != 0;)
        seen.emplace_back(code, EventWindow());
    return seen;
}

TEST_F(WindowTest, OneCloseRequestIsOneEventAndClosingAWindowDropsItsQueuedEvents) {
    HWND zero = Open(0, kWindowInvisible);
    HWND one = Open(1, kWindowInvisible);
    PendingEvents();
    PostMessageA(one, WM_CLOSE, 0, 0);
    SendMessageA(zero, WM_CLOSE, 0, 0);
    EXPECT_EQ(PendingEvents(), (Events{{kEventCloseWindow, 0}, {kEventCloseWindow, 1}}));
    SendMessageA(one, WM_MOVE, 0, 0);
    SendMessageA(zero, WM_MOVE, 0, 0);
    SendMessageA(one, WM_CLOSE, 0, 0);
    CloseWindow(1);
    EXPECT_EQ(PendingEvents(), (Events{{kEventMoveWindow, 0}}));
}

// Any program can post the drop messages; a value that is no drop record of ours is no event.
TEST_F(WindowTest, DropMessagesMadeUpByAnotherProgramChangeNothing) {
    HWND window = Open(0, kWindowInvisible);
    test::Process poster(test::BesideThisExe("message_poster.exe") + " " +
                         std::to_string(reinterpret_cast<uintptr_t>(window)) +
                         " 13105 0 4096 13106 1 4096 13106 1 0xDEADBEE0 13105 0 0");
    ASSERT_EQ(poster.ExitCode(10000), 0u);
    PostMessageA(window, WM_USER + 1, 0, 0);
    EXPECT_EQ(PendingEvents(), (Events{{WM_USER + 1, 0}}));
    EXPECT_EQ(EventDropData(), nullptr);
}

TEST_F(WindowTest, TrayCallbacksBecomeTrayEventsOtherMessagesComeRaw) {
    HWND window = Open(0, kWindowInvisible);
    PostMessageA(window, WM_USER + 5, 11, 22);
    EXPECT_EQ(WindowEvent(0), WM_USER + 5);
    EXPECT_EQ(EventWParam(), 11u);
    EXPECT_EQ(EventLParam(), 22);
    const UINT mouse[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK};
    for (int32_t type = 0; type < 4; ++type) {
        SendMessageA(window, kMessageTrayCallback, 1, mouse[type]);
        EXPECT_EQ(WindowEvent(0), kEventSysTray) << type;
        EXPECT_EQ(EventGadget(), 1);
        EXPECT_EQ(EventType(), type);
    }
    SendMessageA(window, kMessageTrayCallback, 2, WM_MOUSEMOVE);
    EXPECT_EQ(WindowEvent(0), static_cast<int32_t>(kMessageTrayEvent));
    EXPECT_EQ(EventLParam(), WM_MOUSEMOVE);
}

TEST_F(WindowTest, FlagsCentreAndChooseTheFrame) {
    Open(0);
    RECT frame = {0, 0, 300, 420};
    AdjustWindowRect(&frame, WS_CAPTION | WS_SYSMENU, FALSE);
    EXPECT_EQ(WindowX(0), (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2);
    EXPECT_EQ(WindowY(0), (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2);
    // The centring bit alone: a caption, but no system menu and so no close box.
    EXPECT_EQ(GetWindowLongA(Open(1, kWindowCentreOnScreen), GWL_STYLE) & (WS_CAPTION | WS_SYSMENU),
              WS_CAPTION);
    EXPECT_FALSE(IsWindowVisible(Open(2, test::kMainWindowFlags | kWindowInvisible)));
}

}  // namespace
}  // namespace kv
