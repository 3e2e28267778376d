#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app_fixture.h"
#include "engine/prepare.h"

namespace kv {
namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;
using Entries = std::vector<std::string>;

class Preparation : public ::testing::Test {
  protected:
    void SetUp() override { test::StartMainWindow(); }

    // The entries as "pause:key", for readable differences.
    static Entries Prepare(const Rows& rows) {
        test::RemoveAllRows();
        for (const auto& [pause, key] : rows)
            test::AddRow(pause, key);
        PrepareSteps();
        Entries entries;
        for (const PreparedStep& step : PreparedSteps()) {
            entries.push_back(std::to_string(step.Pause) + ":" + step.Key);
        }
        return entries;
    }
};

TEST_F(Preparation, KeyStepsGiveTheirCanonicalTokenAndTextStepsOneEntryPerCharacter) {
    EXPECT_EQ(Prepare({{"1000", "Return"}}), (Entries{"1000:RETURN"}));
    EXPECT_EQ(Prepare({{"500", "strg an"}, {"0", "c"}, {"", "Strg Aus"}}),
              (Entries{"500:Strg an", "0:", "0:c", "0:Strg aus"}));
    EXPECT_EQ(Prepare({{" 250ms", "Ab c"}}), (Entries{"250:", "0:A", "0:b", "0: ", "0:c"}));
    EXPECT_EQ(Prepare({{"7", "tab"}}), (Entries{"7:Tab"}));
    EXPECT_EQ(Prepare({{"9", "F13"}}), (Entries{"9:", "0:F", "0:1", "0:3"}));
    EXPECT_EQ(Prepare({{"1", "STRG AN"}, {"2", "Strg An"}, {"3", "f12"}, {"4", "dElEtE"}}),
              (Entries{"1:Strg an", "2:Strg an", "3:F12", "4:DELETE"}));
}

TEST_F(Preparation, NearMissesOfKeyTokensAreTyped) {
    EXPECT_EQ(Prepare({{"5", "Space"}}), (Entries{"5:", "0:S", "0:p", "0:a", "0:c", "0:e"}));
    EXPECT_EQ(Prepare({{"5", " Return"}}),
              (Entries{"5:", "0: ", "0:R", "0:e", "0:t", "0:u", "0:r", "0:n"}));
    EXPECT_EQ(Prepare({{"5", "Return "}}).size(), 8u);
}

TEST_F(Preparation, EmptyListAndEmptyKeyText) {
    EXPECT_EQ(Prepare({}), Entries{});
    EXPECT_EQ(Prepare({{"300", ""}}), (Entries{"300:"}));
}

TEST_F(Preparation, PauseTextsReadAsSigned32BitIntegers) {
    EXPECT_EQ(
        Prepare({{"4294967297", "a"}, {"-5", "b"}, {"12.5", "c"}, {"+40", "d"}, {"abc", "e"}}),
        (Entries{"1:", "0:a", "-5:", "0:b", "12:", "0:c", "40:", "0:d", "0:", "0:e"}));
}

TEST_F(Preparation, CarriageReturnInATextIsEnterAndALineFeedSendsNothing) {
    EXPECT_EQ(Prepare({{"0", "a\rb"}}), (Entries{"0:", "0:a", "0:RETURN", "0:b"}));
    // A line feed reaches a cell only when the cell is set directly: new rows split there.
    SetGadgetItemText(kGadgetStepList, 0, "a\nb", 1);
    PrepareSteps();
    ASSERT_EQ(PreparedSteps().size(), 4u);
    EXPECT_EQ(PreparedSteps()[2].Key, "");
    EXPECT_EQ(MapTextCharacter("\n"), "");
    EXPECT_EQ(MapTextCharacter("\r"), "RETURN");
    EXPECT_EQ(MapTextCharacter("x"), "x");
}

TEST_F(Preparation, EachPreparationReplacesTheLastInListOrder) {
    EXPECT_EQ(Prepare({{"1", "x"}, {"2", "Up"}, {"3", "y"}}),
              (Entries{"1:", "0:x", "2:UP", "3:", "0:y"}));
    RemoveGadgetItem(kGadgetStepList, 0);
    PrepareSteps();
    EXPECT_EQ(PreparedSteps().size(), 3u);
    EXPECT_EQ(PreparedSteps()[0].Key, "UP");
}

}  // namespace
}  // namespace kv
