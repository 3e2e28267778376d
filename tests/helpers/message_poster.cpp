// Posts or sends messages to a window of another process, as any program on the desktop can.
// Usage: message_poster <window> <message> <wParam> <lParam> [<message> <wParam> <lParam> ...]
// A message written with a leading "s" is sent (and waited for at most 5 s) instead of posted;
// a send that the platform refuses is no failure.

#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    auto number = [](const char* text) { return std::strtoul(text, nullptr, 0); };
    const auto window = reinterpret_cast<HWND>(static_cast<uintptr_t>(number(argv[1])));
    for (int i = 2; i + 2 < argc; i += 3) {
        const bool send = argv[i][0] == 's';
        const UINT message = number(argv[i] + send);
        const WPARAM wParam = number(argv[i + 1]);
        const LPARAM lParam = static_cast<LPARAM>(number(argv[i + 2]));
        // Wine refuses to send some of them (WM_NOTIFY) to another process at all.
        if (send)
            SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 5000, nullptr);
        else if (!PostMessageA(window, message, wParam, lParam))
            return 3;
    }
    return argc > 4 && (argc - 2) % 3 == 0 ? 0 : 2;
}
