#pragma once
// Short messages to the user.

#include <windows.h>

#include <string>

#include "runtime/textcodec.h"

namespace kv {

// A warning with an OK button, modal to `owner`; returns when the user closed it. The text is
// wide, so that it can name files whose names the ANSI code page cannot hold.
void MessageRequester(HWND owner, const char* title, const WideText& text);
// The same for a text in code page 1252.
void MessageRequester(HWND owner, const char* title, const std::string& text);

}  // namespace kv
