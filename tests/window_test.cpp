#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "toolkit/window.h"

namespace {

constexpr uint32_t kMainWindowFlags = 0xC80001;

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override { kv::InitWindowLibrary(GetModuleHandleA(nullptr)); }
    void TearDown() override { kv::CloseAllWindows(); }

    HWND Open(kv::ObjectNumber number, uint32_t flags = kMainWindowFlags) {
        return reinterpret_cast<HWND>(kv::OpenWindow(number, 0, 0, 300, 420, "Test", flags));
    }
};

// Hands out everything already pending, so that a test starts from an empty event queue.
void Drain() {
    while (kv::WindowEvent(0) != 0) {
    }
}

// Fetches events until `code` arrives; false after `limitMs` without it.
bool FetchUntil(int32_t code, DWORD limitMs = 2000) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < limitMs) {
        if (kv::WindowEvent(50) == code)
            return true;
    }
    return false;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

TEST_F(WindowTest, StaticNumberGivesHandleClassAndProperty) {
    HWND window = Open(3);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(kv::WindowID(3), window);
    EXPECT_EQ(ClassOf(window), "WindowClass_3");
    EXPECT_EQ(reinterpret_cast<intptr_t>(GetPropA(window, "KV_WindowID")), 4);
    EXPECT_EQ(GetClassLongA(window, GCL_STYLE) & CS_DBLCLKS, static_cast<DWORD>(CS_DBLCLKS));
    EXPECT_EQ(GetClassLongA(window, GCL_HBRBACKGROUND), static_cast<DWORD>(COLOR_BTNFACE + 1));
    EXPECT_EQ(kv::WindowNumberOf(window), 3);
}

TEST_F(WindowTest, CloseMessageQueuesCloseEventAndKeepsWindow) {
    HWND window = Open(0);
    Drain();
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(FetchUntil(kv::kEventCloseWindow));
    EXPECT_EQ(kv::EventWindow(), 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(kv::WindowID(0), window);
}

TEST_F(WindowTest, PostedGadgetEventCarriesNumberAndType) {
    HWND window = Open(0, kv::kWindowInvisible);
    PostMessageA(window, kv::kMessageGadgetEvent, 7, 14000);
    ASSERT_TRUE(FetchUntil(kv::kEventGadget));
    EXPECT_EQ(kv::EventGadget(), 7);
    EXPECT_EQ(kv::EventType(), 14000);
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

// Invisible, so that no late X event of a new window ends the wait early.
TEST_F(WindowTest, WaitWithNothingPendingReturnsZero) {
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

}  // namespace
