#include "toolkit/fixture.h"

namespace kv {
namespace {

using test::GadgetTest;

TEST_F(GadgetTest, EveryKindTakesOverANumberInUseOnceItsControlExists) {
    intptr_t (*const kinds[])(ObjectNumber) = {
        [](ObjectNumber n) { return ButtonGadget(n, 0, 0, 50, 20, "b"); },
        [](ObjectNumber n) { return StringGadget(n, 0, 0, 50, 20, "s"); },
        [](ObjectNumber n) { return TextGadget(n, 0, 0, 50, 20, "t"); },
        [](ObjectNumber n) { return ComboBoxGadget(n, 0, 0, 50, 200); },
        [](ObjectNumber n) { return ListIconGadget(n, 0, 0, 90, 90, "", 50); },
    };
    HWND older = reinterpret_cast<HWND>(TextGadget(7, 0, 0, 50, 20, "older"));
    for (const auto create : kinds) {
        const auto control = reinterpret_cast<HWND>(create(7));
        ASSERT_TRUE(IsWindow(control));
        EXPECT_FALSE(IsWindow(older));
        EXPECT_EQ(GadgetID(7), control);
        EXPECT_EQ(GetWindowLongA(control, GWL_ID), 7);
        older = control;
    }
}

TEST_F(GadgetTest, ClosingTheWindowEndsEveryGadget) {
    StringGadget(2, 0, 0, 80, 20, "1000", kStringNumeric);
    ComboBoxGadget(3, 80, 0, 190, 200, 66);
    StepList({"100\nRETURN"});
    CloseWindow(0);
    for (const ObjectNumber number : {2, 3, test::kList}) {
        SCOPED_TRACE(number);
        EXPECT_EQ(GadgetID(number), nullptr);
        EXPECT_EQ(GetGadgetText(number), "");
        EXPECT_EQ(GetGadgetItemText(number, 0, 0), "");
        EXPECT_EQ(CountGadgetItems(number), 0);
        EXPECT_EQ(GetGadgetState(number), 0);
    }
}

}  // namespace
}  // namespace kv
