#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/keys.h"

namespace {

struct ExpectedToken {
    std::string matchedForm;
    const char* offeredAs;
    std::string canonical;
    int virtualKey;
    bool extended;
};

std::vector<ExpectedToken> ExpectedTokens() {
    std::vector<ExpectedToken> rows = {
        {"RETURN", "Return", "RETURN", 0x0D, false},
        {"STRG AN", "Strg an", "Strg an", 0x11, false},
        {"STRG AUS", "Strg aus", "Strg aus", 0x11, false},
        {"TAB", nullptr, "Tab", 0x09, false},
        {"BACK", "Back", "BACK", 0x08, false},
        {"LEFT", "Left", "LEFT", 0x25, true},
        {"RIGHT", "Right", "RIGHT", 0x27, true},
        {"UP", "Up", "UP", 0x26, true},
        {"DOWN", "Down", "DOWN", 0x28, true},
        {"ESCAPE", "Escape", "ESCAPE", 0x1B, false},
        {"HOME", "Home", "HOME", 0x24, true},
        {"END", "End", "END", 0x23, true},
        {"NEXT", "Next", "NEXT", 0x22, true},
        {"DELETE", "Delete", "DELETE", 0x2E, true},
    };
    static const char* const kFunctionKeys[] = {"F1", "F2", "F3", "F4",  "F5",  "F6",
                                                "F7", "F8", "F9", "F10", "F11", "F12"};
    for (int i = 0; i < 12; ++i) {
        rows.push_back({kFunctionKeys[i], kFunctionKeys[i], kFunctionKeys[i], 0x70 + i, false});
    }
    return rows;
}

std::string LowerCase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

TEST(KeyTokens, EveryRowIsMatchedInAnyCaseAndSendsItsKey) {
    const std::vector<ExpectedToken> expected = ExpectedTokens();
    ASSERT_EQ(expected.size(), static_cast<size_t>(kv::kKeyTokenCount));
    for (int i = 0; i < kv::kKeyTokenCount; ++i) {
        const kv::KeyToken& row = kv::kKeyTokens[i];
        const ExpectedToken& want = expected[i];
        SCOPED_TRACE(want.matchedForm);
        EXPECT_EQ(row.matchedForm, want.matchedForm);
        EXPECT_EQ(row.canonical, want.canonical);
        EXPECT_EQ(row.virtualKey, want.virtualKey);
        EXPECT_EQ(row.extended, want.extended);
        if (want.offeredAs) {
            ASSERT_NE(row.offeredAs, nullptr);
            EXPECT_STREQ(row.offeredAs, want.offeredAs);
            EXPECT_EQ(kv::FindKeyToken(want.offeredAs), &row);
        } else {
            EXPECT_EQ(row.offeredAs, nullptr);
        }
        EXPECT_EQ(kv::FindKeyToken(want.matchedForm), &row);
        EXPECT_EQ(kv::FindKeyToken(LowerCase(want.matchedForm)), &row);
        EXPECT_EQ(kv::FindKeyToken(kv::FindKeyToken(want.matchedForm)->canonical), &row);

        const bool onlyCtrl = want.virtualKey == 0x11;
        const kv::KeyStroke stroke = kv::StrokeOf(want.canonical);
        EXPECT_EQ(stroke.virtualKey, onlyCtrl ? 0 : want.virtualKey);
        EXPECT_EQ(stroke.extended, !onlyCtrl && want.extended);
        EXPECT_FALSE(stroke.shift);
    }
}

TEST(KeyTokens, OffersAllButTabInTableOrder) {
    const std::vector<std::string> offered(kv::kOfferedKeys.begin(), kv::kOfferedKeys.end());
    EXPECT_EQ(offered, (std::vector<std::string>{
                           "Return", "Strg an", "Strg aus", "Back", "Left", "Right",  "Up",
                           "Down",   "Escape",  "Home",     "End",  "Next", "Delete", "F1",
                           "F2",     "F3",      "F4",       "F5",   "F6",   "F7",     "F8",
                           "F9",     "F10",     "F11",      "F12"}));
}

TEST(KeyTokens, ClassifiesWholeUntrimmedUpperCasedText) {
    EXPECT_EQ(kv::FindKeyToken("STRG AN"), &kv::kKeyTokens[1]);
    EXPECT_EQ(kv::FindKeyToken("Strg An"), &kv::kKeyTokens[1]);
    EXPECT_EQ(kv::FindKeyToken("strg an"), &kv::kKeyTokens[1]);
    EXPECT_STREQ(kv::FindKeyToken("strg AN")->canonical, kv::kTokenCtrlDown);
    EXPECT_STREQ(kv::FindKeyToken("Strg Aus")->canonical, kv::kTokenCtrlUp);
    EXPECT_STREQ(kv::FindKeyToken("tab")->canonical, "Tab");
    EXPECT_STREQ(kv::FindKeyToken("f12")->canonical, "F12");
    EXPECT_STREQ(kv::FindKeyToken("Return")->canonical, kv::kTokenReturn);
    for (const char* text : {" Return", "Return ", "Re turn", "F13", "F0", "Space", "", " ",
                             "STRG  AN", "Strg", "ENTER", "\r", "RETURN\n"}) {
        EXPECT_EQ(kv::FindKeyToken(text), nullptr) << '"' << text << '"';
    }
}

struct ExpectedCharacter {
    int virtualKey;
    bool shift;
};

std::map<unsigned char, ExpectedCharacter> ExpectedCharacters() {
    std::map<unsigned char, ExpectedCharacter> table;
    for (int i = 0; i < 26; ++i) {
        table['a' + i] = {0x41 + i, false};
        table['A' + i] = {0x41 + i, true};
    }
    for (int i = 0; i < 10; ++i) {
        table['0' + i] = {0x30 + i, false};
    }
    const char* const shiftedDigitRow = "=!\"\xA7$%&/()";
    for (int i = 0; i < 10; ++i) {
        table[static_cast<unsigned char>(shiftedDigitRow[i])] = {0x30 + i, true};
    }
    table[' '] = {0x20, false};
    table['|'] = {0x6C, false};
    return table;
}

TEST(CharacterTable, EveryByteGivesItsKeyOrNone) {
    const std::map<unsigned char, ExpectedCharacter> expected = ExpectedCharacters();
    ASSERT_EQ(expected.size(), 26u + 26u + 10u + 10u + 2u);
    for (int byte = 0; byte < 256; ++byte) {
        const std::string key(1, static_cast<char>(byte));
        const auto found = expected.find(static_cast<unsigned char>(byte));
        const ExpectedCharacter want =
            found == expected.end() ? ExpectedCharacter{0, false} : found->second;
        const kv::KeyStroke stroke = kv::StrokeOf(key);
        EXPECT_EQ(stroke.virtualKey, want.virtualKey) << "byte " << byte;
        EXPECT_EQ(stroke.shift, want.shift) << "byte " << byte;
        EXPECT_FALSE(stroke.extended) << "byte " << byte;
        EXPECT_EQ(kv::VirtualKeyOf(key), want.virtualKey) << "byte " << byte;
        EXPECT_EQ(kv::NeedsShift(key), want.shift) << "byte " << byte;
    }
}

TEST(CharacterTable, ShiftOnlyForASingleCharacter) {
    for (const char* text : {"AB", "A ", "!!", "§§", "Strg an", "RETURN", "F1", ""}) {
        EXPECT_FALSE(kv::NeedsShift(text)) << '"' << text << '"';
    }
}

}  // namespace
