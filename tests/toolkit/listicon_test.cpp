#include "toolkit/droptarget.h"
#include "toolkit/listicon.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "toolkit/gadget_test_support.h"
#include "toolkit/gadget.h"
#include "toolkit/window.h"

namespace kv {
namespace {

using test::kList;
using ListIconTest = test::GadgetWindowTest;

TEST_F(ListIconTest, RowTextsSplitAtLineFeedsAndTitlesReadBackPerColumn) {
    StepList({});
    AddGadgetColumn(kList, 2, "third", 50);
    const std::string cell(10000, 'k');
    const std::string longRow = "1\n" + cell;
    const struct {
        const char* text;
        std::string cells[3];
    } rows[] = {
        {"100\nRETURN", {"100", "RETURN", ""}},
        {"a\n\nb", {"a", "", "b"}},
        {longRow.c_str(), {"1", cell, ""}},
    };
    for (const auto& row : rows)
        AddGadgetItem(kList, -1, row.text);
    ASSERT_EQ(CountGadgetItems(kList), 3);
    for (int32_t row = 0; row < 3; ++row) {
        for (int32_t column = 0; column < 3; ++column)
            EXPECT_EQ(GetGadgetItemText(kList, row, column), rows[row].cells[column]) << row;
    }
    // Titles through row -1, read into a 4096-byte buffer.
    EXPECT_EQ(GetGadgetItemText(kList, -1, 0), "Pause in ms");
    const std::string title = std::string(4095, 't') + "cut";
    SetGadgetItemText(kList, -1, title.c_str(), 1);
    EXPECT_EQ(GetGadgetItemText(kList, -1, 1), title.substr(0, 4095));
}

TEST_F(ListIconTest, StateIsTheSelectedRowOrMinusOne) {
    StepList({});
    EXPECT_EQ(GetGadgetState(kList), -1);
    for (const char* row : {"10\nA", "20\nB", "30\nC"})
        AddGadgetItem(kList, -1, row);
    LVITEMA item = {};
    item.state = item.stateMask = LVIS_SELECTED;
    SendMessageA(GadgetID(kList), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(GetGadgetState(kList), 1);
    RemoveGadgetItem(kList, 1);
    EXPECT_EQ(GetGadgetState(kList), -1);
    EXPECT_EQ(GetGadgetItemText(kList, 1, 1), "C");
}

TEST(DropEffectRule, ChoosesLinkMoveOrCopyByKeysAndOfferedEffects) {
    const struct {
        DWORD offered, accepted, keys, effect;
    } cases[] = {
        {1, 1, MK_SHIFT, 1},               // the step list: copy only
        {7, 7, MK_SHIFT | MK_LBUTTON, 2},  // Shift moves; mouse buttons do not count
        {7, 7, MK_CONTROL | MK_SHIFT, 4},  // Control+Shift links
        {4, 3, 0, 0},                      // nothing in common
    };
    for (const auto& c : cases)
        EXPECT_EQ(DropEffect(c.offered, c.accepted, c.keys), c.effect) << c.offered << c.keys;
}

}  // namespace
}  // namespace kv
