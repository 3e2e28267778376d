#include <gtest/gtest.h>
#include <windows.h>

#include "toolkit/gadget.h"
#include "toolkit/image.h"
#include "toolkit/systray.h"
#include "toolkit/toolkit.h"
#include "toolkit/window.h"

namespace {

int trayAdds = 0;
int trayDeletes = 0;
bool windowAliveAtTrayDelete = false;

BOOL RecordNotify(DWORD message, NOTIFYICONDATAA* data) {
    if (message == NIM_ADD)
        ++trayAdds;
    if (message == NIM_DELETE) {
        ++trayDeletes;
        windowAliveAtTrayDelete = IsWindow(data->hWnd) != FALSE;
    }
    return TRUE;
}

// One process, one start-up: the libraries are process-wide.
TEST(ToolkitTest, StartsEveryLibraryAndStopsInOrder) {
    kv::SetNotifyIconFunction(RecordNotify);
    kv::StartToolkit();

    HWND window = reinterpret_cast<HWND>(kv::OpenWindow(
        0, 0, 0, 200, 100, "Toolkit", kv::kWindowDefaultFlags | kv::kWindowInvisible));
    ASSERT_NE(window, nullptr);
    kv::CreateGadgetList(window);
    ASSERT_NE(kv::ButtonGadget(4, 0, 0, 50, 20, "Add"), 0);
    HICON icon = LoadIconA(nullptr, IDI_APPLICATION);
    ASSERT_NE(kv::AddSysTrayIcon(1, window, icon), 0);
    EXPECT_EQ(trayAdds, 1);

    kv::StopToolkit();

    EXPECT_EQ(trayDeletes, 1);
    EXPECT_TRUE(windowAliveAtTrayDelete);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(kv::WindowID(0), nullptr);
    EXPECT_EQ(kv::GetGadgetText(4), "");
    EXPECT_EQ(kv::RemoveSysTrayIcon(1), 0);
}

}  // namespace
