#include "runtime/textcodec.h"

#include <optional>
#include <vector>

#include "runtime/strings.h"

namespace kv {
namespace {

// Code page 1252's bytes 0x80 to 0x9F; the five it leaves undefined stand for themselves, as the
// platform's own conversion has them.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
constexpr unsigned char kFirstHighControl = 0x80;
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
constexpr size_t kUtf8MarkLength = 3;

char32_t FromAnsi(unsigned char byte) {
    if (byte >= kFirstHighControl && byte < kFirstHighControl + 32)
        return kHighControls[byte - kFirstHighControl];
    return byte;
}

std::optional<char> ToAnsi(char32_t character) {
    if (character < kFirstHighControl || (character >= 0xA0 && character <= 0xFF))
        return static_cast<char>(character);
    for (unsigned index = 0; index < 32; ++index) {
        if (kHighControls[index] == character)
            return static_cast<char>(kFirstHighControl + index);
    }
    return std::nullopt;
}

// Collects characters until the first one the code page cannot hold.
class AnsiWriter {
  public:
    bool Put(char32_t character) {
        if (!result_.complete)
            return false;
        if (const std::optional<char> byte = ToAnsi(character)) {
            result_.text += *byte;
            return true;
        }
        result_.complete = false;
        result_.refused = character;
        return false;
    }
    AnsiText Take() { return std::move(result_); }

  private:
    AnsiText result_;
};

// The code points of valid UTF-8 (no overlong forms, no surrogates, nothing beyond U+10FFFF);
// nothing when a byte does not fit, `bad` then naming the offset of the sequence it breaks.
std::optional<std::vector<char32_t>> DecodeUtf8(const std::string& bytes, size_t from,
                                                size_t& bad) {
    std::vector<char32_t> characters;
    characters.reserve(bytes.size() - from);
    for (size_t at = from; at < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        const int trail = lead < 0x80    ? 0
                          : lead >= 0xF0 ? 3
                          : lead >= 0xE0 ? 2
                          : lead >= 0xC0 ? 1
                                         : -1;
        bad = at;
        if (trail < 0 || lead > 0xF4 || at + trail >= bytes.size())
            return std::nullopt;
        char32_t character = trail == 0 ? lead : lead & (0x3F >> trail);
        for (int i = 1; i <= trail; ++i) {
            const auto next = static_cast<unsigned char>(bytes[at + i]);
            if ((next & 0xC0) != 0x80)
                return std::nullopt;
            character = (character << 6) | (next & 0x3F);
        }
        constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (character < kLeast[trail] || character > 0x10FFFF ||
            (character >= 0xD800 && character <= 0xDFFF))
            return std::nullopt;
        characters.push_back(character);
        at += trail + 1;
    }
    return characters;
}

AnsiText FromUnits(const std::vector<char16_t>& units) {
    AnsiWriter writer;
    for (size_t at = 0; at < units.size(); ++at) {
        char32_t character = units[at];
        const bool high = character >= 0xD800 && character <= 0xDBFF;
        if (high && at + 1 < units.size() && units[at + 1] >= 0xDC00 && units[at + 1] <= 0xDFFF) {
            character = 0x10000 + ((character - 0xD800) << 10) + (units[at + 1] - 0xDC00);
            ++at;
        }
        if (!writer.Put(character))
            break;
    }
    return writer.Take();
}

AnsiText Malformed(Malformation malformation, size_t at) {
    AnsiText text;
    text.complete = false;
    text.malformation = malformation;
    text.malformedAt = at;
    return text;
}

}  // namespace

std::string CharacterName(char32_t character) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::string digits;
    for (int shift = 20; shift >= 0; shift -= 4) {
        const char digit = kDigits[(character >> shift) & 0xF];
        if (digit != '0' || !digits.empty() || shift < 16)
            digits += digit;
    }
    return Concat({"U+", digits});
}

AnsiText Utf16ToAnsi(const wchar_t* text, size_t length) {
    return FromUnits(std::vector<char16_t>(text, text + length));
}

WideText AnsiToUtf16(const std::string& text) {
    WideText wide;
    wide.reserve(text.size() + 1);
    for (char byte : text)
        wide.push_back(static_cast<wchar_t>(FromAnsi(static_cast<unsigned char>(byte))));
    return wide;
}

AnsiText DecodeTextBytes(const std::string& bytes) {
    const auto byte = [&bytes](size_t at) { return static_cast<unsigned char>(bytes[at]); };
    if (bytes.size() >= 2 &&
        ((byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == 0xFE && byte(1) == 0xFF))) {
        if (bytes.size() % 2)
            return Malformed(Malformation::kUtf16Odd, bytes.size() - 1);
        const bool little = byte(0) == 0xFF;
        std::vector<char16_t> units;
        units.reserve(bytes.size() / 2);
        for (size_t at = 2; at < bytes.size(); at += 2) {
            units.push_back(static_cast<char16_t>(little ? byte(at) | byte(at + 1) << 8
                                                         : byte(at) << 8 | byte(at + 1)));
        }
        return FromUnits(units);
    }
    const bool marked = bytes.compare(0, kUtf8MarkLength, kUtf8Mark) == 0;
    size_t bad = 0;
    const std::optional<std::vector<char32_t>> utf8 =
        DecodeUtf8(bytes, marked ? kUtf8MarkLength : 0, bad);
    if (!utf8 && marked)
        return Malformed(Malformation::kUtf8, bad);
    if (!utf8) {
        AnsiText text;
        text.text = bytes;
        return text;
    }
    AnsiWriter writer;
    for (char32_t character : *utf8) {
        if (!writer.Put(character))
            break;
    }
    return writer.Take();
}

}  // namespace kv
