#pragma once
// A hidden parent window of the test's own for gadgets, made without the window library, small
// helpers to look at the controls, and event fetching through the window library.

#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/gadget.h"
#include "toolkit/window.h"

namespace kv::test {

class PlainParent {
  public:
    PlainParent() {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "KorvaltTestParent";
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(0, "KorvaltTestParent", "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 400,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~PlainParent() {
        if (IsWindow(window_))
            DestroyWindow(window_);
    }
    PlainParent(const PlainParent&) = delete;
    PlainParent& operator=(const PlainParent&) = delete;

    HWND Handle() const { return window_; }

  private:
    HWND window_ = nullptr;
};

inline int CountChildren(HWND parent, const char* className) {
    int count = 0;
    for (HWND child = FindWindowExA(parent, nullptr, className, nullptr); child;
         child = FindWindowExA(parent, child, className, nullptr)) {
        ++count;
    }
    return count;
}

inline std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

inline LONG StyleOf(HWND window) {
    return GetWindowLongA(window, GWL_STYLE);
}

inline LONG ExtendedStyleOf(HWND window) {
    return GetWindowLongA(window, GWL_EXSTYLE);
}

struct FetchedEvent {
    int32_t code;
    int32_t gadget;
    int32_t type;
};

// Fetches events until `done` holds for the gadget and drop events seen so far, or until the
// time is up.
template <class Done>
std::vector<FetchedEvent> FetchEvents(Done done, DWORD limitMs) {
    std::vector<FetchedEvent> seen;
    const DWORD start = GetTickCount();
    while (!done(seen) && GetTickCount() - start < limitMs) {
        const int32_t code = WindowEvent(10);
        if (code == kEventGadget || code == kEventGadgetDrop) {
            seen.push_back({code, EventGadget(), EventType()});
        }
    }
    return seen;
}

// The events up to the first with `code`, that one included.
inline std::vector<FetchedEvent> FetchEventsUntil(int32_t code, DWORD limitMs) {
    return FetchEvents(
        [code](const std::vector<FetchedEvent>& seen) {
            return !seen.empty() && seen.back().code == code;
        },
        limitMs);
}

inline bool HasGadgetEvent(const std::vector<FetchedEvent>& events, int32_t gadget, int32_t type) {
    for (const FetchedEvent& event : events) {
        if (event.code == kEventGadget && event.gadget == gadget && event.type == type) {
            return true;
        }
    }
    return false;
}

}  // namespace kv::test
