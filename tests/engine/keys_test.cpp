#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "engine/keys.h"

namespace {

// GadgetKey's list shows the offered forms in the table's order.
TEST(KeyTokens, EveryRowIsFoundByItsFormsInAnyCaseAndOfferedInTableOrder) {
    std::vector<std::string> offered;
    for (const kv::KeyToken& row : kv::kKeyTokens) {
        if (row.offeredAs) {
            offered.push_back(row.offeredAs);
        }
        for (std::string form : {row.canonical, row.offeredAs ? row.offeredAs : row.canonical}) {
            EXPECT_EQ(kv::FindKeyToken(form), &row) << form;
            for (char& c : form) {
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
            EXPECT_EQ(kv::FindKeyToken(form), &row) << form;
        }
    }
    EXPECT_EQ(std::vector<std::string>(kv::kOfferedKeys.begin(), kv::kOfferedKeys.end()), offered);
}

TEST(KeyTokens, OnlyTheWholeUntrimmedTextNamesAKey) {
    for (const char* text : {" Return", "Return ", "Re turn", "F13", "F0", "Space", "", " ",
                             "STRG  AN", "Strg", "ENTER", "\r", "RETURN\n"}) {
        EXPECT_EQ(kv::FindKeyToken(text), nullptr) << '"' << text << '"';
    }
}

}  // namespace
