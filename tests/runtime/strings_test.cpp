#include <gtest/gtest.h>

#include <utility>

#include "runtime/strings.h"

namespace {

TEST(StringToInteger, SkipsBlanksAndTabsReadsOneSignAndTheDigitsThatFollow) {
    const std::pair<const char*, int32_t> cases[] = {
        {"1000", 1000}, {"\t 250ms", 250}, {"-5", -5}, {"+40", 40}, {"12.5", 12},
        {"", 0},        {"abc", 0},        {"- 5", 0}, {"+-5", 0},  {"\n5", 0}};
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(kv::StringToInteger(text), value) << '"' << text << '"';
    }
}

TEST(StringToInteger, WrapsAroundInThirtyTwoBits) {
    EXPECT_EQ(kv::StringToInteger("2147483647"), INT32_MAX);
    EXPECT_EQ(kv::StringToInteger("2147483648"), INT32_MIN);
    EXPECT_EQ(kv::StringToInteger("4294967297"), 1);
    EXPECT_EQ(kv::StringToInteger("-4294967297"), -1);
    EXPECT_EQ(kv::StringToInteger("99999999999999999999"), 1661992959);
}

TEST(UpperCase, ChangesOnlyAsciiLetters) {
    EXPECT_EQ(kv::UpperCase("strg An f12 {}`@[]"), "STRG AN F12 {}`@[]");
    EXPECT_EQ(kv::UpperCase("äöüß§"), "äöüß§");
}

TEST(MidString, CountsFromOneAndStaysInsideTheTextAsCharToStringMakesOneCharacter) {
    const std::string text = "Ab c";
    EXPECT_EQ(kv::StringLength(text), 4);
    EXPECT_EQ(kv::MidString(text, 1, 1), "A");
    EXPECT_EQ(kv::MidString(text, 2, 2), "b ");
    EXPECT_EQ(kv::MidString(text, 3, 10), " c");
    const std::pair<int32_t, int32_t> outside[] = {{5, 1}, {0, 1}, {-1, 3}, {1, 0}, {1, -1}};
    for (const auto& [position, length] : outside) {
        EXPECT_EQ(kv::MidString(text, position, length), "") << position << " " << length;
    }
    EXPECT_EQ(kv::CharToString('\xA7'), "§");
    EXPECT_EQ(kv::CharToString('\0'), "");
}

}  // namespace
