#include "toolkit/listicon.h"

#include <commctrl.h>

#include "toolkit/droptarget.h"
#include "toolkit/fixture.h"
#include "toolkit/gadget.h"
#include "toolkit/toolkit.h"

namespace kv {

constexpr ObjectNumber kList = 1;

// Window 0, invisible, holds the gadgets; the toolkit is started as the program starts it.
class GadgetTest : public test::WindowTest {
  protected:
    void SetUp() override {
        StartToolkit();
        CreateGadgetList(Open(0, test::kMainWindowFlags | kWindowInvisible));
    }
    // The main window's step list with `rows`.
    static HWND StepList(std::initializer_list<const char*> rows) {
        ListIconGadget(kList, 0, 20, 300, 380, "Pause in ms", 80, 0x40010000);
        AddGadgetColumn(kList, 1, "Key/Text", 216);
        for (const char* row : rows)
            AddGadgetItem(kList, -1, row);
        return GadgetID(kList);
    }
};

TEST_F(GadgetTest, EveryKindTakesOverANumberInUseAndClosingTheWindowEndsEveryGadget) {
    intptr_t (*const kinds[])(ObjectNumber) = {
        [](ObjectNumber n) { return ButtonGadget(n, 0, 0, 50, 20, "b"); },
        [](ObjectNumber n) { return StringGadget(n, 0, 0, 50, 20, "s", kStringNumeric); },
        [](ObjectNumber n) { return TextGadget(n, 0, 0, 50, 20, "t"); },
        [](ObjectNumber n) { return ComboBoxGadget(n, 0, 0, 50, 200, 66); },
        [](ObjectNumber n) { return ListIconGadget(n, 0, 0, 90, 90, "", 50); },
    };
    HWND older = reinterpret_cast<HWND>(TextGadget(7, 0, 0, 50, 20, "older"));
    ObjectNumber own = 2;
    for (const auto create : kinds) {
        const auto control = reinterpret_cast<HWND>(create(7));
        EXPECT_TRUE(IsWindow(control) && !IsWindow(older) && GadgetID(7) == control &&
                    GetWindowLongA(control, GWL_ID) == 7);
        older = control;
        create(own++);  // each kind once more, for the closing below
    }
    StepList({"100\nRETURN"});
    CloseWindow(0);
    for (ObjectNumber number = kList; number <= 7; ++number) {
        EXPECT_EQ(GadgetID(number), nullptr) << number;
        EXPECT_EQ(GetGadgetText(number) + GetGadgetItemText(number, 0, 0), "") << number;
        EXPECT_EQ(CountGadgetItems(number) | GetGadgetState(number), 0) << number;
    }
}

TEST_F(GadgetTest, RowTextsSplitAtLineFeedsAndReadBackPerColumnWhateverTheirLength) {
    StepList({});
    AddGadgetColumn(kList, 2, "third", 50);
    const std::string cell(10000, 'k');
    const std::string rows[][3] = {
        {"100", "RETURN", ""}, {"a", "", "b"}, {"1", cell, ""}, {cell.substr(0, 255), "", ""}};
    for (const std::string& text :
         std::vector<std::string>{"100\nRETURN", "a\n\nb", "1\n" + cell, rows[3][0]})
        AddGadgetItem(kList, -1, text.c_str());
    ASSERT_EQ(CountGadgetItems(kList), 4);
    // Cells are read through a buffer that grows from 256 bytes while the text fills it.
    for (int32_t row = 0; row < 4; ++row) {
        for (int32_t column = 0; column < 3; ++column)
            EXPECT_EQ(GetGadgetItemText(kList, row, column), rows[row][column]) << row;
    }
}

// The keys choose among the offered and accepted effects; mouse buttons do not count.
TEST(DropEffectTest, KeysChooseAmongTheEffectsOfferedAndAccepted) {
    EXPECT_EQ(DropEffect(7, 7, MK_SHIFT | MK_LBUTTON), kDropEffectMove);
    EXPECT_EQ(DropEffect(7, 7, MK_CONTROL | MK_SHIFT), kDropEffectLink);
    EXPECT_EQ(DropEffect(4, 3, 0), kDropEffectNone);
}

}  // namespace kv
