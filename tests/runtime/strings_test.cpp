#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "runtime/strings.h"

namespace {

// Numbers skip blanks and tabs, read one sign and the digits, and wrap in 32 bits; upper case
// touches ASCII letters only; MidString counts from one and stays inside the text.
TEST(Strings, IntegersUpperCaseAndMidStrings) {
    using Cases = std::vector<std::pair<std::string, int32_t>>;
    const Cases read = {{"1000", 1000}, {"\t 250ms", 250}, {"-5", -5}, {"+40", 40}, {"12.5", 12},
                        {"", 0},        {"abc", 0},        {"- 5", 0}, {"+-5", 0},  {"\n5", 0}};
    const Cases wrapped = {{"2147483648", INT32_MIN}, {"4294967297", 1}, {"-4294967297", -1}};
    for (const Cases* cases : {&read, &wrapped})
        for (const auto& [text, value] : *cases)
            EXPECT_EQ(kv::StringToInteger(text), value) << '"' << text << '"';
    EXPECT_EQ(kv::UpperCase("strg An f12 {}`@[]äöüß§"), "STRG AN F12 {}`@[]äöüß§");
    const std::string text = "Ab c";
    EXPECT_EQ(kv::MidString(text, 1, 1), "A");
    EXPECT_EQ(kv::MidString(text, 3, 10), " c");
    const std::pair<int32_t, int32_t> outside[] = {{5, 1}, {0, 1}, {-1, 3}, {1, 0}, {1, -1}};
    for (const auto& [position, length] : outside)
        EXPECT_EQ(kv::MidString(text, position, length), "") << position << " " << length;
    EXPECT_EQ(kv::CharToString('\xA7'), "§");
    EXPECT_EQ(kv::CharToString('\0'), "");
}

}  // namespace
