#pragma once
// Shared by the gadget tests: a toolkit window holding the gadgets, and event fetching.

#include <windows.h>

#include <gtest/gtest.h>
#include <ole2.h>

#include <algorithm>
#include <initializer_list>
#include <ostream>
#include <vector>

#include "toolkit/internal.h"
#include "toolkit/gadget.h"
#include "toolkit/listicon.h"
#include "toolkit/window.h"

namespace kv::test {

constexpr ObjectNumber kWindow = 0;
constexpr ObjectNumber kList = 1;
constexpr uint32_t kMainWindowFlags = 0xC80001;

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
template <class Done>
std::vector<FetchedEvent> FetchEvents(Done done, DWORD limitMs = 3000) {
    std::vector<FetchedEvent> seen;
    const DWORD start = GetTickCount();
    while (!done(seen) && GetTickCount() - start < limitMs) {
        const int32_t code = WindowEvent(10);
        if (code == kEventGadget || code == kEventGadgetDrop)
            seen.push_back({code, EventGadget(), EventType()});
    }
    return seen;
}

inline std::vector<FetchedEvent> FetchEventsUntil(FetchedEvent last) {
    return FetchEvents([last](const std::vector<FetchedEvent>& seen) {
        return std::find(seen.begin(), seen.end(), last) != seen.end();
    });
}

class GadgetWindowTest : public ::testing::Test {
  protected:
    explicit GadgetWindowTest(uint32_t flags = kMainWindowFlags | kWindowInvisible)
        : flags_(flags) {}
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        InitWindowLibrary(GetModuleHandleA(nullptr));
        InitGadgetLibrary();
        window_ = reinterpret_cast<HWND>(OpenWindow(kWindow, 0, 0, 300, 420, "Gadgets", flags_));
        ASSERT_NE(window_, nullptr);
        CreateGadgetList(window_);
    }
    void TearDown() override {
        CloseAllWindows();
        OleUninitialize();
    }
    HWND Window() const { return window_; }

    // The step list of the main window with `rows`.
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

}  // namespace kv::test
