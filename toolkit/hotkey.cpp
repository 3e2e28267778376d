#include "toolkit/hotkey.h"

namespace kv {

HotKey::HotKey(HWND window, int32_t number, UINT modifiers, UINT virtualKey)
    : window_(window),
      number_(number),
      registered_(RegisterHotKey(window, number, modifiers | MOD_NOREPEAT, virtualKey) != 0) {}

HotKey::~HotKey() {
    if (registered_)
        UnregisterHotKey(window_, number_);
}

void HotKey::DropPending() const {
    MSG message;
    while (PeekMessageA(&message, window_, WM_HOTKEY, WM_HOTKEY, PM_REMOVE)) {
    }
}

}  // namespace kv
