#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "toolkit/gadget.h"
#include "toolkit/image.h"
#include "toolkit/menu.h"
#include "toolkit/systray.h"
#include "toolkit/toolkit.h"
#include "toolkit/window.h"

namespace {

struct Notification {
    DWORD message;
    bool ownerAlive;
};
std::vector<Notification> gNotifications;

BOOL RecordNotification(DWORD message, NOTIFYICONDATAA* data) {
    gNotifications.push_back({message, IsWindow(data->hWnd) != 0});
    return TRUE;
}

// OleInitialize answers S_FALSE while OLE is already initialised on the thread.
bool OleIsInitialised() {
    const HRESULT result = OleInitialize(nullptr);
    OleUninitialize();
    return result == S_FALSE;
}

TEST(ToolkitTest, StopReleasesEveryKindTrayIconsFirst) {
    kv::SetNotifyIconFunction(&RecordNotification);
    kv::StartToolkit();
    EXPECT_TRUE(OleIsInitialised());

    HWND window =
        reinterpret_cast<HWND>(kv::OpenWindow(0, 0, 0, 200, 100, "Start", kv::kWindowDefaultFlags));
    ASSERT_NE(window, nullptr);
    kv::CreateGadgetList(window);
    ASSERT_NE(kv::ButtonGadget(1, 0, 0, 80, 20, "OK"), 0);
    HWND button = kv::GadgetID(1);
    ASSERT_NE(kv::CreatePopupMenu(2), 0);
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(KV_DATA_ICON_ARMED), RT_RCDATA);
    ASSERT_NE(found, nullptr);
    ASSERT_NE(kv::CatchImage(3, LockResource(LoadResource(nullptr, found)),
                             SizeofResource(nullptr, found)),
              0);
    ASSERT_NE(kv::AddSysTrayIcon(4, window, static_cast<HICON>(kv::ImageID(3))), 0);

    kv::StopToolkit();
    ASSERT_EQ(gNotifications.size(), 2u);
    EXPECT_EQ(gNotifications[1].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_TRUE(gNotifications[1].ownerAlive);
    EXPECT_EQ(kv::RemoveSysTrayIcon(4), 0);
    EXPECT_FALSE(OleIsInitialised());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(kv::WindowID(0), nullptr);
    EXPECT_FALSE(IsWindow(button));
    EXPECT_EQ(kv::GadgetID(1), nullptr);
    EXPECT_EQ(kv::ImageID(3), nullptr);
}

TEST(ToolkitTest, EndToolkitEndsTheProcessWithZero) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string commandLine = path;
    commandLine.replace(commandLine.find_last_of('\\') + 1, std::string::npos, "toolkit_end.exe");
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &started))
        << commandLine;
    CloseHandle(started.hThread);
    const DWORD waited = WaitForSingleObject(started.hProcess, 10000);
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(started.hProcess, &exitCode);
    if (waited != WAIT_OBJECT_0)
        TerminateProcess(started.hProcess, 1);
    CloseHandle(started.hProcess);
    EXPECT_EQ(waited, WAIT_OBJECT_0);
    EXPECT_EQ(exitCode, 0u);
}

}  // namespace
