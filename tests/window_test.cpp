#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "tests/window_support.h"
#include "toolkit/window.h"

namespace {

using kv_test::Child;
using kv_test::ClassOf;
using kv_test::FetchUntil;
using kv_test::kMainWindowFlags;
using kv_test::WindowTest;

bool ClassExists(const std::string& name) {
    WNDCLASSA info;
    return GetClassInfoA(GetModuleHandleA(nullptr), name.c_str(), &info) != 0;
}

// ---- numbers ----

TEST_F(WindowTest, StaticNumberGivesHandleClassAndProperty) {
    HWND window = Open(3);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(kv::WindowID(3), window);
    EXPECT_EQ(ClassOf(window), "WindowClass_3");
    EXPECT_EQ(reinterpret_cast<intptr_t>(GetPropA(window, "KV_WindowID")), 4);
    EXPECT_EQ(GetClassLongA(window, GCL_STYLE) & CS_DBLCLKS, static_cast<DWORD>(CS_DBLCLKS));
    EXPECT_EQ(GetClassLongA(window, GCL_HBRBACKGROUND), static_cast<DWORD>(COLOR_BTNFACE + 1));
    const HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(GetClassLongA(window, GCL_HICON), reinterpret_cast<DWORD>(icon));
    EXPECT_EQ(GetClassLongA(window, GCL_HCURSOR),
              reinterpret_cast<DWORD>(LoadCursorA(nullptr, IDC_ARROW)));
    EXPECT_EQ(kv::WindowNumberOf(window), 3);
    EXPECT_EQ(kv::WindowNumberOf(Child(window, "Button", 0, 1)), 3);
    EXPECT_EQ(kv::WindowNumberOf(GetDesktopWindow()), -1);
}

TEST_F(WindowTest, ReusingNumberClosesOldWindowAndRegistersClassAnew) {
    HWND first = Open(0);
    HWND second = Open(0);
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(kv::WindowID(0), second);
    EXPECT_EQ(ClassOf(second), "WindowClass_0");
    EXPECT_EQ(kv::CloseWindow(0), 1);
    EXPECT_FALSE(IsWindow(second));
    EXPECT_FALSE(ClassExists("WindowClass_0"));
    EXPECT_EQ(kv::WindowID(0), nullptr);
}

TEST_F(WindowTest, DynamicNumbersNameTheirWindowsAndEvents) {
    const intptr_t first = kv::OpenWindow(-1, 0, 0, 100, 100, "a", kv::kWindowInvisible);
    const intptr_t second = kv::OpenWindow(-1, 0, 0, 100, 100, "b", kv::kWindowInvisible);
    ASSERT_NE(first, 0);
    ASSERT_NE(second, 0);
    EXPECT_NE(first, second);
    const auto number = static_cast<kv::ObjectNumber>(second);
    HWND window = kv::WindowID(number);
    ASSERT_NE(window, nullptr);
    EXPECT_NE(reinterpret_cast<intptr_t>(window), second);
    EXPECT_EQ(ClassOf(window), "WindowClass_" + std::to_string(number));
    EXPECT_EQ(kv::WindowNumberOf(window), number);
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(FetchUntil(kv::kEventCloseWindow));
    EXPECT_EQ(kv::EventWindow(), number);
    EXPECT_EQ(kv::CloseWindow(number), 1);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_NE(kv::WindowID(static_cast<kv::ObjectNumber>(first)), nullptr);
}

TEST_F(WindowTest, EveryOperationOnNumberNotInUseReturnsZero) {
    HWND window = Open(1);
    RECT before;
    GetWindowRect(window, &before);
    Open(2);
    kv::CloseWindow(2);
    for (kv::ObjectNumber number : {0, 2, 15, 16, 500, -2, INT_MAX, INT_MIN}) {
        EXPECT_EQ(kv::CloseWindow(number), 0) << number;
        EXPECT_EQ(kv::WindowID(number), nullptr) << number;
        EXPECT_EQ(kv::WindowHeight(number), 0) << number;
        EXPECT_EQ(kv::WindowX(number), 0) << number;
        EXPECT_EQ(kv::WindowY(number), 0) << number;
        EXPECT_EQ(kv::ResizeWindow(number, 1, 1, 50, 50), 0) << number;
        EXPECT_EQ(kv::HideWindow(number, 1), 0) << number;
        EXPECT_EQ(kv::HideWindow(number, 0), 0) << number;
    }
    RECT after;
    GetWindowRect(window, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(kv::WindowID(1), window);
}

TEST_F(WindowTest, OwnedWindowGoesWithItsOwnerAndFreesItsNumber) {
    HWND owner = Open(0);
    HWND owned = Open(1, kMainWindowFlags, owner);
    ASSERT_EQ(GetWindow(owned, GW_OWNER), owner);
    kv::CloseWindow(0);
    EXPECT_FALSE(IsWindow(owned));
    EXPECT_EQ(kv::WindowID(1), nullptr);
    EXPECT_NE(Open(1), nullptr);
}

// ---- events ----

TEST_F(WindowTest, RepeatedWindowEventsCollapseOnlyAtTheTail) {
    HWND zero = Open(0, kv::kWindowInvisible);
    HWND one = Open(1, kv::kWindowInvisible);
    HDC dc = GetDC(zero);
    auto erase = [dc](HWND window) { SendMessageA(window, WM_ERASEBKGND, (WPARAM)dc, 0); };
    // A direct event posted first still comes after the queued ones.
    PostMessageA(zero, kv::kMessageGadgetEvent, 4, 1);
    erase(zero);
    erase(zero);
    SendMessageA(zero, WM_MOVE, 0, 0);
    erase(zero);
    erase(one);
    erase(one);
    ReleaseDC(zero, dc);
    const std::vector<std::pair<int32_t, int32_t>> expected = {{kv::kEventRepaint, 0},
                                                               {kv::kEventMoveWindow, 0},
                                                               {kv::kEventRepaint, 0},
                                                               {kv::kEventRepaint, 1},
                                                               {kv::kEventGadget, 0}};
    std::vector<std::pair<int32_t, int32_t>> seen;
    for (int32_t code; (code = kv::WindowEvent(0)) != 0;)
        seen.emplace_back(code, kv::EventWindow());
    EXPECT_EQ(seen, expected);
}

TEST_F(WindowTest, CommandsAndPostedGadgetEventsAreDirectEvents) {
    HWND window = Open(0, kv::kWindowInvisible);
    PostMessageA(window, kv::kMessageGadgetEvent, 7, 14000);
    EXPECT_EQ(kv::WindowEvent(0), kv::kEventGadget);
    EXPECT_EQ(kv::EventGadget(), 7);
    EXPECT_EQ(kv::EventType(), 14000);

    PostMessageA(window, WM_COMMAND, MAKEWPARAM(42, 0), 0);
    EXPECT_EQ(kv::WindowEvent(0), kv::kEventMenu);
    EXPECT_EQ(kv::EventMenu(), 42);
    EXPECT_EQ(kv::EventType(), -1);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(77, 1), 0);
    EXPECT_EQ(kv::WindowEvent(0), kv::kEventMenu);
    EXPECT_EQ(kv::EventMenu(), 77);
    // The focus commands move the focus and make no event.
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(kv::kCommandFocusNext, 1), 0);
    EXPECT_EQ(kv::WindowEvent(0), WM_COMMAND);

    // The click focuses the button, which activates the window: fetch past that event.
    PostMessageA(Child(window, "Button", BS_PUSHBUTTON, 5, "OK"), BM_CLICK, 0, 0);
    ASSERT_TRUE(FetchUntil(kv::kEventGadget));
    EXPECT_EQ(kv::EventGadget(), 5);
    EXPECT_EQ(kv::EventType(), BN_CLICKED);
    EXPECT_EQ(kv::EventWindow(), 0);
}

TEST_F(WindowTest, UnhandledMessageComesBackRawWithItsParameters) {
    HWND window = Open(0, kv::kWindowInvisible);
    PostMessageA(window, WM_USER + 5, 11, 22);
    EXPECT_EQ(kv::WindowEvent(0), WM_USER + 5);
    EXPECT_EQ(kv::EventWParam(), 11u);
    EXPECT_EQ(kv::EventLParam(), 22);
    PostQuitMessage(3);
    EXPECT_EQ(kv::WaitWindowEvent(), WM_QUIT);
    EXPECT_EQ(kv::EventWParam(), 3u);
}

TEST_F(WindowTest, TrayCallbackBecomesTrayEventOrRawMessage) {
    HWND window = Open(0, kv::kWindowInvisible);
    const UINT mouse[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK};
    for (int32_t type = 0; type < 4; ++type) {
        SendMessageA(window, kv::kMessageTrayCallback, 1, mouse[type]);
        EXPECT_EQ(kv::WindowEvent(0), kv::kEventSysTray) << type;
        EXPECT_EQ(kv::EventGadget(), 1);
        EXPECT_EQ(kv::EventType(), type);
    }
    SendMessageA(window, kv::kMessageTrayCallback, 2, WM_MOUSEMOVE);
    EXPECT_EQ(kv::WindowEvent(0), static_cast<int32_t>(kv::kMessageTrayEvent));
    EXPECT_EQ(kv::EventWParam(), 2u);
    EXPECT_EQ(kv::EventLParam(), WM_MOUSEMOVE);
    EXPECT_EQ(kv::EventGadget(), 1);
}

TEST_F(WindowTest, DropEventsCarryTheirRecordUntilTheNextFetch) {
    HWND window = Open(0, kv::kWindowInvisible);
    auto drop = std::make_unique<kv::DropRecord>();
    drop->format = CF_TEXT;
    drop->data = {'h', 'i', 0};
    const kv::DropRecord* sent = drop.get();
    PostMessageA(window, kv::kMessageGadgetDrop, 9, reinterpret_cast<LPARAM>(drop.release()));
    EXPECT_EQ(kv::WindowEvent(0), kv::kEventGadgetDrop);
    EXPECT_EQ(kv::EventGadget(), 9);
    ASSERT_EQ(kv::EventDropData(), sent);
    EXPECT_STREQ(kv::EventDropData()->data.data(), "hi");

    PostMessageA(window, kv::kMessageWindowDrop, 0,
                 reinterpret_cast<LPARAM>(std::make_unique<kv::DropRecord>().release()));
    EXPECT_EQ(kv::WindowEvent(0), kv::kEventWindowDrop);
    EXPECT_NE(kv::EventDropData(), nullptr);
    EXPECT_EQ(kv::EventGadget(), 9);
    EXPECT_EQ(kv::WindowEvent(0), 0);
    EXPECT_EQ(kv::EventDropData(), nullptr);
}

TEST_F(WindowTest, WaitWithNothingPendingReturnsZero) {
    // Invisible, so that no late X event of a new window ends the wait early.
    Open(0, kv::kWindowInvisible);
    DWORD start = GetTickCount();
    EXPECT_EQ(kv::WindowEvent(0), 0);
    EXPECT_LT(GetTickCount() - start, 50u);
    start = GetTickCount();
    EXPECT_EQ(kv::WindowEvent(100), 0);
    const DWORD waited = GetTickCount() - start;
    EXPECT_GE(waited, 90u);
    EXPECT_LT(waited, 1000u);
}

// ---- hand-offs ----

struct Offer {
    HWND control;
    HWND window;
    UINT message;
};
std::vector<Offer> gOffers;
LRESULT gAnswer = kv::kNotHandled;

LRESULT RecordOffer(HWND control, HWND window, UINT message, WPARAM, LPARAM) {
    gOffers.push_back({control, window, message});
    return gAnswer;
}

TEST_F(WindowTest, ControlMessagesAreOfferedToTheGadgetLayer) {
    HWND window = Open(0, kv::kWindowInvisible);
    HWND button = Child(window, "Button", BS_PUSHBUTTON, 5);
    kv::SetControlMessageHandler(&RecordOffer);

    gAnswer = 1234;
    NMHDR header = {button, 5, NM_CLICK};
    EXPECT_EQ(SendMessageA(window, WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&header)), 1234);
    EXPECT_EQ(SendMessageA(window, WM_CTLCOLORBTN, 0, reinterpret_cast<LPARAM>(button)), 1234);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(5, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    EXPECT_EQ(kv::WindowEvent(0), WM_COMMAND);
    ASSERT_EQ(gOffers.size(), 3u);
    for (const Offer& offer : gOffers) {
        EXPECT_EQ(offer.control, button);
        EXPECT_EQ(offer.window, window);
    }
    EXPECT_EQ(gOffers[2].message, static_cast<UINT>(WM_COMMAND));

    gAnswer = kv::kNotHandled;
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(5, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    EXPECT_EQ(kv::WindowEvent(0), kv::kEventGadget);
    EXPECT_EQ(SendMessageA(window, WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&header)), 0);

    kv::SetControlMessageHandler(nullptr);
    gOffers.clear();
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(5, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    EXPECT_EQ(kv::WindowEvent(0), kv::kEventGadget);
    EXPECT_TRUE(gOffers.empty());
}

// ---- geometry ----

SIZE OuterSize(DWORD style, int width, int height) {
    RECT frame = {0, 0, width, height};
    AdjustWindowRect(&frame, style, FALSE);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

SIZE ClientSize(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

TEST_F(WindowTest, FlagsCentreAndChooseTheFrame) {
    HWND main = Open(0);
    const SIZE outer = OuterSize(WS_CAPTION | WS_SYSMENU, 300, 420);
    EXPECT_EQ(kv::WindowX(0), (GetSystemMetrics(SM_CXSCREEN) - outer.cx) / 2);
    EXPECT_EQ(kv::WindowY(0), (GetSystemMetrics(SM_CYSCREEN) - outer.cy) / 2);
    EXPECT_EQ(kv::WindowHeight(0), 420);
    EXPECT_EQ(ClientSize(main).cx, 300);
    EXPECT_EQ(GetWindowLongA(main, GWL_STYLE) & WS_SYSMENU, WS_SYSMENU);
    EXPECT_TRUE(IsWindowVisible(main));

    // The centring bit alone: a caption, but no system menu and so no close box.
    const LONG style = GetWindowLongA(Open(1, kv::kWindowCentreOnScreen), GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_EQ(style & WS_SYSMENU, 0);

    EXPECT_FALSE(IsWindowVisible(Open(2, kMainWindowFlags | kv::kWindowInvisible)));
    EXPECT_EQ(kv::WindowHeight(2), 420);
}

TEST_F(WindowTest, ResizeKeepsPlaceAndSetsInnerSize) {
    HWND window = Open(0);
    const int32_t x = kv::WindowX(0), y = kv::WindowY(0);
    EXPECT_NE(kv::ResizeWindow(0, kv::WindowX(0), kv::WindowY(0), 300, 460), 0);
    EXPECT_EQ(kv::WindowX(0), x);
    EXPECT_EQ(kv::WindowY(0), y);
    EXPECT_EQ(ClientSize(window).cx, 300);
    EXPECT_EQ(kv::WindowHeight(0), 460);

    RECT before, after;
    GetWindowRect(window, &before);
    kv::ResizeWindow(0, kv::kKeepValue, kv::kKeepValue, kv::kKeepValue, kv::kKeepValue);
    GetWindowRect(window, &after);
    EXPECT_TRUE(EqualRect(&before, &after));

    kv::ResizeWindow(0, 40, kv::kKeepValue, kv::kKeepValue, 200);
    EXPECT_EQ(kv::WindowX(0), 40);
    EXPECT_EQ(kv::WindowY(0), y);
    EXPECT_EQ(ClientSize(window).cx, 300);
    EXPECT_EQ(kv::WindowHeight(0), 200);
}

class HideWindowTest : public WindowTest, public ::testing::WithParamInterface<uint32_t> {};

TEST_P(HideWindowTest, HidingAndShowingRestoresTheShowState) {
    HWND window = Open(0, kMainWindowFlags | GetParam());
    const bool zoomed = IsZoomed(window), iconic = IsIconic(window);
    EXPECT_EQ(zoomed, GetParam() == WS_MAXIMIZE);
    EXPECT_EQ(iconic, GetParam() == WS_MINIMIZE);
    EXPECT_NE(kv::HideWindow(0, 1), 0);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(kv::HideWindow(0, 0), 0);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(IsZoomed(window) != 0, zoomed);
    EXPECT_EQ(IsIconic(window) != 0, iconic);
}

INSTANTIATE_TEST_SUITE_P(States, HideWindowTest,
                         ::testing::Values(0u, static_cast<uint32_t>(WS_MAXIMIZE),
                                           static_cast<uint32_t>(WS_MINIMIZE)));

}  // namespace
