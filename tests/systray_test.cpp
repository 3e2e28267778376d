#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/systray.h"
#include "toolkit/window.h"

namespace {

struct ShellCall {
    DWORD message;
    NOTIFYICONDATAA data;
};

std::vector<ShellCall> calls;
BOOL shellAnswer = TRUE;

BOOL RecordCall(DWORD message, NOTIFYICONDATAA* data) {
    calls.push_back({message, *data});
    return shellAnswer;
}

const std::string kSeventy(70, 'x');

class SysTrayTest : public testing::Test {
  protected:
    void SetUp() override {
        calls.clear();
        shellAnswer = TRUE;
        kv::InitWindowLibrary(GetModuleHandleA(nullptr));
        kv::InitSysTrayLibrary();
        kv::SetNotifyIconFunction(RecordCall);
        ASSERT_NE(kv::OpenWindow(0, 0, 0, 100, 100, "Besitzer",
                                 kv::kWindowDefaultFlags | kv::kWindowInvisible),
                  0);
        owner_ = kv::WindowID(0);
        armed_ = LoadIconA(nullptr, IDI_APPLICATION);
        running_ = LoadIconA(nullptr, IDI_ERROR);
    }
    void TearDown() override {
        kv::SetNotifyIconFunction(nullptr);
        kv::CloseAllWindows();
    }

    HWND owner_ = nullptr;
    HICON armed_ = nullptr;
    HICON running_ = nullptr;
};

void ExpectRecord(const ShellCall& call, DWORD message, HWND owner, UINT id, UINT flags) {
    EXPECT_EQ(call.message, message);
    EXPECT_EQ(call.data.cbSize, 88u);
    EXPECT_EQ(call.data.hWnd, owner);
    EXPECT_EQ(call.data.uID, id);
    EXPECT_EQ(call.data.uFlags, flags);
}

TEST_F(SysTrayTest, EachOperationSendsOnlyItsFields) {
    ASSERT_NE(kv::AddSysTrayIcon(1, owner_, armed_), 0);
    EXPECT_NE(kv::SysTrayIconToolTip(1, kSeventy.c_str()), 0);
    EXPECT_NE(kv::ChangeSysTrayIcon(1, running_), 0);
    EXPECT_NE(kv::RemoveSysTrayIcon(1), 0);
    ASSERT_EQ(calls.size(), 4u);

    ExpectRecord(calls[0], NIM_ADD, owner_, 1, NIF_MESSAGE | NIF_ICON);
    EXPECT_EQ(calls[0].data.uCallbackMessage, 12501u);
    EXPECT_EQ(calls[0].data.hIcon, armed_);
    EXPECT_EQ(calls[0].data.szTip[0], 0);

    ExpectRecord(calls[1], NIM_MODIFY, owner_, 1, NIF_TIP);
    EXPECT_EQ(std::string(calls[1].data.szTip), kSeventy.substr(0, 63));
    EXPECT_EQ(calls[1].data.hIcon, nullptr);
    EXPECT_EQ(calls[1].data.uCallbackMessage, 0u);

    // The tool tip is not sent again, so the shell keeps it.
    ExpectRecord(calls[2], NIM_MODIFY, owner_, 1, NIF_ICON);
    EXPECT_EQ(calls[2].data.hIcon, running_);
    EXPECT_EQ(calls[2].data.szTip[0], 0);

    ExpectRecord(calls[3], NIM_DELETE, owner_, 1, 0);
    EXPECT_EQ(calls[3].data.hIcon, nullptr);
}

TEST_F(SysTrayTest, NumbersNotInUseChangeNothing) {
    ASSERT_NE(kv::AddSysTrayIcon(1, owner_, armed_), 0);
    EXPECT_NE(kv::RemoveSysTrayIcon(1), 0);
    calls.clear();
    EXPECT_EQ(kv::RemoveSysTrayIcon(1), 0);
    EXPECT_EQ(kv::SysTrayIconToolTip(1, "weg"), 0);
    EXPECT_EQ(kv::ChangeSysTrayIcon(1, running_), 0);
    EXPECT_EQ(kv::RemoveSysTrayIcon(12345), 0);
    EXPECT_TRUE(calls.empty());
}

TEST_F(SysTrayTest, AddingUnderAShownNumberRemovesTheOldIconFirst) {
    ASSERT_NE(kv::AddSysTrayIcon(1, owner_, armed_), 0);
    ASSERT_NE(kv::AddSysTrayIcon(1, owner_, running_), 0);
    ASSERT_EQ(calls.size(), 3u);
    ExpectRecord(calls[1], NIM_DELETE, owner_, 1, 0);
    ExpectRecord(calls[2], NIM_ADD, owner_, 1, NIF_MESSAGE | NIF_ICON);
    EXPECT_EQ(calls[2].data.hIcon, running_);
}

TEST_F(SysTrayTest, ZeroHandlesAndMissingTextsAreRefusedBeforeAnything) {
    ASSERT_NE(kv::AddSysTrayIcon(1, owner_, armed_), 0);
    calls.clear();
    EXPECT_EQ(kv::AddSysTrayIcon(1, nullptr, running_), 0);
    EXPECT_EQ(kv::AddSysTrayIcon(1, owner_, nullptr), 0);
    EXPECT_EQ(kv::ChangeSysTrayIcon(1, nullptr), 0);
    EXPECT_EQ(kv::SysTrayIconToolTip(1, nullptr), 0);
    EXPECT_TRUE(calls.empty());
    // The icon shown under the number is still there.
    EXPECT_NE(kv::RemoveSysTrayIcon(1), 0);
}

TEST_F(SysTrayTest, RefusedIconLeavesTheNumberFree) {
    shellAnswer = FALSE;
    EXPECT_EQ(kv::AddSysTrayIcon(2, owner_, armed_), 0);
    EXPECT_EQ(kv::AddSysTrayIcon(kv::kDynamicNumber, owner_, armed_), 0);
    shellAnswer = TRUE;
    calls.clear();
    EXPECT_EQ(kv::RemoveSysTrayIcon(2), 0);
    kv::RemoveAllSysTrayIcons();
    EXPECT_TRUE(calls.empty());
}

TEST_F(SysTrayTest, DynamicNumberIsTheIconIdentifier) {
    const intptr_t number = kv::AddSysTrayIcon(kv::kDynamicNumber, owner_, armed_);
    ASSERT_NE(number, 0);
    ASSERT_NE(number, 1);
    ExpectRecord(calls.back(), NIM_ADD, owner_, static_cast<UINT>(number), NIF_MESSAGE | NIF_ICON);
    EXPECT_NE(kv::SysTrayIconToolTip(number, "dynamisch"), 0);
    EXPECT_EQ(calls.back().data.uID, static_cast<UINT>(number));
}

TEST_F(SysTrayTest, ShutDownRemovesEveryIcon) {
    ASSERT_NE(kv::AddSysTrayIcon(3, owner_, armed_), 0);
    const intptr_t dynamic = kv::AddSysTrayIcon(kv::kDynamicNumber, owner_, armed_);
    ASSERT_NE(kv::AddSysTrayIcon(1, owner_, running_), 0);
    calls.clear();
    kv::RemoveAllSysTrayIcons();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].data.uID, 1u);
    EXPECT_EQ(calls[1].data.uID, 3u);
    EXPECT_EQ(calls[2].data.uID, static_cast<UINT>(dynamic));
    for (const ShellCall& call : calls)
        EXPECT_EQ(call.message, DWORD{NIM_DELETE});
    EXPECT_EQ(kv::RemoveSysTrayIcon(3), 0);
}

TEST_F(SysTrayTest, RestartedShellGetsTheIconsBackAsTheyWere) {
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

    ASSERT_EQ(calls.size(), 3u);
    ExpectRecord(calls[0], NIM_ADD, owner_, 1, NIF_MESSAGE | NIF_ICON);
    EXPECT_EQ(calls[0].data.uCallbackMessage, 12501u);
    EXPECT_EQ(calls[0].data.hIcon, running_);
    ExpectRecord(calls[1], NIM_MODIFY, owner_, 1, NIF_TIP);
    EXPECT_EQ(std::string(calls[1].data.szTip), kSeventy.substr(0, 63));
    ExpectRecord(calls[2], NIM_ADD, owner_, 2, NIF_MESSAGE | NIF_ICON);
    EXPECT_EQ(calls[2].data.hIcon, armed_);
}

}  // namespace
