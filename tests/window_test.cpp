#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "tests/window_support.h"
#include "toolkit/window.h"

namespace {

using kv_test::Child;
using kv_test::ClassOf;
using kv_test::Drain;
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

TEST_F(WindowTest, NegativeNumberOtherThanDynamicOpensNothing) {
    EXPECT_EQ(kv::OpenWindow(-2, 0, 0, 100, 100, "x", kMainWindowFlags), 0);
    EXPECT_FALSE(ClassExists("WindowClass_-2"));
    EXPECT_EQ(FindWindowA(nullptr, "x"), nullptr);
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

TEST_F(WindowTest, CloseAllWindowsClosesStaticAndDynamicOnes) {
    HWND windows[] = {Open(0), Open(7),
                      kv::WindowID(static_cast<kv::ObjectNumber>(
                          kv::OpenWindow(-1, 0, 0, 50, 50, "d", kv::kWindowInvisible)))};
    kv::CloseAllWindows();
    for (HWND window : windows)
        EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(kv::WindowID(0), nullptr);
    EXPECT_EQ(kv::WindowID(7), nullptr);
}

// A drop target that counts its references, to see the window give up its registration.
class CountingDropTarget : public IDropTarget {
  public:
    ULONG references = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (id == IID_IUnknown || id == IID_IDropTarget) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD*) override { return S_OK; }
};

CountingDropTarget* gTarget = nullptr;
ULONG gReferencesAtDestroy = 0;
WNDPROC gToolkitProcedure = nullptr;
LRESULT CALLBACK NoteReferencesAtDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY)
        gReferencesAtDestroy = gTarget->references;
    return CallWindowProcA(gToolkitProcedure, window, message, wParam, lParam);
}

// The registration must be gone before the window is destroyed, not merely cleaned up after.
TEST_F(WindowTest, CloseWindowRevokesDropTargetFirst) {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    CountingDropTarget target;
    gTarget = &target;
    HWND window = Open(0);
    ASSERT_EQ(RegisterDragDrop(window, &target), S_OK);
    SetPropA(window, "KV_DropAccept", &target);
    ASSERT_GT(target.references, 1u);
    gToolkitProcedure = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NoteReferencesAtDestroy)));
    kv::CloseWindow(0);
    EXPECT_EQ(gReferencesAtDestroy, 1u);
    EXPECT_EQ(target.references, 1u);
    OleUninitialize();
}

// ---- events ----

TEST_F(WindowTest, CloseBoxQueuesCloseEventAndKeepsWindow) {
    HWND window = Open(0);
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(FetchUntil(kv::kEventCloseWindow));
    EXPECT_EQ(kv::EventWindow(), 0);
    EXPECT_EQ(kv::EventType(), -1);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(kv::WindowID(0), window);
}

TEST_F(WindowTest, CloseForWindowWithoutNumberIsSwallowed) {
    Open(0, kv::kWindowInvisible);
    HWND stranger = CreateWindowExA(0, "WindowClass_0", "", WS_OVERLAPPED, 0, 0, 50, 50, nullptr,
                                    nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(stranger, nullptr);
    EXPECT_EQ(SendMessageA(stranger, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(IsWindow(stranger));
    EXPECT_EQ(kv::WindowEvent(0), 0);
    DestroyWindow(stranger);
}

TEST_F(WindowTest, RepeatedWindowEventsCollapseOnlyAtTheTail) {
    HWND zero = Open(0, kv::kWindowInvisible);
    HWND one = Open(1, kv::kWindowInvisible);
    HDC dc = GetDC(zero);
    auto erase = [dc](HWND window) { SendMessageA(window, WM_ERASEBKGND, (WPARAM)dc, 0); };
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
                                                               {kv::kEventRepaint, 1}};
    std::vector<std::pair<int32_t, int32_t>> seen;
    for (int32_t code; (code = kv::WindowEvent(0)) != 0;)
        seen.emplace_back(code, kv::EventWindow());
    EXPECT_EQ(seen, expected);
}

TEST_F(WindowTest, SizeActivateAndMoveBecomeQueuedEvents) {
    HWND window = Open(0, kv::kWindowInvisible);
    EXPECT_EQ(SendMessageA(window, WM_SIZE, SIZE_MINIMIZED, 0), 0);
    EXPECT_EQ(kv::WindowEvent(0), 0);
    EXPECT_EQ(SendMessageA(window, WM_ACTIVATE, WA_INACTIVE, 0), 1);
    EXPECT_EQ(kv::WindowEvent(0), 0);
    EXPECT_EQ(SendMessageA(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(10, 10)), 0);
    EXPECT_EQ(SendMessageA(window, WM_ACTIVATE, WA_ACTIVE, 0), 1);
    EXPECT_EQ(SendMessageA(window, WM_MOVE, 0, 0), 0);
    EXPECT_EQ(kv::WindowEvent(0), kv::kEventSizeWindow);
    EXPECT_EQ(kv::WindowEvent(0), kv::kEventActivateWindow);
    EXPECT_EQ(kv::WindowEvent(0), kv::kEventMoveWindow);
    EXPECT_EQ(kv::WindowEvent(0), 0);
}

TEST_F(WindowTest, QueuedEventsComeBeforeNewMessages) {
    HWND window = Open(0, kv::kWindowInvisible);
    PostMessageA(window, kv::kMessageGadgetEvent, 4, 1);
    SendMessageA(window, WM_MOVE, 0, 0);
    EXPECT_EQ(kv::WindowEvent(0), kv::kEventMoveWindow);
    EXPECT_EQ(kv::WindowEvent(0), kv::kEventGadget);
    EXPECT_EQ(kv::EventGadget(), 4);
}

TEST_F(WindowTest, PostedGadgetEventCarriesNumberAndType) {
    HWND window = Open(0, kv::kWindowInvisible);
    PostMessageA(window, kv::kMessageGadgetEvent, 7, 14000);
    ASSERT_TRUE(FetchUntil(kv::kEventGadget));
    EXPECT_EQ(kv::EventGadget(), 7);
    EXPECT_EQ(kv::EventType(), 14000);
}

TEST_F(WindowTest, ControlCommandGivesGadgetEvent) {
    HWND window = Open(0, kv::kWindowInvisible);
    HWND button = Child(window, "Button", BS_PUSHBUTTON, 5, "OK");
    PostMessageA(button, BM_CLICK, 0, 0);
    ASSERT_TRUE(FetchUntil(kv::kEventGadget));
    EXPECT_EQ(kv::EventGadget(), 5);
    EXPECT_EQ(kv::EventType(), BN_CLICKED);
    EXPECT_EQ(kv::EventWindow(), 0);
}

TEST_F(WindowTest, MenuAndAcceleratorCommandsGiveMenuEvents) {
    HWND window = Open(0, kv::kWindowInvisible);
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

TEST_F(WindowTest, TrayCallbackBecomesTrayEventOfEachType) {
    HWND window = Open(0, kv::kWindowInvisible);
    const UINT mouse[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK};
    for (int32_t type = 0; type < 4; ++type) {
        SendMessageA(window, kv::kMessageTrayCallback, 1, mouse[type]);
        ASSERT_TRUE(FetchUntil(kv::kEventSysTray)) << type;
        EXPECT_EQ(kv::EventGadget(), 1);
        EXPECT_EQ(kv::EventType(), type);
    }
}

TEST_F(WindowTest, OtherTrayMouseMessageComesBackRaw) {
    HWND window = Open(0, kv::kWindowInvisible);
    SendMessageA(window, kv::kMessageTrayCallback, 2, WM_MOUSEMOVE);
    ASSERT_TRUE(FetchUntil(kv::kMessageTrayEvent));
    EXPECT_EQ(kv::EventWParam(), 2u);
    EXPECT_EQ(kv::EventLParam(), WM_MOUSEMOVE);
    EXPECT_EQ(kv::EventType(), -1);
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

std::vector<HWND> gTaskbarWindows;
void RecordTaskbarCreated(HWND window) {
    gTaskbarWindows.push_back(window);
}

TEST_F(WindowTest, TaskbarRestartReachesItsHandler) {
    HWND window = Open(0, kv::kWindowInvisible);
    kv::SetTaskbarCreatedHandler(&RecordTaskbarCreated);
    SendMessageA(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_EQ(gTaskbarWindows, std::vector<HWND>{window});
}

int gSysColorChanges = 0;
LRESULT CALLBACK CountSysColorChange(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SYSCOLORCHANGE)
        ++gSysColorChanges;
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(WindowTest, SysColorChangeReachesEveryChild) {
    WNDCLASSA counting = {};
    counting.lpfnWndProc = &CountSysColorChange;
    counting.hInstance = GetModuleHandleA(nullptr);
    counting.lpszClassName = "CountingChild";
    ASSERT_NE(RegisterClassA(&counting), 0);
    HWND window = Open(0, kv::kWindowInvisible);
    HWND child = Child(window, "CountingChild", 0, 1);
    Child(child, "CountingChild", 0, 2);
    SendMessageA(window, WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(gSysColorChanges, 2);
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

TEST_F(WindowTest, MainWindowFlagsCentreOnScreen) {
    HWND window = Open(0);
    const SIZE outer = OuterSize(WS_CAPTION | WS_SYSMENU, 300, 420);
    EXPECT_EQ(kv::WindowX(0), (GetSystemMetrics(SM_CXSCREEN) - outer.cx) / 2);
    EXPECT_EQ(kv::WindowY(0), (GetSystemMetrics(SM_CYSCREEN) - outer.cy) / 2);
    EXPECT_EQ(kv::WindowHeight(0), 420);
    EXPECT_EQ(ClientSize(window).cx, 300);
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(style & WS_SYSMENU, WS_SYSMENU);
    EXPECT_TRUE(IsWindowVisible(window));
}

TEST_F(WindowTest, CentringFlagAloneGivesCaptionWithoutSystemMenu) {
    HWND window = Open(0, kv::kWindowCentreOnScreen);
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_EQ(style & WS_SYSMENU, 0);
    const SIZE outer = OuterSize(WS_CAPTION, 300, 420);
    EXPECT_EQ(kv::WindowX(0), (GetSystemMetrics(SM_CXSCREEN) - outer.cx) / 2);
}

TEST_F(WindowTest, StyleBitsGivenMeanNoCaptionAdded) {
    HWND window = Open(0, WS_POPUP | WS_BORDER | kv::kWindowInvisible);
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_NE(style & WS_POPUP, 0);
    EXPECT_NE(style & WS_CAPTION, WS_CAPTION);
    EXPECT_EQ(ClientSize(window).cy, 420);
}

TEST_F(WindowTest, InvisibleBitOpensHiddenWindow) {
    HWND window = Open(0, kMainWindowFlags | kv::kWindowInvisible);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(kv::WindowHeight(0), 420);
}

TEST_F(WindowTest, CentreOnParent) {
    HWND parent = reinterpret_cast<HWND>(kv::OpenWindow(0, 100, 50, 600, 500, "p", 0xC80000));
    HWND child = reinterpret_cast<HWND>(
        kv::OpenWindow(1, 0, 0, 200, 100, "c", kv::kWindowCentreOnParent, parent));
    RECT outer, inner;
    GetWindowRect(parent, &outer);
    GetWindowRect(child, &inner);
    EXPECT_EQ(inner.left, outer.left + (outer.right - outer.left - (inner.right - inner.left)) / 2);
    EXPECT_EQ(inner.top, outer.top + (outer.bottom - outer.top - (inner.bottom - inner.top)) / 2);
    EXPECT_EQ(GetWindow(child, GW_OWNER), parent);
}

TEST_F(WindowTest, WindowLargerThanScreenIsLimitedAndPlacedAtOrigin) {
    const intptr_t handle = kv::OpenWindow(0, 0, 0, 5000, 4000, "big", kMainWindowFlags);
    RECT frame;
    GetWindowRect(reinterpret_cast<HWND>(handle), &frame);
    EXPECT_EQ(frame.left, 0);
    EXPECT_EQ(frame.top, 0);
    EXPECT_EQ(frame.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(frame.bottom, GetSystemMetrics(SM_CYSCREEN));
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

TEST_F(WindowTest, HeightCountsTheMenuBar) {
    HWND window = Open(0);
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_STRING, 1, "Datei");
    SetMenu(window, bar);
    kv::ResizeWindow(0, kv::kKeepValue, kv::kKeepValue, kv::kKeepValue, 300);
    EXPECT_EQ(kv::WindowHeight(0), 300);
    EXPECT_EQ(kv::WindowHeight(0), ClientSize(window).cy + GetSystemMetrics(SM_CYMENU));
    kv::ResizeWindow(0, kv::kKeepValue, kv::kKeepValue, 250, kv::kKeepValue);
    EXPECT_EQ(kv::WindowHeight(0), 300);
    EXPECT_EQ(ClientSize(window).cx, 250);
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
