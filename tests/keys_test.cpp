#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "engine/keys.h"

namespace {

TEST(KeyTokens, EveryRowIsFoundByItsFormsInAnyCase) {
    std::vector<std::string> canonical;
    for (const kv::KeyToken& row : kv::kKeyTokens) {
        canonical.push_back(row.canonical);
        for (std::string form : {row.canonical, row.offeredAs ? row.offeredAs : row.canonical}) {
            EXPECT_EQ(kv::FindKeyToken(form), &row) << form;
            for (char& c : form) {
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
            EXPECT_EQ(kv::FindKeyToken(form), &row) << form;
        }
    }
    EXPECT_EQ(canonical,
              (std::vector<std::string>{
                  "RETURN", "Strg an", "Strg aus", "Tab",  "BACK",   "LEFT", "RIGHT", "UP", "DOWN",
                  "ESCAPE", "HOME",    "END",      "NEXT", "DELETE", "F1",   "F2",    "F3", "F4",
                  "F5",     "F6",      "F7",       "F8",   "F9",     "F10",  "F11",   "F12"}));
    EXPECT_EQ(
        std::vector<std::string>(kv::kOfferedKeys.begin(), kv::kOfferedKeys.end()),
        (std::vector<std::string>{"Return", "Strg an", "Strg aus", "Back", "Left", "Right",  "Up",
                                  "Down",   "Escape",  "Home",     "End",  "Next", "Delete", "F1",
                                  "F2",     "F3",      "F4",       "F5",   "F6",   "F7",     "F8",
                                  "F9",     "F10",     "F11",      "F12"}));
}

TEST(KeyTokens, OnlyTheWholeUntrimmedTextNamesAKey) {
    for (const char* text : {" Return", "Return ", "Re turn", "F13", "F0", "Space", "", " ",
                             "STRG  AN", "Strg", "ENTER", "\r", "RETURN\n"}) {
        EXPECT_EQ(kv::FindKeyToken(text), nullptr) << '"' << text << '"';
    }
}

}  // namespace
