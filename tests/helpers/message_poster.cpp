// Posts messages to a window of another process, as any program on the desktop can.
// Usage: message_poster <window> <message> <wParam> <lParam> [<message> <wParam> <lParam> ...]

#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    auto number = [](const char* text) { return std::strtoul(text, nullptr, 0); };
    const auto window = reinterpret_cast<HWND>(static_cast<uintptr_t>(number(argv[1])));
    for (int i = 2; i + 2 < argc; i += 3)
        if (!PostMessageA(window, number(argv[i]), number(argv[i + 1]), number(argv[i + 2])))
            return 3;
    return argc > 4 && (argc - 2) % 3 == 0 ? 0 : 2;
}
