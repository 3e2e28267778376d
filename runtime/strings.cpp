#include "runtime/strings.h"

namespace kv {

int32_t StringToInteger(const std::string& text) {
    size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
        negative = text[at] == '-';
        ++at;
    }
    // Unsigned arithmetic wraps by definition; the signed kind would be undefined on overflow.
    uint32_t value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = value * 10u + static_cast<uint32_t>(text[at] - '0');
    }
    if (negative) {
        value = 0u - value;
    }
    return static_cast<int32_t>(value);
}

std::string UpperCase(const std::string& text) {
    std::string upper = text;
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper;
}

int32_t StringLength(const std::string& text) {
    return static_cast<int32_t>(text.size());
}

std::string MidString(const std::string& text, int32_t position, int32_t length) {
    if (position < 1 || length < 1 || position > StringLength(text)) {
        return std::string();
    }
    return text.substr(static_cast<size_t>(position - 1), static_cast<size_t>(length));
}

std::string CharToString(char character) {
    // Texts end at a zero byte, so the zero character makes the empty text.
    return character == '\0' ? std::string() : std::string(1, character);
}

}  // namespace kv
