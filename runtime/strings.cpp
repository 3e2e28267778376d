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

std::string Concat(std::initializer_list<std::string_view> pieces) {
    size_t length = 0;
    for (std::string_view piece : pieces)
        length += piece.size();
    std::string text;
    text.reserve(length);
    for (std::string_view piece : pieces)
        text.append(piece.data(), piece.size());
    return text;
}

std::string DecimalText(int64_t value) {
    char digits[24];
    char* first = digits + sizeof digits;
    // Counted in the unsigned type, where the most negative value has a magnitude.
    uint64_t magnitude =
        value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    do {
        *--first = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (value < 0)
        *--first = '-';
    return std::string(first, digits + sizeof digits);
}

}  // namespace kv
