#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/prepare.h"
#include "engine/steptext.h"

namespace kv {
namespace {

// The rows, and the entries, each "pause:key|".
const std::pair<std::vector<StepText>, std::string> kCases[] = {
    {{}, ""},
    {{{"1000", "Return"}}, "1000:RETURN|"},
    {{{"500", "strg an"}, {"0", "c"}, {"", "Strg Aus"}}, "500:Strg an|0:|0:c|0:Strg aus|"},
    {{{" 250ms", "Ab c"}}, "250:|0:A|0:b|0: |0:c|"},
    {{{"1", "STRG AN"}, {"3", "f12"}, {"4", "dElEtE"}, {"7", "tab"}},
     "1:Strg an|3:F12|4:DELETE|7:Tab|"},
    {{{"9", "F13"}}, "9:|0:F|0:1|0:3|"},
    {{{"5", " Up"}, {"6", "Up "}}, "5:|0: |0:U|0:p|6:|0:U|0:p|0: |"},
    {{{"300", ""}}, "300:|"},
    {{{"4294967297", "a"}, {"-5", "b"}, {"12.5", "c"}, {"+40", "d"}, {"abc", "e"}},
     "1:|0:a|-5:|0:b|12:|0:c|40:|0:d|0:|0:e|"},
    {{{"0", "a\rb\nc"}}, "0:|0:a|0:RETURN|0:b|0:|0:c|"},
};

// Each case also checks that a preparation replaces the previous one. The rows name keys in any
// case, never with blanks around them.
TEST(Preparation, EveryRowKindEdgeCaseAndKeyForm) {
    for (const auto& [rows, expected] : kCases) {
        PrepareStepTexts(rows);
        std::string entries;
        for (const PreparedStep& step : PreparedSteps())
            entries += std::to_string(step.Pause) + ":" + step.Key + "|";
        EXPECT_EQ(entries, expected) << (rows.empty() ? "" : rows[0].keyText);
    }
}

// Lines end with CR LF or LF or not at all, split at their first TAB, and those without a key/text
// are skipped; a key/text may end in a TAB or CR of its own (the round trip of the main window's
// clipboard shows the rest).
TEST(StepText, RowsRoundTripAndLinesSplitAtTheirFirstTab) {
    const auto form = [](const std::vector<StepText>& steps) {
        std::string joined;
        for (const StepText& step : steps)
            joined += step.pause + "|" + step.keyText + ";";
        return joined;
    };
    const std::vector<StepText> rows = {{"20", "a\tb\t"}, {"7", "x\r"}};
    EXPECT_EQ(form(ParseStepText(FormatStepText(rows))), form(rows));
    EXPECT_EQ(form(ParseStepText("1\ta\n\n2\t\r\nText ohne Tab\r\n\tb\n3\tc\td")),
              "1|a;|Text ohne Tab;|b;3|c\td;");
}

}  // namespace
}  // namespace kv
