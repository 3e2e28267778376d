#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/window_support.h"
#include "toolkit/window.h"

namespace {

using kv_test::FetchUntil;
using kv_test::kMainWindowFlags;
using kv_test::WindowTest;

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

SIZE ClientSize(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

// ---- numbers ----

TEST_F(WindowTest, NumbersNameWindowsClassesAndEvents) {
    HWND window = Open(0);
    EXPECT_EQ(kv::WindowID(0), window);
    EXPECT_EQ(ClassOf(window), "WindowClass_0");
    // Reusing a number closes the old window; closing it unregisters its class.
    EXPECT_NE(Open(0), window);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(kv::CloseWindow(0), 1);
    WNDCLASSA info;
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "WindowClass_0", &info));

    const auto dynamic = static_cast<kv::ObjectNumber>(
        kv::OpenWindow(-1, 0, 0, 100, 100, "a", kv::kWindowInvisible));
    HWND second = kv::WindowID(dynamic);
    EXPECT_EQ(ClassOf(second), "WindowClass_" + std::to_string(dynamic));
    PostMessageA(second, WM_CLOSE, 0, 0);
    ASSERT_TRUE(FetchUntil(kv::kEventCloseWindow));
    EXPECT_EQ(kv::EventWindow(), dynamic);
}

TEST_F(WindowTest, EveryOperationOnNumberNotInUseReturnsZero) {
    HWND window = Open(1);
    RECT before, after;
    GetWindowRect(window, &before);
    Open(3, kMainWindowFlags, Open(2));  // an owned window goes with its owner
    kv::CloseWindow(2);
    for (kv::ObjectNumber number : {0, 2, 3, 500, -2, INT_MIN}) {
        EXPECT_EQ(kv::CloseWindow(number), 0) << number;
        EXPECT_EQ(kv::WindowID(number), nullptr) << number;
        EXPECT_EQ(kv::WindowHeight(number) | kv::WindowX(number) | kv::WindowY(number), 0);
        EXPECT_EQ(kv::ResizeWindow(number, 1, 1, 50, 50), 0) << number;
        EXPECT_EQ(kv::HideWindow(number, 1) | kv::HideWindow(number, 0), 0) << number;
    }
    GetWindowRect(window, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_TRUE(IsWindowVisible(window));
}

// ---- events ----

TEST_F(WindowTest, RepeatedEventsCollapseOnlyAtTheTailAfterTheDirectOnes) {
    HWND zero = Open(0, kv::kWindowInvisible);
    HWND one = Open(1, kv::kWindowInvisible);
    HDC dc = GetDC(zero);
    PostMessageA(zero, kv::kMessageGadgetEvent, 4, 1);
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
    for (int32_t code; (code = kv::WindowEvent(0)) != 0;)
        seen.emplace_back(code, kv::EventWindow());
    EXPECT_EQ(seen, (std::vector<std::pair<int32_t, int32_t>>{{kv::kEventRepaint, 0},
                                                              {kv::kEventMoveWindow, 0},
                                                              {kv::kEventRepaint, 0},
                                                              {kv::kEventRepaint, 1},
                                                              {kv::kEventGadget, 0}}));
}

TEST_F(WindowTest, PostedGadgetAndTrayEventsAreDirectOtherMessagesComeRaw) {
    HWND window = Open(0, kv::kWindowInvisible);
    PostMessageA(window, kv::kMessageGadgetEvent, 7, 14000);
    EXPECT_EQ(kv::WindowEvent(0), kv::kEventGadget);
    EXPECT_EQ(kv::EventGadget(), 7);
    EXPECT_EQ(kv::EventType(), 14000);
    PostMessageA(window, WM_USER + 5, 11, 22);
    EXPECT_EQ(kv::WindowEvent(0), WM_USER + 5);
    EXPECT_EQ(kv::EventWParam(), 11u);
    EXPECT_EQ(kv::EventLParam(), 22);
    const UINT mouse[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK};
    for (int32_t type = 0; type < 4; ++type) {
        SendMessageA(window, kv::kMessageTrayCallback, 1, mouse[type]);
        EXPECT_EQ(kv::WindowEvent(0), kv::kEventSysTray) << type;
        EXPECT_EQ(kv::EventGadget(), 1);
        EXPECT_EQ(kv::EventType(), type);
    }
    SendMessageA(window, kv::kMessageTrayCallback, 2, WM_MOUSEMOVE);
    EXPECT_EQ(kv::WindowEvent(0), static_cast<int32_t>(kv::kMessageTrayEvent));
    EXPECT_EQ(kv::EventLParam(), WM_MOUSEMOVE);
}

TEST_F(WindowTest, WaitWithNothingPendingReturnsZero) {
    // Invisible, so that no late X event of a new window ends the wait early.
    Open(0, kv::kWindowInvisible);
    DWORD start = GetTickCount();
    EXPECT_EQ(kv::WindowEvent(0), 0);
    EXPECT_LT(GetTickCount() - start, 50u);
    start = GetTickCount();
    EXPECT_EQ(kv::WindowEvent(100), 0);
    EXPECT_GE(GetTickCount() - start, 90u);
    EXPECT_LT(GetTickCount() - start, 1000u);
}

// ---- geometry ----

TEST_F(WindowTest, FlagsCentreAndChooseTheFrame) {
    HWND main = Open(0);
    RECT frame = {0, 0, 300, 420};
    AdjustWindowRect(&frame, WS_CAPTION | WS_SYSMENU, FALSE);
    EXPECT_EQ(kv::WindowX(0), (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2);
    EXPECT_EQ(kv::WindowY(0), (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2);
    EXPECT_EQ(kv::WindowHeight(0), 420);
    EXPECT_EQ(ClientSize(main).cx, 300);
    EXPECT_TRUE(IsWindowVisible(main));
    // The centring bit alone: a caption, but no system menu and so no close box.
    const LONG style = GetWindowLongA(Open(1, kv::kWindowCentreOnScreen), GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), WS_CAPTION);
    EXPECT_FALSE(IsWindowVisible(Open(2, kMainWindowFlags | kv::kWindowInvisible)));
}

TEST_F(WindowTest, ResizeKeepsPlaceAndSetsInnerSize) {
    HWND window = Open(0);
    const int32_t x = kv::WindowX(0), y = kv::WindowY(0);
    EXPECT_NE(kv::ResizeWindow(0, x, y, 300, 460), 0);
    EXPECT_EQ(kv::WindowX(0), x);
    EXPECT_EQ(kv::WindowY(0), y);
    EXPECT_EQ(ClientSize(window).cx, 300);
    EXPECT_EQ(kv::WindowHeight(0), 460);
    RECT before, after;
    GetWindowRect(window, &before);
    kv::ResizeWindow(0, kv::kKeepValue, kv::kKeepValue, kv::kKeepValue, kv::kKeepValue);
    GetWindowRect(window, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
}

class HideWindowTest : public WindowTest, public ::testing::WithParamInterface<uint32_t> {};

TEST_P(HideWindowTest, HidingAndShowingRestoresTheShowState) {
    HWND window = Open(0, kMainWindowFlags | GetParam());
    EXPECT_NE(kv::HideWindow(0, 1), 0);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(kv::HideWindow(0, 0), 0);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(IsZoomed(window) != 0, GetParam() == WS_MAXIMIZE);
    EXPECT_EQ(IsIconic(window) != 0, GetParam() == WS_MINIMIZE);
}

INSTANTIATE_TEST_SUITE_P(States, HideWindowTest,
                         ::testing::Values(0u, static_cast<uint32_t>(WS_MAXIMIZE),
                                           static_cast<uint32_t>(WS_MINIMIZE)));

}  // namespace
