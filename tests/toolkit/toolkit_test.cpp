#include <gtest/gtest.h>
#include <ole2.h>
#include <windows.h>

#include <utility>
#include <vector>

#include "toolkit/internal.h"
#include "toolkit/systray.h"
#include "toolkit/toolkit.h"
#include "toolkit/window.h"

namespace kv {
namespace {

// Per shell call: the message, and whether the icon's owner still existed.
std::vector<std::pair<DWORD, bool>> calls;

// OleInitialize answers S_FALSE while OLE is already initialised on the thread.
bool OleIsInitialised() {
    const HRESULT result = OleInitialize(nullptr);
    OleUninitialize();
    return result == S_FALSE;
}

TEST(ToolkitTest, StopReleasesTrayIconsWhileTheirWindowsExistThenTheRest) {
    SetNotifyIconFunction([](DWORD message, NOTIFYICONDATAA* data) -> BOOL {
        calls.emplace_back(message, IsWindow(data->hWnd) != 0);
        return TRUE;
    });
    calls.clear();
    StartToolkit();
    EXPECT_TRUE(OleIsInitialised());
    HWND window = reinterpret_cast<HWND>(OpenWindow(0, 0, 0, 200, 100, "", kWindowDefaultFlags));
    ASSERT_NE(AddSysTrayIcon(4, window, LoadIconA(nullptr, IDI_APPLICATION)), 0);

    StopToolkit();
    EXPECT_EQ(calls, (std::vector<std::pair<DWORD, bool>>{{NIM_ADD, true}, {NIM_DELETE, true}}));
    EXPECT_FALSE(OleIsInitialised());
    EXPECT_FALSE(IsWindow(window));
}

}  // namespace
}  // namespace kv
