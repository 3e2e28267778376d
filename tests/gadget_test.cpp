#include "toolkit/gadget.h"

#include <gtest/gtest.h>
#include <ole2.h>
#include <windows.h>

#include <string>

#include "tests/gadget_test_support.h"
#include "toolkit/listicon.h"
#include "toolkit/window.h"

namespace kv {
namespace {

using test::ClassOf;
using test::CountChildren;
using test::ExtendedStyleOf;
using test::PlainParent;
using test::StyleOf;

const char* const kKeyNames[] = {"Return", "Strg an", "Strg aus", "Back", "Left", "Right",  "Up",
                                 "Down",   "Escape",  "Home",     "End",  "Next", "Delete", "F1",
                                 "F2",     "F3",      "F4",       "F5",   "F6",   "F7",     "F8",
                                 "F9",     "F10",     "F11",      "F12"};

class GadgetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        InitGadgetLibrary();
        ASSERT_NE(parent_.Handle(), nullptr);
        CreateGadgetList(parent_.Handle());
    }

    HWND Parent() const { return parent_.Handle(); }

  private:
    PlainParent parent_;
};

TEST_F(GadgetTest, RegistersEveryKindUnderItsNumberWithTheDefaultFont) {
    const auto button = reinterpret_cast<HWND>(ButtonGadget(4, 0, 0, 50, 20, "Add"));
    const auto field = reinterpret_cast<HWND>(StringGadget(2, 0, 20, 50, 20, "1000"));
    const auto label = reinterpret_cast<HWND>(TextGadget(0, 0, 40, 50, 20, "hint"));
    const auto combo = reinterpret_cast<HWND>(ComboBoxGadget(3, 0, 60, 50, 200));
    const HWND controls[] = {button, field, label, combo};
    const char* const classes[] = {"Button", "Edit", "Static", "ComboBox"};
    const ObjectNumber numbers[] = {4, 2, 0, 3};
    const auto font = reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(classes[i]);
        ASSERT_TRUE(IsWindow(controls[i]));
        EXPECT_EQ(GetParent(controls[i]), Parent());
        EXPECT_EQ(ClassOf(controls[i]), classes[i]);
        EXPECT_EQ(GadgetID(numbers[i]), controls[i]);
        EXPECT_EQ(GetWindowLongA(controls[i], GWL_ID), numbers[i]);
        EXPECT_EQ(reinterpret_cast<intptr_t>(GetPropA(controls[i], "KV_ID")), numbers[i]);
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(controls[i], WM_GETFONT, 0, 0)), font);
    }
    EXPECT_EQ(GetGadgetText(4), "Add");
    EXPECT_EQ(GetGadgetText(2), "1000");
    EXPECT_EQ(GetGadgetText(0), "hint");
}

TEST_F(GadgetTest, DynamicNumbersNameTheirRecordsAndCoexist) {
    const intptr_t first = ButtonGadget(kDynamicNumber, 0, 0, 50, 20, "one");
    const intptr_t second = ButtonGadget(kDynamicNumber, 0, 20, 50, 20, "two");
    ASSERT_NE(first, 0);
    ASSERT_NE(second, 0);
    EXPECT_NE(first, second);
    EXPECT_EQ(reinterpret_cast<intptr_t>(LookupGadget(first)), first);
    EXPECT_EQ(GetGadgetText(first), "one");
    EXPECT_EQ(GetGadgetText(second), "two");
    EXPECT_EQ(GetWindowLongA(GadgetID(second), GWL_ID), second);
    EXPECT_EQ(reinterpret_cast<intptr_t>(GetPropA(GadgetID(second), "KV_ID")), second);
}

TEST_F(GadgetTest, StylesFollowTheFlags) {
    const auto push = reinterpret_cast<HWND>(ButtonGadget(1, 0, 0, 50, 20, "push"));
    const auto toggle = reinterpret_cast<HWND>(ButtonGadget(2, 0, 0, 50, 20, "on", 4099));
    constexpr LONG kCommon = WS_CHILD | WS_VISIBLE | WS_GROUP;
    EXPECT_EQ(StyleOf(push) & (kCommon | WS_TABSTOP), kCommon | WS_TABSTOP);
    EXPECT_EQ(StyleOf(toggle) & 0xFFFF, BS_AUTOCHECKBOX | BS_PUSHLIKE);

    const auto field = reinterpret_cast<HWND>(StringGadget(3, 0, 0, 50, 20, "", 8192));
    const auto bare = reinterpret_cast<HWND>(StringGadget(4, 0, 0, 50, 20, "", kStringBorderless));
    EXPECT_EQ(StyleOf(field) & (ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP),
              ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP);
    EXPECT_TRUE(ExtendedStyleOf(field) & WS_EX_CLIENTEDGE);
    EXPECT_FALSE(ExtendedStyleOf(bare) & WS_EX_CLIENTEDGE);

    const auto centred = reinterpret_cast<HWND>(TextGadget(5, 0, 0, 50, 20, "", 1));
    const auto framed = reinterpret_cast<HWND>(TextGadget(6, 0, 0, 50, 20, "", kTextBorder | 2));
    EXPECT_EQ(StyleOf(centred) & SS_TYPEMASK, SS_CENTER);
    EXPECT_FALSE(StyleOf(centred) & WS_TABSTOP);
    EXPECT_FALSE(ExtendedStyleOf(centred) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(StyleOf(framed) & SS_TYPEMASK, SS_RIGHT);
    EXPECT_TRUE(ExtendedStyleOf(framed) & WS_EX_CLIENTEDGE);
}

TEST_F(GadgetTest, EditableComboBoxPutsTheTabStopOnItsEditField) {
    const auto editable = reinterpret_cast<HWND>(ComboBoxGadget(1, 0, 0, 100, 200, 66));
    const auto list = reinterpret_cast<HWND>(ComboBoxGadget(2, 0, 30, 100, 200));
    COMBOBOXINFO info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(editable, &info));
    ASSERT_NE(info.hwndItem, nullptr);
    EXPECT_TRUE(StyleOf(info.hwndItem) & WS_TABSTOP);
    EXPECT_FALSE(StyleOf(editable) & WS_TABSTOP);
    EXPECT_EQ(StyleOf(editable) & 3, CBS_DROPDOWN);
    EXPECT_EQ(StyleOf(list) & 3, CBS_DROPDOWNLIST);
    EXPECT_TRUE(StyleOf(list) & WS_TABSTOP);
}

// Records, when the older control is being destroyed, how many labels the parent holds.
LRESULT CALLBACK CountingLabelsOnDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto previous = reinterpret_cast<WNDPROC>(GetPropA(window, "Test_Previous"));
    if (message == WM_DESTROY) {
        const intptr_t labels = CountChildren(GetParent(window), "Static");
        SetPropA(GetParent(window), "Test_LabelsSeen", reinterpret_cast<HANDLE>(labels));
    }
    if (message == WM_NCDESTROY)
        RemovePropA(window, "Test_Previous");
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

TEST_F(GadgetTest, ANumberInUseGoesToTheNewControlAfterItExists) {
    const auto first = reinterpret_cast<HWND>(TextGadget(7, 0, 0, 50, 20, "first"));
    SetPropA(first, "Test_Previous",
             reinterpret_cast<HANDLE>(SetWindowLongPtrA(
                 first, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingLabelsOnDestroy))));
    const auto second = reinterpret_cast<HWND>(TextGadget(7, 0, 0, 50, 20, "second"));

    EXPECT_FALSE(IsWindow(first));
    ASSERT_TRUE(IsWindow(second));
    EXPECT_EQ(reinterpret_cast<intptr_t>(GetPropA(Parent(), "Test_LabelsSeen")), 2);
    EXPECT_EQ(CountChildren(Parent(), "Static"), 1);
    EXPECT_EQ(GadgetID(7), second);
    EXPECT_EQ(GetGadgetText(7), "second");
    EXPECT_EQ(GetWindowLongA(second, GWL_ID), 7);
}

TEST_F(GadgetTest, ARefusedCreationLeavesTheOlderGadget) {
    const auto kept = reinterpret_cast<HWND>(ButtonGadget(1, 0, 0, 50, 20, "kept"));
    CreateGadgetList(nullptr);  // a child control without a parent cannot be made
    EXPECT_EQ(ButtonGadget(1, 0, 0, 50, 20, "lost"), 0);
    EXPECT_EQ(GadgetID(1), kept);
    EXPECT_EQ(GetGadgetText(1), "kept");

    CreateGadgetList(Parent());
    EXPECT_EQ(ButtonGadget(-2, 0, 0, 50, 20, "refused"), 0);
    EXPECT_EQ(CountChildren(Parent(), "Button"), 1);
}

// Lets the gadget procedure tear the control down, then records what is left of it.
LRESULT CALLBACK InspectingTeardown(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto previous = reinterpret_cast<WNDPROC>(GetPropA(window, "Test_Previous"));
    const LRESULT result = CallWindowProcA(previous, window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        const bool gone = !GetPropA(window, "KV_ID") && !GetPropA(window, "KV_DropAccept") &&
                          GetWindowLongA(window, GWL_ID) == -1 &&
                          RevokeDragDrop(window) == DRAGDROP_E_NOTREGISTERED &&
                          LookupGadget(5) == nullptr;
        SetPropA(GetParent(window), "Test_TornDown", reinterpret_cast<HANDLE>(intptr_t{gone}));
        RemovePropA(window, "Test_Previous");
    }
    return result;
}

TEST_F(GadgetTest, TeardownRemovesPropertiesRevokesTheDropTargetAndFreesTheNumber) {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    const auto control = reinterpret_cast<HWND>(ButtonGadget(5, 0, 0, 50, 20, "drop"));
    ASSERT_NE(control, nullptr);
    // Only the list shows drop feedback; any gadget may accept drops.
    EnableGadgetDrop(5, CF_TEXT, DROPEFFECT_COPY);
    ASSERT_NE(GetPropA(control, "KV_DropAccept"), nullptr);
    SetPropA(control, "Test_Previous",
             reinterpret_cast<HANDLE>(SetWindowLongPtrA(
                 control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(InspectingTeardown))));
    DestroyWindow(control);
    EXPECT_EQ(reinterpret_cast<intptr_t>(GetPropA(Parent(), "Test_TornDown")), 1);
    EXPECT_EQ(GadgetID(5), nullptr);
    OleUninitialize();
}

TEST_F(GadgetTest, ToggleButtonKeepsItsStateAndPushButtonNever) {
    const auto toggle =
        reinterpret_cast<HWND>(ButtonGadget(7, 0, 0, 100, 20, "Wiederholungen:", 4099));
    const auto push = reinterpret_cast<HWND>(ButtonGadget(4, 0, 30, 50, 20, "Add"));
    EXPECT_EQ(GetGadgetState(7), 0);
    SendMessageA(toggle, BM_CLICK, 0, 0);
    EXPECT_EQ(GetGadgetState(7), 1);
    SendMessageA(toggle, BM_CLICK, 0, 0);
    EXPECT_EQ(GetGadgetState(7), 0);
    SetGadgetState(7, 42);
    EXPECT_EQ(GetGadgetState(7), 1);
    SetGadgetState(7, 0);
    EXPECT_EQ(GetGadgetState(7), 0);

    SendMessageA(push, BM_CLICK, 0, 0);
    EXPECT_EQ(GetGadgetState(4), 0);
    SetGadgetState(4, 1);
    EXPECT_EQ(GetGadgetState(4), 0);
}

TEST_F(GadgetTest, DisableGadgetDisablesForAnyNonZeroState) {
    const auto field = reinterpret_cast<HWND>(StringGadget(8, 0, 0, 30, 20, "-1", 8192));
    for (const int32_t state : {1, -1, 7}) {
        DisableGadget(8, state);
        EXPECT_FALSE(IsWindowEnabled(field)) << state;
        DisableGadget(8, 0);
        EXPECT_TRUE(IsWindowEnabled(field)) << state;
    }
}

TEST_F(GadgetTest, TextsOfFieldsAndLabelsAreSetUnfiltered) {
    StringGadget(2, 0, 0, 80, 20, "1000", 8192);
    TextGadget(0, 0, 30, 120, 30, "-1 = endlos \rbis STRG + U", 1);
    SetGadgetText(2, "abc Löschen");
    EXPECT_EQ(GetGadgetText(2), "abc Löschen");
    SetGadgetText(2, nullptr);
    EXPECT_EQ(GetGadgetText(2), "");
    EXPECT_EQ(GetGadgetText(0), "-1 = endlos \rbis STRG + U");
    const std::string longText(5000, 'x');
    SetGadgetText(0, longText.c_str());
    EXPECT_EQ(GetGadgetText(0), longText);

    // Kinds without items or state.
    EXPECT_EQ(AddGadgetItem(2, -1, "x"), 0);
    EXPECT_EQ(CountGadgetItems(2), 0);
    EXPECT_EQ(GetGadgetState(2), 0);
    EXPECT_EQ(GetGadgetState(0), 0);
    EXPECT_EQ(GetGadgetItemText(0, 0), "");
    EXPECT_EQ(GetGadgetText(2), "");
}

TEST_F(GadgetTest, EditableComboBoxWithTheKeyNames) {
    ComboBoxGadget(3, 80, 0, 190, 200, 66);
    for (const char* name : kKeyNames)
        AddGadgetItem(3, -1, name);
    ASSERT_EQ(CountGadgetItems(3), 25);
    for (int i = 0; i < 25; ++i)
        EXPECT_EQ(GetGadgetItemText(3, i), kKeyNames[i]) << i;
    EXPECT_EQ(GetGadgetState(3), -1);
    EXPECT_EQ(GetGadgetText(3), "");
    EXPECT_EQ(GetGadgetItemText(3, 25), "");

    SetGadgetText(3, "not an entry");
    EXPECT_EQ(GetGadgetText(3), "not an entry");
    EXPECT_EQ(GetGadgetState(3), -1);
    SetGadgetState(3, 17);
    EXPECT_EQ(GetGadgetText(3), "F5");
    EXPECT_EQ(GetGadgetState(3), 17);

    AddGadgetItem(3, 0, "first");
    AddGadgetItem(3, -2, "never");
    EXPECT_EQ(CountGadgetItems(3), 26);
    EXPECT_EQ(GetGadgetItemText(3, 0), "first");
    RemoveGadgetItem(3, 0);
    EXPECT_EQ(GetGadgetItemText(3, 0), "Return");
    EXPECT_EQ(CountGadgetItems(3), 25);
    ClearGadgetItems(3);
    EXPECT_EQ(CountGadgetItems(3), 0);
}

TEST_F(GadgetTest, ReplacingAComboEntryKeepsItsPlaceAndData) {
    const auto combo = reinterpret_cast<HWND>(ComboBoxGadget(3, 0, 0, 190, 200, 66));
    for (const char* name : {"Up", "Down", "Home"})
        AddGadgetItem(3, -1, name);
    SendMessageA(combo, CB_SETITEMDATA, 1, 4711);
    SetGadgetItemText(3, 1, "Next", 5);
    EXPECT_EQ(GetGadgetItemText(3, 1), "Next");
    EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 1, 0), 4711);
    EXPECT_EQ(CountGadgetItems(3), 3);
    SetGadgetItemText(3, 9, "nowhere");
    EXPECT_EQ(CountGadgetItems(3), 3);
}

TEST_F(GadgetTest, DropDownListTextSelectsAnEqualEntry) {
    ComboBoxGadget(9, 0, 0, 190, 200);
    for (const char* name : {"Return", "F5", "F6"})
        AddGadgetItem(9, -1, name);
    SetGadgetText(9, "F6");
    EXPECT_EQ(GetGadgetState(9), 2);
    EXPECT_EQ(GetGadgetText(9), "F6");
    SetGadgetText(9, "unknown");
    EXPECT_EQ(GetGadgetState(9), 2);
    SetGadgetText(9, "");
    EXPECT_EQ(GetGadgetState(9), -1);
    EXPECT_EQ(GetGadgetText(9), "");
}

// A memory device context with the colours the hook leaves in it.
struct PaintedColours {
    LRESULT result;
    COLORREF text;
    COLORREF back;
};

PaintedColours AskColours(HWND window, UINT message, HWND control) {
    const HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkColor(dc, RGB(4, 5, 6));
    const LRESULT result = HandleControlMessage(
        control, window, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    PaintedColours colours = {result, GetTextColor(dc), GetBkColor(dc)};
    DeleteDC(dc);
    return colours;
}

COLORREF BrushColour(LRESULT brush) {
    LOGBRUSH logical = {};
    GetObjectA(reinterpret_cast<HBRUSH>(brush), sizeof logical, &logical);
    return logical.lbColor;
}

TEST_F(GadgetTest, ColoursAnswerTheControlColourMessagesOnlyWhileSet) {
    const auto field = reinterpret_cast<HWND>(StringGadget(2, 0, 0, 80, 20, "x"));
    const auto label = reinterpret_cast<HWND>(TextGadget(0, 0, 30, 80, 20, "y"));
    EXPECT_EQ(GetGadgetColor(2, kColorFront), -1);
    EXPECT_EQ(GetGadgetColor(2, kColorBack), -1);
    EXPECT_EQ(AskColours(Parent(), WM_CTLCOLOREDIT, field).result, kNotHandled);
    EXPECT_EQ(AskColours(Parent(), WM_CTLCOLORSTATIC, label).result, kNotHandled);

    SetGadgetColor(2, kColorFront, RGB(200, 0, 0));
    PaintedColours painted = AskColours(Parent(), WM_CTLCOLOREDIT, field);
    EXPECT_NE(painted.result, kNotHandled);
    EXPECT_EQ(painted.text, RGB(200, 0, 0));
    EXPECT_EQ(BrushColour(painted.result), GetSysColor(COLOR_WINDOW));

    SetGadgetColor(0, kColorBack, RGB(0, 90, 0));
    painted = AskColours(Parent(), WM_CTLCOLORSTATIC, label);
    EXPECT_EQ(painted.back, RGB(0, 90, 0));
    EXPECT_EQ(BrushColour(painted.result), RGB(0, 90, 0));
    EXPECT_EQ(GetGadgetColor(0, kColorBack), RGB(0, 90, 0));

    // A disabled field draws as the platform wants.
    DisableGadget(2, 1);
    EXPECT_EQ(AskColours(Parent(), WM_CTLCOLORSTATIC, field).result, kNotHandled);
    // Messages the colour hook does not answer.
    EXPECT_EQ(HandleControlMessage(label, Parent(), WM_COMMAND, 0, reinterpret_cast<LPARAM>(label)),
              kNotHandled);
}

TEST_F(GadgetTest, GadgetsOfOneColourShareOneBrushUntilTheLastIsGone) {
    const auto one = reinterpret_cast<HWND>(TextGadget(0, 0, 0, 80, 20, "one"));
    const auto two = reinterpret_cast<HWND>(StringGadget(1, 0, 30, 80, 20, "two"));
    SetGadgetColor(0, kColorBack, RGB(10, 20, 30));
    SetGadgetColor(1, kColorBack, RGB(10, 20, 30));
    const LRESULT brush = AskColours(Parent(), WM_CTLCOLORSTATIC, one).result;
    EXPECT_EQ(AskColours(Parent(), WM_CTLCOLOREDIT, two).result, brush);
    ASSERT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(brush)), static_cast<DWORD>(OBJ_BRUSH));

    DestroyWindow(one);
    EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(brush)), static_cast<DWORD>(OBJ_BRUSH));
    SetGadgetColor(1, kColorBack, kColorDefault);
    EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(brush)), 0u);
    EXPECT_EQ(AskColours(Parent(), WM_CTLCOLOREDIT, two).result, kNotHandled);
}

TEST_F(GadgetTest, TheHandOffDeclinesControlsThatAreNoGadgets) {
    TextGadget(0, 0, 0, 80, 20, "gadget 0");
    SetGadgetColor(0, kColorFront, RGB(1, 1, 1));
    // A control of someone else's with identifier 0 and no "KV_ID".
    const HWND stranger = CreateWindowExA(0, "Static", "", WS_CHILD, 0, 0, 10, 10, Parent(),
                                          nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_EQ(GetWindowLongA(stranger, GWL_ID), 0);
    EXPECT_EQ(AskColours(Parent(), WM_CTLCOLORSTATIC, stranger).result, kNotHandled);
    EXPECT_EQ(AskColours(Parent(), WM_CTLCOLORSTATIC, nullptr).result, kNotHandled);
    // A kind without a message hook.
    const auto button = reinterpret_cast<HWND>(ButtonGadget(1, 0, 0, 50, 20, "b"));
    EXPECT_EQ(AskColours(Parent(), WM_CTLCOLORBTN, button).result, kNotHandled);
}

TEST_F(GadgetTest, EventsArePostedToTheToolkitWindowAboveTheControl) {
    // A toolkit window's mark, on a plain window holding a plain container.
    SetPropA(Parent(), "KV_WindowID", reinterpret_cast<HANDLE>(1));
    const HWND container = CreateWindowExA(0, "Static", "", WS_CHILD, 0, 0, 100, 100, Parent(),
                                           nullptr, GetModuleHandleA(nullptr), nullptr);
    CreateGadgetList(container);
    const auto field = reinterpret_cast<HWND>(StringGadget(12, 0, 0, 50, 20, ""));
    EXPECT_EQ(TopLevelWindowOf(field), Parent());
    EXPECT_EQ(TopLevelWindowOf(Parent()), Parent());
    RemovePropA(Parent(), "KV_WindowID");
    EXPECT_EQ(TopLevelWindowOf(field), Parent());

    SetPropA(Parent(), "KV_WindowID", reinterpret_cast<HANDLE>(1));
    PostGadgetEvent(field, 14002);
    MSG message = {};
    ASSERT_TRUE(
        PeekMessageA(&message, Parent(), kMessageGadgetEvent, kMessageGadgetEvent, PM_REMOVE));
    EXPECT_EQ(message.wParam, 12u);
    EXPECT_EQ(message.lParam, 14002);
    RemovePropA(Parent(), "KV_WindowID");
}

}  // namespace
}  // namespace kv
