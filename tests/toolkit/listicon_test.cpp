#include "toolkit/droptarget.h"
#include "toolkit/listicon.h"

#include <commctrl.h>

#include <cstring>
#include <string>

#include "toolkit/fixture.h"

namespace kv {
namespace {

using Event = test::FetchedEvent;
using test::kList;
using ListIconTest = test::GadgetTest;

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

// The platform's data object over the clipboard, which holds `bytes` in a 64-byte block.
IDataObject* ClipboardData(UINT format, const std::string& bytes) {
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 64);
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    IDataObject* data = nullptr;
    if (OpenClipboard(WindowID(0))) {
        EmptyClipboard();
        SetClipboardData(format, block);
        CloseClipboard();
        OleGetClipboard(&data);
    }
    return data;
}

// The list's own drop target, called as the platform's drag loop calls it.
TEST_F(ListIconTest, OnlyTextThatCanBeReadDropsOntoTheRowUnderIt) {
    HWND list = StepList({"10\nA", "20\nB", "30\nC"});
    EnableGadgetDrop(kList, CF_TEXT, DROPEFFECT_COPY);
    auto* const target = static_cast<IDropTarget*>(GetPropA(list, kPropertyDropTarget));
    ASSERT_NE(target, nullptr);
    const std::string bytes("Hallo\0tail", 10);
    for (const UINT format : {CF_WAVE, CF_TEXT}) {
        const bool text = format == CF_TEXT;
        const int32_t row = text ? 2 : 1;
        IDataObject* data = ClipboardData(format, bytes);
        ASSERT_NE(data, nullptr);
        POINT point = {};
        SendMessageA(list, LVM_GETITEMPOSITION, row, reinterpret_cast<LPARAM>(&point));
        ClientToScreen(list, &point);
        const POINTL at = {point.x + 20, point.y + 5};
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        target->DragEnter(data, 0, at, &effect);
        EXPECT_EQ(effect, text ? DROPEFFECT_COPY : DROPEFFECT_NONE) << format;
        EXPECT_EQ(SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_DROPHILITED) != 0, text);
        // Moves over the row the drop selects change the selection once.
        for (int move = 0; move < 3; ++move)
            target->DragOver(0, at, &effect);
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        target->Drop(data, 0, at, &effect);
        data->Release();
        EXPECT_EQ(effect, text ? DROPEFFECT_COPY : DROPEFFECT_NONE) << format;

        const std::vector<Event> events = test::FetchEvents(kEventGadgetDrop, text ? 3000 : 300);
        EXPECT_EQ(GetGadgetState(kList), text ? row : -1);
        if (!text) {
            EXPECT_TRUE(events.empty());
            continue;
        }
        ASSERT_EQ(events.size(), 2u);
        EXPECT_EQ(events[0], Event(kEventGadget, kList, kEventTypeChange));
        const DropRecord* drop = EventDropData();
        ASSERT_NE(drop, nullptr);
        // GlobalSize may round the block up; every byte of it is copied.
        ASSERT_GE(drop->data.size(), 64u);
        EXPECT_EQ(std::string(drop->data.data(), bytes.size()), bytes);
        WindowEvent(0);
        EXPECT_EQ(EventDropData(), nullptr);
    }
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
