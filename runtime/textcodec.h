#pragma once
// Text between Unicode and code page 1252, the code page the program's texts are held in. A
// character the code page cannot hold is never replaced: the conversion stops there and names it.

#include <cstddef>
#include <string>

namespace kv {

struct AnsiText {
    // All of the text, or the part before `refused`.
    std::string text;
    bool complete = true;
    // The first character the code page cannot hold (a lone surrogate, or U+FFFD for bytes that
    // are not UTF-8 after its byte order mark).
    char32_t refused = 0;
};

// UTF-16 as the platform's wide texts hold it, without a byte order mark.
AnsiText Utf16ToAnsi(const wchar_t* text, size_t length);
std::wstring AnsiToUtf16(const std::string& text);
// The bytes of a file: UTF-8 after its byte order mark or when they are valid UTF-8, UTF-16
// after its byte order mark (either byte order), code page 1252 otherwise. No byte order mark
// reaches the text.
AnsiText DecodeTextBytes(const std::string& bytes);

}  // namespace kv
