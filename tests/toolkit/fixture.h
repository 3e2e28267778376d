#pragma once
// What the toolkit's suites share: the window library with windows under test numbers.

#include <gtest/gtest.h>

#include "support.h"
#include "toolkit/internal.h"
#include "toolkit/window.h"

namespace kv::test {

// The main window's: a caption with a close box, centred on the screen.
constexpr uint32_t kMainWindowFlags = kWindowDefaultFlags | kWindowCentreOnScreen;

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override { InitWindowLibrary(GetModuleHandleA(nullptr)); }
    // Events of the closed windows may still be queued: the next case starts without them.
    void TearDown() override {
        CloseAllWindows();
        PollUntil([] { return WindowEvent(0) == 0; });
    }

    static HWND Open(ObjectNumber number, uint32_t flags = kMainWindowFlags,
                     HWND parent = nullptr) {
        return reinterpret_cast<HWND>(OpenWindow(number, 0, 0, 300, 420, "Test", flags, parent));
    }
};

}  // namespace kv::test
