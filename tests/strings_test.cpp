#include <gtest/gtest.h>

#include "runtime/strings.h"

namespace {

TEST(StringToInteger, ReadsSignAndDigitsAfterBlanksAndTabs) {
    EXPECT_EQ(kv::StringToInteger("1000"), 1000);
    EXPECT_EQ(kv::StringToInteger(" 250ms"), 250);
    EXPECT_EQ(kv::StringToInteger("\t \t7"), 7);
    EXPECT_EQ(kv::StringToInteger("-5"), -5);
    EXPECT_EQ(kv::StringToInteger("+40"), 40);
    EXPECT_EQ(kv::StringToInteger("12.5"), 12);
    EXPECT_EQ(kv::StringToInteger("007"), 7);
}

TEST(StringToInteger, NoDigitGivesZero) {
    EXPECT_EQ(kv::StringToInteger(""), 0);
    EXPECT_EQ(kv::StringToInteger("abc"), 0);
    EXPECT_EQ(kv::StringToInteger("- 5"), 0);
    EXPECT_EQ(kv::StringToInteger("+-5"), 0);
    EXPECT_EQ(kv::StringToInteger("   "), 0);
    EXPECT_EQ(kv::StringToInteger("\n5"), 0);
}

TEST(StringToInteger, WrapsAroundInThirtyTwoBits) {
    EXPECT_EQ(kv::StringToInteger("2147483647"), 2147483647);
    EXPECT_EQ(kv::StringToInteger("2147483648"), INT32_MIN);
    EXPECT_EQ(kv::StringToInteger("-2147483648"), INT32_MIN);
    EXPECT_EQ(kv::StringToInteger("4294967295"), -1);
    EXPECT_EQ(kv::StringToInteger("4294967297"), 1);
    EXPECT_EQ(kv::StringToInteger("-4294967297"), -1);
    EXPECT_EQ(kv::StringToInteger("99999999999999999999"), 1661992959);
}

TEST(UpperCase, ChangesOnlyAsciiLetters) {
    EXPECT_EQ(kv::UpperCase("strg An"), "STRG AN");
    EXPECT_EQ(kv::UpperCase("f12 {}`@[]"), "F12 {}`@[]");
    EXPECT_EQ(kv::UpperCase("äöüß§"), "äöüß§");
    EXPECT_EQ(kv::UpperCase(""), "");
}

TEST(MidString, CountsFromOneAndStaysInsideTheText) {
    const std::string text = "Ab c";
    EXPECT_EQ(kv::StringLength(text), 4);
    EXPECT_EQ(kv::StringLength(""), 0);
    EXPECT_EQ(kv::MidString(text, 1, 1), "A");
    EXPECT_EQ(kv::MidString(text, 3, 1), " ");
    EXPECT_EQ(kv::MidString(text, 4, 1), "c");
    EXPECT_EQ(kv::MidString(text, 2, 2), "b ");
    EXPECT_EQ(kv::MidString(text, 3, 10), " c");
    EXPECT_EQ(kv::MidString(text, 5, 1), "");
    EXPECT_EQ(kv::MidString(text, 0, 1), "");
    EXPECT_EQ(kv::MidString(text, -1, 3), "");
    EXPECT_EQ(kv::MidString(text, 1, 0), "");
    EXPECT_EQ(kv::MidString(text, 1, -1), "");
}

TEST(CharToString, MakesOneCharacterText) {
    EXPECT_EQ(kv::CharToString('x'), "x");
    EXPECT_EQ(kv::CharToString('\xA7'), "§");
    EXPECT_EQ(kv::CharToString('\0'), "");
}

}  // namespace
