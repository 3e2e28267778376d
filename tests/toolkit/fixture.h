#pragma once
// What the toolkit's suites share: the window library with windows under test numbers, gadgets
// in window 0, and fetching their events.

#include <windows.h>

#include <gtest/gtest.h>
#include <ole2.h>

#include <initializer_list>
#include <tuple>
#include <vector>

#include "support.h"
#include "toolkit/gadget.h"
#include "toolkit/internal.h"
#include "toolkit/listicon.h"
#include "toolkit/window.h"

namespace kv::test {

// The main window's: a caption with a close box, centred on the screen.
constexpr uint32_t kMainWindowFlags = kWindowDefaultFlags | kWindowCentreOnScreen;
constexpr ObjectNumber kList = 1;

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override { InitWindowLibrary(GetModuleHandleA(nullptr)); }
    // Events of the closed windows may still be queued: the next case starts without them.
    void TearDown() override {
        CloseAllWindows();
        while (WindowEvent(0) != 0) {
        }
    }

    static HWND Open(ObjectNumber number, uint32_t flags = kMainWindowFlags,
                     HWND parent = nullptr) {
        return reinterpret_cast<HWND>(OpenWindow(number, 0, 0, 300, 420, "Test", flags, parent));
    }
};

// Window 0, invisible, holds the gadgets; OLE is started for drops.
class GadgetTest : public WindowTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        WindowTest::SetUp();
        InitGadgetLibrary();
        CreateGadgetList(Open(0, kMainWindowFlags | kWindowInvisible));
    }
    void TearDown() override {
        WindowTest::TearDown();
        OleUninitialize();
    }

    // The main window's step list with `rows`.
    static HWND StepList(std::initializer_list<const char*> rows) {
        ListIconGadget(kList, 0, 20, 300, 380, "Pause in ms", 80, 0x40010000);
        AddGadgetColumn(kList, 1, "Key/Text", 216);
        for (const char* row : rows)
            AddGadgetItem(kList, -1, row);
        return GadgetID(kList);
    }
};

// Fetches events until `code` arrives; false after `limitMs`.
inline bool FetchUntil(int32_t code, DWORD limitMs = 2000) {
    return PollUntil([code] { return WindowEvent(20) == code; }, limitMs, [] {});
}

// Code, gadget and type of a gadget or drop event.
using FetchedEvent = std::tuple<int32_t, int32_t, int32_t>;

// The gadget and drop events fetched until one with `lastCode` arrives or the time is up.
inline std::vector<FetchedEvent> FetchEvents(int32_t lastCode, DWORD limitMs = 3000) {
    std::vector<FetchedEvent> seen;
    PollUntil(
        [&] {
            const int32_t code = WindowEvent(10);
            if (code == kEventGadget || code == kEventGadgetDrop)
                seen.emplace_back(code, EventGadget(), EventType());
            return code == lastCode;
        },
        limitMs, [] {});
    return seen;
}

}  // namespace kv::test
