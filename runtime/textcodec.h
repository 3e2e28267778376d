#pragma once
// Text between Unicode and code page 1252, the code page the program's texts are held in. A
// character the code page cannot hold is never replaced: the conversion stops there and names it.

#include <cstddef>
#include <string>
#include <vector>

namespace kv {

// Bytes that are not the encoding their byte order mark names.
enum class Malformation {
    kNone,
    kUtf8,      // a byte that does not fit valid UTF-8
    kUtf16Odd,  // an odd number of bytes after the UTF-16 byte order mark
};

struct AnsiText {
    // All of the text, or the part before `refused`; nothing of malformed bytes.
    std::string text;
    bool complete = true;
    // The first character the code page cannot hold (a lone surrogate included).
    char32_t refused = 0;
    Malformation malformation = Malformation::kNone;
    // The offset of the first byte that is not valid (the last one for kUtf16Odd).
    size_t malformedAt = 0;
};

// Wide texts are held as plain units: the library's wide string instance alone would make up a
// tenth of the exe.
using WideText = std::vector<wchar_t>;

// "U+263A": how a message names a character.
std::string CharacterName(char32_t character);
// UTF-16 as the platform's wide texts hold it, without a byte order mark.
AnsiText Utf16ToAnsi(const wchar_t* text, size_t length);
// Without a terminating NUL.
WideText AnsiToUtf16(const std::string& text);
// The bytes of a file: UTF-8 after its byte order mark or when they are valid UTF-8, UTF-16
// after its byte order mark (either byte order), code page 1252 otherwise. No byte order mark
// reaches the text. Bytes after a byte order mark that do not fit its encoding give no text.
AnsiText DecodeTextBytes(const std::string& bytes);

}  // namespace kv
