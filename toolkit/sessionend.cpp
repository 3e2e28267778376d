#include "toolkit/sessionend.h"

namespace kv {

namespace {

using EndHandler = void (*)();

LRESULT CALLBACK WatcherProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ENDSESSION && wParam) {
        const auto onEnd = reinterpret_cast<EndHandler>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (onEnd)
            onEnd();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

SessionEndWatcher::SessionEndWatcher(void (*onEnd)())
    : onEnd_(onEnd), ready_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    if (!ready_)
        return;
    thread_ = CreateThread(nullptr, 0, &Watch, this, 0, &threadId_);
    // Its window, and with it its queue, exists once it is ready, so the quit message posted at the
    // end reaches it.
    if (thread_)
        WaitForSingleObject(ready_, INFINITE);
    CloseHandle(ready_);
}

SessionEndWatcher::~SessionEndWatcher() {
    if (!thread_)
        return;
    PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
}

// Message-only windows get no broadcasts, so the window is a hidden top-level one.
DWORD WINAPI SessionEndWatcher::Watch(void* watcher) {
    const auto self = static_cast<SessionEndWatcher*>(watcher);
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &WatcherProcedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kSessionEndWindowClass;
    RegisterClassA(&windowClass);
    const HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, kSessionEndWindowClass, "", WS_POPUP, 0,
                                        0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (window)
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self->onEnd_));
    SetEvent(self->ready_);
    MSG message;
    while (window && GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    if (window)
        DestroyWindow(window);
    UnregisterClassA(kSessionEndWindowClass, instance);
    return 0;
}

}  // namespace kv
