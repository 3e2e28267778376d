#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/prepare.h"

namespace kv {
namespace {

using Entries = std::vector<std::string>;

struct PrepareCase {
    std::vector<StepText> rows;
    Entries entries;  // "pause:key"
};

const PrepareCase kCases[] = {
    {{}, {}},
    {{{"1000", "Return"}}, {"1000:RETURN"}},
    {{{"500", "strg an"}, {"0", "c"}, {"", "Strg Aus"}},
     {"500:Strg an", "0:", "0:c", "0:Strg aus"}},
    {{{" 250ms", "Ab c"}}, {"250:", "0:A", "0:b", "0: ", "0:c"}},
    {{{"1", "STRG AN"}, {"3", "f12"}, {"4", "dElEtE"}, {"7", "tab"}},
     {"1:Strg an", "3:F12", "4:DELETE", "7:Tab"}},
    {{{"9", "F13"}}, {"9:", "0:F", "0:1", "0:3"}},
    {{{"5", "Space"}}, {"5:", "0:S", "0:p", "0:a", "0:c", "0:e"}},
    {{{"5", " Up"}, {"6", "Up "}}, {"5:", "0: ", "0:U", "0:p", "6:", "0:U", "0:p", "0: "}},
    {{{"300", ""}}, {"300:"}},
    {{{"4294967297", "a"}, {"-5", "b"}, {"12.5", "c"}, {"+40", "d"}, {"abc", "e"}},
     {"1:", "0:a", "-5:", "0:b", "12:", "0:c", "40:", "0:d", "0:", "0:e"}},
    {{{"0", "a\rb\nc"}}, {"0:", "0:a", "0:RETURN", "0:b", "0:", "0:c"}},
};

// Each case also checks that a preparation replaces the previous one.
TEST(Preparation, EveryRowKindAndEdgeCase) {
    for (const PrepareCase& c : kCases) {
        PrepareStepTexts(c.rows);
        Entries entries;
        for (const PreparedStep& step : PreparedSteps())
            entries.push_back(std::to_string(step.Pause) + ":" + step.Key);
        EXPECT_EQ(entries, c.entries) << c.rows.size() << " rows, first key \""
                                      << (c.rows.empty() ? "" : c.rows[0].keyText) << '"';
    }
}

}  // namespace
}  // namespace kv
