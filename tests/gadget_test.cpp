#include "toolkit/gadget.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "tests/gadget_test_support.h"
#include "toolkit/listicon.h"
#include "toolkit/window.h"

namespace kv {
namespace {

using Event = test::FetchedEvent;

class GadgetTest : public test::GadgetWindowTest {};

TEST_F(GadgetTest, EveryKindTakesOverANumberInUseOnceItsControlExists) {
    struct Kind {
        const char* className;
        intptr_t (*create)(ObjectNumber);
    };
    const Kind kinds[] = {
        {"Button", [](ObjectNumber n) { return ButtonGadget(n, 0, 0, 50, 20, "b"); }},
        {"Edit", [](ObjectNumber n) { return StringGadget(n, 0, 0, 50, 20, "s"); }},
        {"Static", [](ObjectNumber n) { return TextGadget(n, 0, 0, 50, 20, "t"); }},
        {"ComboBox", [](ObjectNumber n) { return ComboBoxGadget(n, 0, 0, 50, 200); }},
        {"SysListView32", [](ObjectNumber n) { return ListIconGadget(n, 0, 0, 90, 90, "", 50); }},
    };
    const auto font = reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HWND older = reinterpret_cast<HWND>(TextGadget(7, 0, 0, 50, 20, "older"));
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.className);
        const auto control = reinterpret_cast<HWND>(kind.create(7));
        ASSERT_TRUE(IsWindow(control));
        EXPECT_FALSE(IsWindow(older));
        char className[64] = {};
        GetClassNameA(control, className, sizeof className);
        EXPECT_STREQ(className, kind.className);
        EXPECT_EQ(GadgetID(7), control);
        EXPECT_EQ(GetWindowLongA(control, GWL_ID), 7);
        EXPECT_EQ(GetPropA(control, kPropertyGadgetNumber), reinterpret_cast<HANDLE>(7));
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), font);
        older = control;
    }
    const intptr_t dynamic = ButtonGadget(kDynamicNumber, 0, 0, 50, 20, "dynamic");
    EXPECT_EQ(GetWindowLongA(GadgetID(dynamic), GWL_ID), dynamic);
    EXPECT_EQ(GetGadgetText(dynamic), "dynamic");

    CreateGadgetList(nullptr);  // a child control without a parent cannot be made
    EXPECT_EQ(ButtonGadget(7, 0, 0, 50, 20, "refused"), 0);
    EXPECT_EQ(GadgetID(7), older);
}

TEST_F(GadgetTest, ClosingTheWindowEndsEveryGadgetAndItsDropTarget) {
    ButtonGadget(4, 270, 0, 30, 20, "Add");
    StringGadget(2, 0, 0, 80, 20, "1000", kStringNumeric);
    ComboBoxGadget(3, 80, 0, 190, 200, 66);
    const HWND list = StepList({"100\nRETURN"});
    EnableGadgetDrop(test::kList, CF_TEXT, DROPEFFECT_COPY);
    auto* target = static_cast<IDropTarget*>(GetPropA(list, kPropertyDropTarget));
    ASSERT_NE(target, nullptr);
    target->AddRef();
    const auto dynamic = static_cast<ObjectNumber>(TextGadget(kDynamicNumber, 0, 0, 50, 20, "t"));
    CloseWindow(test::kWindow);

    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(target->Release(), 0u);  // the platform's reference went with the control
    for (const ObjectNumber number : {4, 2, 3, test::kList, dynamic}) {
        SCOPED_TRACE(number);
        SetGadgetText(number, "ignored");
        EXPECT_EQ(GadgetID(number), nullptr);
        EXPECT_EQ(GetGadgetText(number), "");
        EXPECT_EQ(GetGadgetItemText(number, 0, 0), "");
        EXPECT_EQ(GetGadgetItemText(number, -1, 0), "");
        EXPECT_EQ(CountGadgetItems(number), 0);
        EXPECT_EQ(GetGadgetState(number), 0);
        EXPECT_EQ(AddGadgetItem(number, -1, "x"), 0);
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
    SetGadgetState(4, 1);
    EXPECT_EQ(GetGadgetState(4), 0);
    SetGadgetState(7, 0);
    EXPECT_EQ(GetGadgetState(7), 0);
    SetGadgetState(7, 42);
    EXPECT_EQ(GetGadgetState(7), 1);
    // Kinds without items.
    EXPECT_EQ(AddGadgetItem(4, -1, "x"), 0);
    EXPECT_EQ(CountGadgetItems(4), 0);

    for (const int32_t state : {1, -1, 7}) {
        DisableGadget(7, state);
        EXPECT_FALSE(IsWindowEnabled(toggle)) << state;
        DisableGadget(7, 0);
        EXPECT_TRUE(IsWindowEnabled(toggle)) << state;
    }
}

TEST_F(GadgetTest, ComboBoxEntriesAndTexts) {
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
    SetGadgetState(3, 1);
    EXPECT_EQ(GetGadgetText(3), "F5");

    // A drop-down list only selects an equal entry.
    SetGadgetText(9, "F6");
    EXPECT_EQ(GetGadgetState(9), 2);
    SetGadgetText(9, "unknown");
    EXPECT_EQ(GetGadgetText(9), "F6");
    SetGadgetText(9, "");
    EXPECT_EQ(GetGadgetState(9), -1);

    SetGadgetItemText(3, 1, "Next");
    AddGadgetItem(3, 0, "first");
    AddGadgetItem(3, -2, "never");
    const char* const entries[] = {"first", "Return", "Next", "F6"};
    ASSERT_EQ(CountGadgetItems(3), 4);
    for (int32_t i = 0; i < 4; ++i)
        EXPECT_EQ(GetGadgetItemText(3, i), entries[i]) << i;
    RemoveGadgetItem(3, 0);
    EXPECT_EQ(GetGadgetItemText(3, 0), "Return");
    ClearGadgetItems(3);
    EXPECT_EQ(CountGadgetItems(3), 0);
}

// What the window answers a control colour message with, and leaves in the device context.
struct Painted {
    HBRUSH brush;
    COLORREF text;
    COLORREF back;
};

Painted Paint(HWND window, UINT message, HWND control) {
    const HDC dc = CreateCompatibleDC(nullptr);
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageA(
        window, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
    const Painted painted = {brush, GetTextColor(dc), GetBkColor(dc)};
    DeleteDC(dc);
    return painted;
}

TEST_F(GadgetTest, ColouredFieldsAndLabelsShareOneBrushUntilTheLastLetsGo) {
    const auto field = reinterpret_cast<HWND>(StringGadget(2, 0, 0, 80, 20, "x"));
    const auto label = reinterpret_cast<HWND>(TextGadget(0, 0, 30, 80, 20, "y"));
    SetGadgetColor(2, kColorFront, RGB(200, 0, 0));
    EXPECT_EQ(Paint(Window(), WM_CTLCOLOREDIT, field).text, RGB(200, 0, 0));

    for (const ObjectNumber number : {0, 2})
        SetGadgetColor(number, kColorBack, RGB(10, 20, 30));
    EXPECT_EQ(GetGadgetColor(0, kColorBack), RGB(10, 20, 30));
    const Painted painted = Paint(Window(), WM_CTLCOLORSTATIC, label);
    EXPECT_EQ(painted.back, RGB(10, 20, 30));
    EXPECT_EQ(Paint(Window(), WM_CTLCOLOREDIT, field).brush, painted.brush);
    DestroyWindow(label);
    EXPECT_EQ(GetObjectType(painted.brush), static_cast<DWORD>(OBJ_BRUSH));
    SetGadgetColor(2, kColorBack, kColorDefault);
    EXPECT_EQ(GetObjectType(painted.brush), 0u);
}

}  // namespace
}  // namespace kv
