#pragma once
// The clipboard's text. The program's texts are code page 1252; the clipboard holds them as
// Unicode text and as ANSI text, so that every other program reads them unchanged.

#include <windows.h>

#include <optional>
#include <string>

#include "runtime/textcodec.h"

namespace kv {

// Replaces the clipboard's content with `text`, `owner` becoming the clipboard's owner; false
// when the clipboard could not be had.
bool SetClipboardText(HWND owner, const std::string& text);
// The clipboard's Unicode text converted (up to the first character the code page cannot hold),
// else its ANSI text; nothing when it holds no text.
std::optional<AnsiText> GetClipboardText(HWND owner);

}  // namespace kv
