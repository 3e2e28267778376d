// One focused window, titled "Key recorder", that appends every keyboard message it gets to a log
// file, one line each:
//   down|up <virtual key> <scan code> <extended> <event time in ms>
//   char <character> <scan code> <extended> <event time in ms>
// Usage: key_recorder <log file> <process id>; it ends when that process does.
// A Unicode window, so that characters arrive the same whatever the ANSI code page.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

constexpr wchar_t kClassName[] = L"KorvaltKeyRecorder";
const std::pair<UINT, const char*> kLogged[] = {{WM_KEYDOWN, "down"}, {WM_SYSKEYDOWN, "down"},
                                                {WM_KEYUP, "up"},     {WM_SYSKEYUP, "up"},
                                                {WM_CHAR, "char"},    {WM_SYSCHAR, "char"}};
std::FILE* logFile = nullptr;

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    for (const auto& [logged, kind] : kLogged) {
        if (logged == message) {
            // The time the event entered the input stream, not when this window got round to it.
            std::fprintf(logFile, "%s %X %X %u %lu\n", kind, static_cast<unsigned>(wParam),
                         static_cast<unsigned>(lParam >> 16) & 0xFF,
                         static_cast<unsigned>(lParam >> 24) & 1,
                         static_cast<unsigned long>(GetMessageTime()));
            return 0;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    logFile = std::fopen(argv[1], "wb");
    HANDLE parent = OpenProcess(SYNCHRONIZE, FALSE, std::strtoul(argv[2], nullptr, 10));
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = RecorderProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    if (!logFile || !parent || !RegisterClassW(&windowClass))
        return 3;
    // Every line reaches the file at once: the test reads it while this runs.
    std::setvbuf(logFile, nullptr, _IONBF, 0);
    HWND window = CreateWindowW(kClassName, L"Key recorder", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100,
                                100, 300, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
    SetForegroundWindow(window);
    SetFocus(window);

    MSG message;
    while (MsgWaitForMultipleObjects(1, &parent, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return 0;
}
