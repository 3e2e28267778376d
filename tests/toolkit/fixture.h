#pragma once
// What the toolkit's suites share: a window library with toolkit windows under test numbers,
// gadgets in window 0, and fetching their events.

#include <windows.h>

#include <gtest/gtest.h>
#include <ole2.h>

#include <functional>
#include <initializer_list>
#include <ostream>
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

// Window 0 holds the gadgets; OLE is started for drops.
class GadgetTest : public WindowTest {
  protected:
    explicit GadgetTest(uint32_t flags = kMainWindowFlags | kWindowInvisible) : flags_(flags) {}
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        WindowTest::SetUp();
        InitGadgetLibrary();
        ASSERT_NE(window_ = Open(0, flags_), nullptr);
        CreateGadgetList(window_);
    }
    void TearDown() override {
        WindowTest::TearDown();
        OleUninitialize();
    }
    HWND Window() const { return window_; }

    // The main window's step list with `rows`.
    static HWND StepList(std::initializer_list<const char*> rows) {
        const auto list = reinterpret_cast<HWND>(
            ListIconGadget(kList, 0, 20, 300, 380, "Pause in ms", 80, 0x40010000));
        AddGadgetColumn(kList, 1, "Key/Text", 216);
        for (const char* row : rows)
            AddGadgetItem(kList, -1, row);
        return list;
    }

  private:
    uint32_t flags_;
    HWND window_ = nullptr;
};

// Fetches events until `code` arrives; false after `limitMs`.
inline bool FetchUntil(int32_t code, DWORD limitMs = 2000) {
    return PollUntil([code] { return WindowEvent(20) == code; }, limitMs, [] {});
}

struct FetchedEvent {
    int32_t code, gadget, type;
    bool operator==(const FetchedEvent& o) const {
        return code == o.code && gadget == o.gadget && type == o.type;
    }
};

inline std::ostream& operator<<(std::ostream& out, const FetchedEvent& e) {
    return out << e.code << "/" << e.gadget << "/" << e.type;
}

// Gadget and drop events until `done` holds for those seen, or the time is up.
inline std::vector<FetchedEvent> FetchEvents(
    const std::function<bool(const std::vector<FetchedEvent>&)>& done, DWORD limitMs = 3000) {
    std::vector<FetchedEvent> seen;
    PollUntil(
        [&] {
            const int32_t code = WindowEvent(10);
            if (code == kEventGadget || code == kEventGadgetDrop)
                seen.push_back({code, EventGadget(), EventType()});
            return done(seen);
        },
        limitMs, [] {});
    return seen;
}

}  // namespace kv::test
