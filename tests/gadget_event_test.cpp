// Gadget events through the real window library, in windows that never show.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <ole2.h>

#include <string>
#include <vector>

#include "tests/gadget_test_support.h"
#include "tests/test_data_object.h"
#include "toolkit/gadget.h"
#include "toolkit/listicon.h"
#include "toolkit/window.h"

namespace kv {
namespace {

constexpr ObjectNumber kWindow = 0;
constexpr ObjectNumber kList = 1;
constexpr DWORD kEventLimitMs = 2000;

using Event = test::FetchedEvent;

class GadgetEventTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        InitWindowLibrary(GetModuleHandleA(nullptr));
        InitGadgetLibrary();
        window_ = reinterpret_cast<HWND>(
            OpenWindow(kWindow, 0, 0, 300, 420, "Gadgets", 0xC80001 | kWindowInvisible));
        ASSERT_NE(window_, nullptr);
        CreateGadgetList(window_);
        Drain();
    }
    void TearDown() override {
        CloseAllWindows();
        OleUninitialize();
    }

    static void Drain() {
        while (WindowEvent(0) != 0) {
        }
    }

    static std::vector<Event> EventsUntil(int32_t code) {
        return test::FetchEventsUntil(code, kEventLimitMs);
    }

  private:
    HWND window_ = nullptr;
};

TEST_F(GadgetEventTest, AClickOnAButtonGivesTheGadgetEventWithTypeZero) {
    const auto add = reinterpret_cast<HWND>(ButtonGadget(4, 270, 0, 30, 20, "Add"));
    const auto toggle =
        reinterpret_cast<HWND>(ButtonGadget(7, 10, 30, 150, 20, "Wiederholungen:", 4099));
    PostMessageA(add, BM_CLICK, 0, 0);
    std::vector<Event> events = EventsUntil(kEventGadget);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].gadget, 4);
    EXPECT_EQ(events[0].type, 0);
    EXPECT_EQ(GetGadgetState(4), 0);

    PostMessageA(toggle, BM_CLICK, 0, 0);
    events = EventsUntil(kEventGadget);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].gadget, 7);
    EXPECT_EQ(events[0].type, 0);
    EXPECT_EQ(GetGadgetState(7), 1);
}

TEST_F(GadgetEventTest, SelectingARowReportsAChangeAndRemembersTheRow) {
    const auto list = reinterpret_cast<HWND>(
        ListIconGadget(kList, 0, 20, 300, 380, "Pause in ms", 80, 0x40010000));
    for (const char* row : {"10\nA", "20\nB"})
        AddGadgetItem(kList, -1, row);
    Drain();
    LVITEMA item = {};
    item.state = item.stateMask = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&item));
    const std::vector<Event> events = EventsUntil(kEventGadget);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].gadget, kList);
    EXPECT_EQ(events[0].type, kEventTypeChange);
    EXPECT_EQ(GetPropA(list, kPropertyLastSelected), reinterpret_cast<HANDLE>(1));
    EXPECT_EQ(GetGadgetState(kList), 1);
}

TEST_F(GadgetEventTest, ADropIsDeliveredAfterTheSelectionAndFreedByTheNextFetch) {
    const auto list = reinterpret_cast<HWND>(
        ListIconGadget(kList, 0, 20, 300, 380, "Pause in ms", 80, 0x40010000));
    for (const char* row : {"10\nA", "20\nB", "30\nC"})
        AddGadgetItem(kList, -1, row);
    EnableGadgetDrop(kList, CF_TEXT, DROPEFFECT_COPY);
    auto* target = static_cast<IDropTarget*>(GetPropA(list, kPropertyDropTarget));
    ASSERT_NE(target, nullptr);
    Drain();

    RECT bounds = {};
    bounds.left = LVIR_BOUNDS;
    SendMessageA(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&bounds));
    POINT point = {bounds.left + 5, (bounds.top + bounds.bottom) / 2};
    ClientToScreen(list, &point);
    test::TestDataObject data;
    data.Offer(CF_TEXT, std::string("Hallo\0", 6));
    DWORD effect = DROPEFFECT_COPY;
    target->DragEnter(&data, MK_LBUTTON, {point.x, point.y}, &effect);
    effect = DROPEFFECT_COPY;
    target->Drop(&data, 0, {point.x, point.y}, &effect);

    const std::vector<Event> events = EventsUntil(kEventGadgetDrop);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].code, kEventGadget);
    EXPECT_EQ(events[0].type, kEventTypeChange);
    EXPECT_EQ(events[1].code, kEventGadgetDrop);
    EXPECT_EQ(events[1].gadget, kList);
    const DropRecord* drop = EventDropData();
    ASSERT_NE(drop, nullptr);
    EXPECT_EQ(std::string(drop->data.data()), "Hallo");
    EXPECT_EQ(drop->effect, static_cast<uint32_t>(DROPEFFECT_COPY));
    EXPECT_EQ(GetGadgetState(kList), 1);

    WindowEvent(0);
    EXPECT_EQ(EventDropData(), nullptr);
}

TEST_F(GadgetEventTest, ClosingTheWindowFreesEveryGadgetNumber) {
    ButtonGadget(4, 270, 0, 30, 20, "Add");
    StringGadget(2, 0, 0, 80, 20, "1000", 8192);
    ComboBoxGadget(3, 80, 0, 190, 200, 66);
    ListIconGadget(kList, 0, 20, 300, 380, "Pause in ms", 80, 0x40010000);
    AddGadgetItem(kList, -1, "100\nRETURN");
    EnableGadgetDrop(kList, CF_TEXT, DROPEFFECT_COPY);
    const auto dynamic = static_cast<ObjectNumber>(TextGadget(kDynamicNumber, 0, 0, 50, 20, "t"));
    const HWND list = GadgetID(kList);
    CloseWindow(kWindow);

    EXPECT_FALSE(IsWindow(list));
    for (const ObjectNumber number : {4, 2, 3, 1, dynamic}) {
        SCOPED_TRACE(number);
        EXPECT_EQ(GadgetID(number), nullptr);
        EXPECT_EQ(GetGadgetText(number), "");
        EXPECT_EQ(GetGadgetItemText(number, 0, 1), "");
        EXPECT_EQ(GetGadgetItemText(number, -1, 0), "");
        EXPECT_EQ(CountGadgetItems(number), 0);
        EXPECT_EQ(GetGadgetState(number), 0);
        EXPECT_EQ(AddGadgetItem(number, -1, "x"), 0);
        EXPECT_EQ(LookupGadget(number), nullptr);
        SetGadgetText(number, "ignored");
        RemoveGadgetItem(number, 0);
    }
    // The numbers are free for new gadgets in a new window.
    OpenWindow(kWindow, 0, 0, 300, 420, "Again", 0xC80001 | kWindowInvisible);
    CreateGadgetList(WindowID(kWindow));
    ListIconGadget(kList, 0, 20, 300, 380, "Pause in ms", 80, 0x40010000);
    EXPECT_EQ(CountGadgetItems(kList), 0);
}

}  // namespace
}  // namespace kv
