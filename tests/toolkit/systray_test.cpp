#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "toolkit/internal.h"
#include "toolkit/systray.h"
#include "toolkit/window.h"

namespace {

std::vector<std::pair<DWORD, NOTIFYICONDATAA>> calls;

BOOL RecordCall(DWORD message, NOTIFYICONDATAA* data) {
    calls.emplace_back(message, *data);
    return TRUE;
}

// Fields left out are zero in the record sent.
struct Expected {
    DWORD message;
    UINT id;
    UINT flags;
    HICON icon;
    std::string toolTip;
};

const std::string kSeventy(70, 'x');

class SysTrayTest : public testing::Test {
  protected:
    void SetUp() override {
        kv::InitWindowLibrary(GetModuleHandleA(nullptr));
        kv::InitSysTrayLibrary();
        kv::SetNotifyIconFunction(RecordCall);
        ASSERT_NE(kv::OpenWindow(0, 0, 0, 100, 100, "Besitzer",
                                 kv::kWindowDefaultFlags | kv::kWindowInvisible),
                  0);
        owner_ = kv::WindowID(0);
    }
    void TearDown() override {
        kv::SetNotifyIconFunction(nullptr);
        kv::CloseAllWindows();
    }

    void ExpectCalls(const std::vector<Expected>& expected) {
        ASSERT_EQ(calls.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            const NOTIFYICONDATAA& data = calls[i].second;
            EXPECT_EQ(calls[i].first, expected[i].message) << i;
            EXPECT_EQ(data.cbSize, 88u);
            EXPECT_EQ(data.hWnd, owner_);
            EXPECT_EQ(data.uID, expected[i].id) << i;
            EXPECT_EQ(data.uFlags, expected[i].flags) << i;
            EXPECT_EQ(data.uCallbackMessage, expected[i].flags & NIF_MESSAGE ? 12501u : 0u) << i;
            EXPECT_EQ(data.hIcon, expected[i].icon) << i;
            EXPECT_EQ(data.szTip, expected[i].toolTip) << i;
        }
    }

    HWND owner_ = nullptr;
    const HICON armed_ = LoadIconA(nullptr, IDI_APPLICATION);
    const HICON running_ = LoadIconA(nullptr, IDI_ERROR);
};

TEST_F(SysTrayTest, EachOperationSendsOnlyItsFields) {
    EXPECT_EQ(kv::AddSysTrayIcon(1, nullptr, armed_), 0);
    EXPECT_EQ(kv::AddSysTrayIcon(1, owner_, nullptr), 0);
    ASSERT_EQ(kv::AddSysTrayIcon(1, owner_, armed_), 1);
    EXPECT_NE(kv::SysTrayIconToolTip(1, kSeventy.c_str()), 0);
    EXPECT_EQ(kv::ChangeSysTrayIcon(1, nullptr), 0);
    EXPECT_NE(kv::ChangeSysTrayIcon(1, running_), 0);
    ASSERT_EQ(kv::AddSysTrayIcon(1, owner_, armed_), 1);
    EXPECT_NE(kv::RemoveSysTrayIcon(1), 0);
    EXPECT_EQ(kv::RemoveSysTrayIcon(1), 0);
    EXPECT_EQ(kv::SysTrayIconToolTip(1, "weg"), 0);
    ExpectCalls({{NIM_ADD, 1, NIF_MESSAGE | NIF_ICON, armed_, ""},
                 {NIM_MODIFY, 1, NIF_TIP, nullptr, kSeventy.substr(0, 63)},
                 {NIM_MODIFY, 1, NIF_ICON, running_, ""},
                 {NIM_DELETE, 1, 0, nullptr, ""},
                 {NIM_ADD, 1, NIF_MESSAGE | NIF_ICON, armed_, ""},
                 {NIM_DELETE, 1, 0, nullptr, ""}});
}

TEST_F(SysTrayTest, RestartedShellGetsTheOwnersIconsBackAsTheyWere) {
    ASSERT_NE(
        kv::OpenWindow(1, 0, 0, 100, 100, "Andere", kv::kWindowDefaultFlags | kv::kWindowInvisible),
        0);
    ASSERT_NE(kv::AddSysTrayIcon(1, owner_, armed_), 0);
    kv::SysTrayIconToolTip(1, kSeventy.c_str());
    kv::ChangeSysTrayIcon(1, running_);
    ASSERT_NE(kv::AddSysTrayIcon(2, owner_, armed_), 0);
    ASSERT_NE(kv::AddSysTrayIcon(5, owner_, armed_), 0);
    kv::RemoveSysTrayIcon(5);
    ASSERT_NE(kv::AddSysTrayIcon(3, kv::WindowID(1), armed_), 0);
    calls.clear();

    SendMessageA(owner_, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    ExpectCalls({{NIM_ADD, 1, NIF_MESSAGE | NIF_ICON, running_, ""},
                 {NIM_MODIFY, 1, NIF_TIP, nullptr, kSeventy.substr(0, 63)},
                 {NIM_ADD, 2, NIF_MESSAGE | NIF_ICON, armed_, ""}});
}

}  // namespace
