#include "toolkit/gadget.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "toolkit/gadget_test_support.h"
#include "toolkit/listicon.h"
#include "toolkit/window.h"

namespace kv {
namespace {

using Event = test::FetchedEvent;
using GadgetTest = test::GadgetWindowTest;

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
    ButtonGadget(4, 270, 0, 30, 20, "Add");
    StringGadget(2, 0, 0, 80, 20, "1000", kStringNumeric);
    ComboBoxGadget(3, 80, 0, 190, 200, 66);
    StepList({"100\nRETURN"});
    CloseWindow(test::kWindow);
    for (const ObjectNumber number : {4, 2, 3, test::kList}) {
        SCOPED_TRACE(number);
        EXPECT_EQ(GadgetID(number), nullptr);
        EXPECT_EQ(GetGadgetText(number), "");
        EXPECT_EQ(GetGadgetItemText(number, 0, 0), "");
        EXPECT_EQ(CountGadgetItems(number), 0);
        EXPECT_EQ(GetGadgetState(number), 0);
    }
}

TEST_F(GadgetTest, ButtonsReportClicksAndOnlyTogglesKeepAState) {
    const auto push = reinterpret_cast<HWND>(ButtonGadget(4, 270, 0, 30, 20, "Add"));
    const auto toggle =
        reinterpret_cast<HWND>(ButtonGadget(7, 10, 30, 150, 20, "Wiederholungen:", 4099));
    EXPECT_EQ(GetGadgetState(7), 0);
    const struct {
        HWND button;
        ObjectNumber number;
        int32_t stateAfter;
    } clicks[] = {{push, 4, 0}, {toggle, 7, 1}};
    for (const auto& click : clicks) {
        PostMessageA(click.button, BM_CLICK, 0, 0);
        const Event event = {kEventGadget, click.number, 0};
        EXPECT_EQ(test::FetchEventsUntil(event), std::vector<Event>{event});
        EXPECT_EQ(GetGadgetState(click.number), click.stateAfter);
    }
    for (const int32_t state : {1, -1, 7}) {
        DisableGadget(7, state);
        EXPECT_FALSE(IsWindowEnabled(toggle)) << state;
        DisableGadget(7, 0);
        EXPECT_TRUE(IsWindowEnabled(toggle)) << state;
    }
}

TEST_F(GadgetTest, OnlyTheEditableComboBoxTakesTextsOutsideItsEntries) {
    const auto editable = reinterpret_cast<HWND>(ComboBoxGadget(3, 0, 0, 190, 200, 66));
    ComboBoxGadget(9, 0, 30, 190, 200);
    for (const ObjectNumber number : {3, 9}) {
        for (const char* name : {"Return", "F5", "F6"})
            AddGadgetItem(number, -1, name);
    }
    // Tab reaches the editable box through its edit field.
    EXPECT_TRUE(GetWindowLongA(GetWindow(editable, GW_CHILD), GWL_STYLE) & WS_TABSTOP);
    SetGadgetText(3, "not an entry");
    EXPECT_EQ(GetGadgetText(3), "not an entry");
    EXPECT_EQ(GetGadgetState(3), -1);
    SetGadgetText(9, "F6");
    SetGadgetText(9, "unknown");
    EXPECT_EQ(GetGadgetText(9), "F6");
    EXPECT_EQ(GetGadgetState(9), 2);
}

}  // namespace
}  // namespace kv
