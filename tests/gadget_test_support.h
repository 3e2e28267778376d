#pragma once
// A hidden parent window of the test's own for gadgets, made without the window library, and
// small helpers to look at the controls.

#include <windows.h>

#include <string>

#include "toolkit/gadget.h"

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

}  // namespace kv::test
