#include "toolkit/requester.h"

namespace kv {

void MessageRequester(HWND owner, const char* title, const char* text) {
    MessageBoxA(owner, text, title, MB_OK | MB_ICONWARNING);
}

}  // namespace kv
