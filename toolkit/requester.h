#pragma once
// Short messages to the user.

#include <windows.h>

namespace kv {

// A warning with an OK button, modal to `owner`; returns when the user closed it.
void MessageRequester(HWND owner, const char* title, const char* text);

}  // namespace kv
