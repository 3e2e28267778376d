// One focused window that appends every keyboard message it gets to a log file, one line each:
//   window <handle>
//   down|up <virtual key> <scan code> <extended> <event time in ms>
//   char <character> <scan code> <extended> <event time in ms>
// Usage: key_recorder <log file> <process id>; it ends when that process does.
// A Unicode window, so that characters arrive the same whatever the ANSI code page.

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr wchar_t kClassName[] = L"KorvaltKeyRecorder";
HANDLE logFile = INVALID_HANDLE_VALUE;

void LogLine(const char* line) {
    DWORD written = 0;
    WriteFile(logFile, line, static_cast<DWORD>(lstrlenA(line)), &written, nullptr);
}

void LogMessage(const char* kind, WPARAM code, LPARAM lParam) {
    char line[96];
    const unsigned scanCode = (lParam >> 16) & 0xFF;
    const unsigned extended = (lParam >> 24) & 1;
    // The time the event entered the input stream, not when this window got round to it.
    std::snprintf(line, sizeof line, "%s %X %X %u %lu\n", kind, static_cast<unsigned>(code),
                  scanCode, extended, static_cast<unsigned long>(GetMessageTime()));
    LogLine(line);
}

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            LogMessage("down", wParam, lParam);
            return 0;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            LogMessage("up", wParam, lParam);
            return 0;
        case WM_CHAR:
        case WM_SYSCHAR:
            LogMessage("char", wParam, lParam);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        return 2;
    }
    logFile =
        CreateFileA(argv[1], GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE parent = OpenProcess(SYNCHRONIZE, FALSE, std::strtoul(argv[2], nullptr, 10));
    if (logFile == INVALID_HANDLE_VALUE || !parent) {
        return 3;
    }

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = RecorderProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(kClassName, L"Key recorder", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100,
                                100, 300, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window) {
        return 4;
    }
    SetForegroundWindow(window);
    SetFocus(window);
    char line[64];
    std::snprintf(line, sizeof line, "window %lu\n",
                  static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(window)));
    LogLine(line);

    for (;;) {
        if (MsgWaitForMultipleObjects(1, &parent, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0) {
            return 0;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                return 0;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}
