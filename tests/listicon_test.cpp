#include "toolkit/listicon.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/gadget_test_support.h"
#include "toolkit/gadget.h"
#include "toolkit/window.h"

namespace kv {
namespace {

using test::kList;

using ListIconTest = test::GadgetWindowTest;

TEST_F(ListIconTest, RowTextsAreSplitAtLineFeedsIntoColumns) {
    StepList({});
    AddGadgetColumn(kList, 2, "third", 50);
    const std::string cell(10000, 'k');
    const std::string longRow = "1\n" + cell;
    const struct {
        int32_t position;
        const char* text;
        std::string cells[3];
    } rows[] = {
        {-1, "100\nRETURN", {"100", "RETURN", ""}},
        {-1, "a\n\nb", {"a", "", "b"}},
        {-1, longRow.c_str(), {"1", cell, ""}},
        {-1, "250\n", {"250", "", ""}},
        {-1, nullptr, {"", "", ""}},
        {99, "3\nEnd", {"3", "End", ""}},
    };
    for (const auto& row : rows)
        AddGadgetItem(kList, row.position, row.text);
    ASSERT_EQ(CountGadgetItems(kList), 6);
    for (int32_t row = 0; row < 6; ++row) {
        for (int32_t column = 0; column < 3; ++column) {
            EXPECT_EQ(GetGadgetItemText(kList, row, column), rows[row].cells[column])
                << row << " " << column;
        }
    }
    EXPECT_EQ(GetGadgetItemText(kList, 6, 0), "");
    AddGadgetItem(kList, 0, "0\nHome");
    EXPECT_EQ(GetGadgetItemText(kList, 0, 1), "Home");

    const std::string longer = std::string(12000, 'w') + "end";
    SetGadgetItemText(kList, 1, longer.c_str(), 2);
    EXPECT_EQ(GetGadgetItemText(kList, 1, 2), longer);
}

TEST_F(ListIconTest, TitlesAreReadAndWrittenThroughRowMinusOne) {
    StepList({});
    EXPECT_EQ(GetGadgetItemText(kList, -1, 0), "Pause in ms");
    SetGadgetItemText(kList, -1, "Pause", 0);
    EXPECT_EQ(GetGadgetItemText(kList, -1, 0), "Pause");
    EXPECT_EQ(GetGadgetItemText(kList, -1, 5), "");
    const std::string title = std::string(4095, 't') + "cut";
    SetGadgetItemText(kList, -1, title.c_str(), 1);
    EXPECT_EQ(GetGadgetItemText(kList, -1, 1), title.substr(0, 4095));
}

TEST_F(ListIconTest, StateIsTheSelectedRowOrMinusOne) {
    StepList({});
    EXPECT_EQ(GetGadgetState(kList), -1);
    for (const char* row : {"10\nA", "20\nB", "30\nC"})
        AddGadgetItem(kList, -1, row);
    EXPECT_EQ(GetGadgetState(kList), -1);
    LVITEMA item = {};
    item.state = item.stateMask = LVIS_SELECTED;
    SendMessageA(GadgetID(kList), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(GetGadgetState(kList), 1);
    RemoveGadgetItem(kList, 1);
    EXPECT_EQ(GetGadgetState(kList), -1);
    ASSERT_EQ(CountGadgetItems(kList), 2);
    EXPECT_EQ(GetGadgetItemText(kList, 1, 1), "C");
}

TEST(DropEffectRule, ChoosesLinkMoveOrCopyByKeysAndOfferedEffects) {
    const struct {
        DWORD offered, accepted, keys, effect;
    } cases[] = {
        {1, 1, MK_SHIFT, 1},               // the step list: copy only
        {7, 7, MK_SHIFT | MK_LBUTTON, 2},  // Shift moves; mouse buttons do not count
        {7, 7, MK_CONTROL | MK_SHIFT, 4},  // Control+Shift links
        {7, 7, MK_ALT, 4},                 // Alt links
        {6, 6, MK_CONTROL, 2},             // move without copy, whatever the keys
        {4, 3, 0, 0},                      // nothing in common
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DropEffect(c.offered, c.accepted, c.keys), c.effect)
            << c.offered << " " << c.accepted << " " << c.keys;
    }
}

}  // namespace
}  // namespace kv
