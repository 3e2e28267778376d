// Another program's side of the clipboard: its Unicode text to or from a file of raw UTF-16.
// Usage: clipboard_tool get|put <file>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    // Data is set only by a clipboard opened for a window.
    const HWND owner =
        CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    for (int attempt = 0; !OpenClipboard(owner); ++attempt) {
        if (attempt == 100)
            return 3;
        Sleep(10);
    }
    int result = 4;
    if (std::string(argv[1]) == "get") {
        const HANDLE data = GetClipboardData(CF_UNICODETEXT);
        if (const auto* text = static_cast<const wchar_t*>(data ? GlobalLock(data) : nullptr)) {
            std::ofstream(argv[2], std::ios::binary)
                .write(reinterpret_cast<const char*>(text), lstrlenW(text) * sizeof(wchar_t));
            GlobalUnlock(data);
            result = 0;
        }
    } else {
        std::ifstream file(argv[2], std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(file)), {});
        bytes.append(2, '\0');
        const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        memcpy(GlobalLock(block), bytes.data(), bytes.size());
        GlobalUnlock(block);
        result = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, block) ? 0 : 5;
    }
    CloseClipboard();
    return result;
}
