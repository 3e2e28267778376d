#pragma once
// Shared by the window tests: a fixture with the window library and a short event loop.

#include <gtest/gtest.h>
#include <windows.h>

#include "toolkit/internal.h"
#include "toolkit/window.h"

namespace kv_test {

constexpr uint32_t kMainWindowFlags = 0xC80001;

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override { kv::InitWindowLibrary(GetModuleHandleA(nullptr)); }
    void TearDown() override { kv::CloseAllWindows(); }

    static HWND Open(kv::ObjectNumber number, uint32_t flags = kMainWindowFlags,
                     HWND parent = nullptr) {
        return reinterpret_cast<HWND>(
            kv::OpenWindow(number, 0, 0, 300, 420, "Test", flags, parent));
    }
};

// Fetches events until `code` arrives; false after `limitMs` without it.
inline bool FetchUntil(int32_t code, DWORD limitMs = 2000) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < limitMs;) {
        if (kv::WindowEvent(20) == code)
            return true;
    }
    return false;
}

inline HWND Child(HWND parent, const char* className, DWORD style, int id, const char* text = "") {
    return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, 10, 10 + id * 30, 100,
                           25, parent, reinterpret_cast<HMENU>(static_cast<intptr_t>(id)),
                           GetModuleHandleA(nullptr), nullptr);
}

}  // namespace kv_test
