#include "toolkit/requester.h"

namespace kv {

void MessageRequester(HWND owner, const char* title, const WideText& text) {
    WideText wideTitle = AnsiToUtf16(title);
    wideTitle.push_back(L'\0');
    WideText wideText = text;
    wideText.push_back(L'\0');
    MessageBoxW(owner, wideText.data(), wideTitle.data(), MB_OK | MB_ICONWARNING);
}

void MessageRequester(HWND owner, const char* title, const std::string& text) {
    MessageRequester(owner, title, AnsiToUtf16(text));
}

}  // namespace kv
