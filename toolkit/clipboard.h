#pragma once
// The clipboard's text. The program's texts are code page 1252; the clipboard holds them as
// Unicode text and as ANSI text, so that every other program reads them unchanged.

#include <windows.h>

#include <string>

#include "runtime/textcodec.h"

namespace kv {

enum class ClipboardResult {
    kDone,
    kBusy,      // another program kept the clipboard open all the while
    kNoText,    // the clipboard holds no text
    kTooLarge,  // a text larger than the bound given; not read
    kFailed,    // the data could not be had or handed over
};

struct ClipboardText {
    ClipboardResult result = ClipboardResult::kNoText;
    AnsiText text;
};

// Replaces the clipboard's content with `text`, `owner` becoming the clipboard's owner.
ClipboardResult SetClipboardText(HWND owner, const std::string& text);
// The clipboard's Unicode text converted (up to the first character the code page cannot hold),
// else its ANSI text. A text of more than `mostBytes` bytes (without its NUL) is not read.
ClipboardText GetClipboardText(HWND owner, size_t mostBytes);

}  // namespace kv
