// What scripts/demo.sh cannot see from X: where Korvalt's gadgets are and what the editor holds.
//   demo_probe gadgets   one line per gadget: <name> <x> <y>, the screen point at its centre
//   demo_probe rows      how many Steps Korvalt's step list holds
//   demo_probe text      the text of Notepad's edit field, in UTF-8
// Exit code 1 while the window it looks for is not there.

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>

#include "app/main_window.h"
#include "app/numbers.h"

namespace {

struct NamedGadget {
    const char* name;
    kv::ObjectNumber gadget;
};

constexpr NamedGadget kGadgets[] = {{"pause", kv::kGadgetPause},
                                    {"key", kv::kGadgetKey},
                                    {"add", kv::kGadgetAdd},
                                    {"start", kv::kGadgetStart},
                                    {"expand", kv::kGadgetExpand}};

void Print(const std::string& text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()),
              &written, nullptr);
}

int PrintGadgets() {
    HWND window = FindWindowA(nullptr, kv::kMainTitle);
    if (!window || !IsWindowVisible(window))
        return 1;
    for (const NamedGadget& entry : kGadgets) {
        RECT rect;
        if (!GetWindowRect(GetDlgItem(window, entry.gadget), &rect))
            return 1;
        Print(std::string(entry.name) + " " + std::to_string((rect.left + rect.right) / 2) + " " +
              std::to_string((rect.top + rect.bottom) / 2) + "\n");
    }
    return 0;
}

int PrintRows() {
    HWND list = GetDlgItem(FindWindowA(nullptr, kv::kMainTitle), kv::kGadgetStepList);
    if (!list)
        return 1;
    Print(std::to_string(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)) + "\n");
    return 0;
}

int PrintEditorText() {
    HWND edit = FindWindowExA(FindWindowA("Notepad", nullptr), nullptr, "Edit", nullptr);
    if (!edit)
        return 1;
    // WM_GETTEXT itself: GetWindowText does not ask a window of another process.
    std::wstring text(SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0) + 1, L'\0');
    text.resize(SendMessageW(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0])));
    std::string utf8(text.size() * 3, '\0');
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                    &utf8[0], static_cast<int>(utf8.size()), nullptr, nullptr));
    Print(utf8);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "gadgets") == 0)
        return PrintGadgets();
    if (argc == 2 && std::strcmp(argv[1], "rows") == 0)
        return PrintRows();
    if (argc == 2 && std::strcmp(argv[1], "text") == 0)
        return PrintEditorText();
    return 2;
}
