// One focused window, titled "Key recorder", that appends every keyboard message it gets to a log
// file, one line each:
//   down|up <virtual key> <scan code> <extended> <event time in ms>
//   char|dead <character> <scan code> <extended> <event time in ms>
// Usage: key_recorder <log file> <process id>; it ends when that process does.
// A Unicode window, so that characters arrive the same whatever the ANSI code page.

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr wchar_t kClassName[] = L"KorvaltKeyRecorder";
// From WM_KEYDOWN to WM_SYSDEADCHAR.
constexpr const char* kKinds[] = {"down", "up", "char", "dead", "down", "up", "char", "dead"};
std::FILE* logFile = nullptr;

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message < WM_KEYDOWN || message > WM_SYSDEADCHAR)
        return DefWindowProcW(window, message, wParam, lParam);
    // The time the event entered the input stream, not when this window got round to it.
    std::fprintf(logFile, "%s %X %X %u %lu\n", kKinds[message - WM_KEYDOWN],
                 static_cast<unsigned>(wParam), static_cast<unsigned>(lParam >> 16) & 0xFF,
                 static_cast<unsigned>(lParam >> 24) & 1,
                 static_cast<unsigned long>(GetMessageTime()));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const WNDCLASSW windowClass = {0,       RecorderProc, 0,       0,       instance,
                                   nullptr, nullptr,      nullptr, nullptr, kClassName};
    HANDLE parent =
        argc < 3 ? nullptr : OpenProcess(SYNCHRONIZE, FALSE, std::strtoul(argv[2], nullptr, 10));
    if (!parent || !(logFile = std::fopen(argv[1], "wb")) || !RegisterClassW(&windowClass))
        return 2;
    // Every line reaches the file at once: the test reads it while this runs.
    std::setvbuf(logFile, nullptr, _IONBF, 0);
    HWND window = CreateWindowW(kClassName, L"Key recorder", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100,
                                100, 300, 200, nullptr, nullptr, instance, nullptr);
    SetForegroundWindow(window);
    SetFocus(window);
    MSG message;
    while (MsgWaitForMultipleObjects(1, &parent, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    return 0;
}
