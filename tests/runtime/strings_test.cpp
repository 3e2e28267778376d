#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "runtime/strings.h"
#include "runtime/textcodec.h"

namespace {

// Numbers skip blanks and tabs, read one sign and the digits, and wrap in 32 bits (the step
// preparation's cases show the rest), and are written back whole, the most negative one too;
// pieces are joined byte for byte; MidString counts from one and stays inside the text.
TEST(Strings, IntegersReadAndWrittenPiecesJoinedAndMidStrings) {
    const std::pair<std::string, int32_t> read[] = {
        {"\t 250ms", 250},         {"- 5", 0},         {"+-5", 0}, {"\n5", 0},
        {"2147483648", INT32_MIN}, {"-4294967297", -1}};
    for (const auto& [text, value] : read)
        EXPECT_EQ(kv::StringToInteger(text), value) << '"' << text << '"';
    const std::pair<int64_t, std::string> written[] = {{0, "0"},
                                                       {-7, "-7"},
                                                       {INT64_MIN, "-9223372036854775808"},
                                                       {INT64_MAX, "9223372036854775807"}};
    for (const auto& [value, text] : written)
        EXPECT_EQ(kv::DecimalText(value), text);
    EXPECT_EQ(kv::Concat({"a", "", std::string("b\0c", 3), "d"}), std::string("ab\0cd", 5));
    const std::string text = "Ab c";
    EXPECT_EQ(kv::MidString(text, 3, 10), " c");
    const std::pair<int32_t, int32_t> outside[] = {{5, 1}, {0, 1}, {-1, 3}, {1, 0}, {1, -1}};
    for (const auto& [position, length] : outside)
        EXPECT_EQ(kv::MidString(text, position, length), "") << position << " " << length;
}

}  // namespace

// Files are UTF-8 with or without its mark, UTF-16 after its mark, else code page 1252; a
// character the code page cannot hold ends the text there and is named, never replaced. The main
// window's files, drops and clipboard show the plain cases.
TEST(TextCodec, FilesAndWideTextsBecomeCodePage1252OrNameTheCharacterRefused) {
    struct Case {
        std::string bytes, text;
        char32_t refused;
    };
    const Case cases[] = {
        {"\xEF\xBB\xBF\x61\xC3\xA4\xE2\x82\xAC", "a\xE4\x80", 0},
        {std::string("\xFF\xFE\x61\0\xAC\x20", 6), "a\x80", 0},
        {std::string("\xFE\xFF\0b\x20\x1A", 6), "b\x82", 0},
        {std::string("\xFF\xFE\x61\0\x3D\xD8\x00\xDE", 8), "a", 0x1F600},
    };
    for (const Case& c : cases) {
        const kv::AnsiText text = kv::DecodeTextBytes(c.bytes);
        EXPECT_EQ(text.text, c.text) << c.bytes;
        EXPECT_EQ(text.complete, c.refused == 0) << c.bytes;
        EXPECT_EQ(text.refused, c.refused) << c.bytes;
    }
    // Bytes that break the encoding their mark names give no text: where they break is named.
    const kv::AnsiText utf8 = kv::DecodeTextBytes("\xEF\xBB\xBF\x61\n\xE4\x62");
    EXPECT_TRUE(utf8.malformation == kv::Malformation::kUtf8 && utf8.malformedAt == 5);
    EXPECT_EQ(kv::DecodeTextBytes("\xFF\xFE\x61").malformation, kv::Malformation::kUtf16Odd);
    std::string every;
    for (int byte = 1; byte < 256; ++byte)
        every += static_cast<char>(byte);
    const kv::WideText wide = kv::AnsiToUtf16(every);
    EXPECT_EQ(kv::WideText(wide.begin() + 0x7E, wide.begin() + 0x81),
              (kv::WideText{0x7F, 0x20AC, 0x81}));
    EXPECT_EQ(kv::Utf16ToAnsi(wide.data(), wide.size()).text, every);
    EXPECT_EQ(kv::Utf16ToAnsi(L"a\x0100", 2).refused, 0x100u);
}
