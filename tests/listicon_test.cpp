#include "toolkit/listicon.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <ole2.h>
#include <windows.h>

#include <memory>
#include <string>

#include "tests/gadget_test_support.h"
#include "tests/test_data_object.h"
#include "toolkit/gadget.h"
#include "toolkit/window.h"

namespace kv {
namespace {

using test::ExtendedStyleOf;
using test::PlainParent;
using test::StyleOf;
using test::TestDataObject;

constexpr ObjectNumber kList = 1;
constexpr uint32_t kStepListFlags = 0x40010000;

class ListIconTest : public ::testing::Test {
  protected:
    void SetUp() override {
        InitGadgetLibrary();
        ASSERT_NE(parent_.Handle(), nullptr);
        CreateGadgetList(parent_.Handle());
        list_ = reinterpret_cast<HWND>(
            ListIconGadget(kList, 0, 20, 300, 380, "Pause in ms", 80, kStepListFlags));
        ASSERT_NE(list_, nullptr);
        AddGadgetColumn(kList, 1, "Key/Text", 216);
    }

    HWND Parent() const { return parent_.Handle(); }
    HWND List() const { return list_; }

    int32_t ColumnCount() const {
        const auto header = reinterpret_cast<HWND>(SendMessageA(list_, LVM_GETHEADER, 0, 0));
        return static_cast<int32_t>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    }

    void Select(int32_t row) {
        LVITEMA item = {};
        item.state = item.stateMask = LVIS_SELECTED;
        SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
    }

    UINT RowState(int32_t row, UINT mask) const {
        return static_cast<UINT>(
            SendMessageA(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(row), mask));
    }

  private:
    PlainParent parent_;
    HWND list_ = nullptr;
};

TEST_F(ListIconTest, TheStepListsFlagsGiveSingleSelectionGridLinesAndWholeRows) {
    EXPECT_EQ(test::ClassOf(List()), "SysListView32");
    EXPECT_EQ(StyleOf(List()) & (LVS_TYPEMASK | LVS_SINGLESEL | LVS_SHAREIMAGELISTS | WS_TABSTOP),
              LVS_REPORT | LVS_SINGLESEL | LVS_SHAREIMAGELISTS | WS_TABSTOP);
    EXPECT_TRUE(ExtendedStyleOf(List()) & WS_EX_CLIENTEDGE);
    const auto listStyles = SendMessageA(List(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_EQ(listStyles & (LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES |
                            LVS_EX_HEADERDRAGDROP),
              LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    EXPECT_EQ(ColumnCount(), 2);
    EXPECT_EQ(GetGadgetItemText(kList, -1, 0), "Pause in ms");
    EXPECT_EQ(GetGadgetItemText(kList, -1, 1), "Key/Text");
    EXPECT_EQ(SendMessageA(List(), LVM_GETCOLUMNWIDTH, 1, 0), 216);

    const auto multi = reinterpret_cast<HWND>(ListIconGadget(
        2, 0, 0, 100, 100, nullptr, 50, kListMultiSelect | kListCheckBoxes | kListHeaderDragDrop));
    EXPECT_FALSE(StyleOf(multi) & LVS_SINGLESEL);
    EXPECT_EQ(SendMessageA(multi, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) &
                  (LVS_EX_CHECKBOXES | LVS_EX_HEADERDRAGDROP | LVS_EX_GRIDLINES),
              LVS_EX_CHECKBOXES | LVS_EX_HEADERDRAGDROP);
    EXPECT_EQ(GetGadgetItemText(2, -1, 0), "");
}

TEST_F(ListIconTest, RowTextsAreSplitAtLineFeedsIntoColumns) {
    AddGadgetItem(kList, -1, "100\nRETURN");
    AddGadgetItem(kList, -1, "a\n\nb");
    AddGadgetItem(kList, -1, "only");
    AddGadgetItem(kList, -1, "250\n");
    AddGadgetItem(kList, -1, nullptr);
    ASSERT_EQ(CountGadgetItems(kList), 5);
    EXPECT_EQ(GetGadgetItemText(kList, 0, 0), "100");
    EXPECT_EQ(GetGadgetItemText(kList, 0, 1), "RETURN");
    EXPECT_EQ(GetGadgetItemText(kList, 1, 0), "a");
    EXPECT_EQ(GetGadgetItemText(kList, 1, 1), "");
    EXPECT_EQ(GetGadgetItemText(kList, 2), "only");
    EXPECT_EQ(GetGadgetItemText(kList, 2, 1), "");
    EXPECT_EQ(GetGadgetItemText(kList, 3, 0), "250");
    EXPECT_EQ(GetGadgetItemText(kList, 3, 1), "");
    EXPECT_EQ(GetGadgetItemText(kList, 4, 0), "");

    // A third column shows the piece after the empty one.
    AddGadgetColumn(kList, 2, "third", 50);
    AddGadgetItem(kList, -1, "a\n\nb");
    EXPECT_EQ(GetGadgetItemText(kList, 5, 0), "a");
    EXPECT_EQ(GetGadgetItemText(kList, 5, 1), "");
    EXPECT_EQ(GetGadgetItemText(kList, 5, 2), "b");
}

TEST_F(ListIconTest, RowsGoWhereTheyAreAskedAndTheirCellsWithThem) {
    AddGadgetItem(kList, -1, "1\nUp");
    AddGadgetItem(kList, -1, "2\nDown");
    AddGadgetItem(kList, 0, "0\nHome");
    char last[] = "3\nEnd";
    AddGadgetItem(kList, 99, last);
    EXPECT_STREQ(last, "3\nEnd");
    ASSERT_EQ(CountGadgetItems(kList), 4);
    const char* const keys[] = {"Home", "Up", "Down", "End"};
    for (int32_t row = 0; row < 4; ++row) {
        EXPECT_EQ(GetGadgetItemText(kList, row, 0), std::to_string(row));
        EXPECT_EQ(GetGadgetItemText(kList, row, 1), keys[row]);
    }
}

TEST_F(ListIconTest, LongCellsReadBackWhole) {
    const std::string cell(10000, 'k');
    AddGadgetItem(kList, -1, ("1\n" + cell).c_str());
    EXPECT_EQ(GetGadgetItemText(kList, 0, 1), cell);

    const std::string longer = std::string(12000, 'w') + "end";
    SetGadgetItemText(kList, 0, longer.c_str(), 0);
    EXPECT_EQ(GetGadgetItemText(kList, 0, 0), longer);
    SetGadgetItemText(kList, 0, "short", 1);
    EXPECT_EQ(GetGadgetItemText(kList, 0, 1), "short");
    SetGadgetItemText(kList, 0, nullptr, 0);
    EXPECT_EQ(GetGadgetItemText(kList, 0, 0), "");
}

TEST_F(ListIconTest, TitlesAreReadAndWrittenThroughRowMinusOne) {
    SetGadgetItemText(kList, -1, "Pause", 0);
    EXPECT_EQ(GetGadgetItemText(kList, -1, 0), "Pause");
    EXPECT_EQ(GetGadgetItemText(kList, -1, 1), "Key/Text");
    EXPECT_EQ(GetGadgetItemText(kList, -1, 5), "");

    const std::string title = std::string(4095, 't') + "cut";
    SetGadgetItemText(kList, -1, title.c_str(), 1);
    EXPECT_EQ(GetGadgetItemText(kList, -1, 1), title.substr(0, 4095));
}

TEST_F(ListIconTest, StateIsTheSelectedRowOrMinusOne) {
    EXPECT_EQ(GetGadgetState(kList), -1);
    for (const char* row : {"10\nA", "20\nB", "30\nC"})
        AddGadgetItem(kList, -1, row);
    EXPECT_EQ(GetGadgetState(kList), -1);
    Select(1);
    EXPECT_EQ(GetGadgetState(kList), 1);
    RemoveGadgetItem(kList, 1);
    EXPECT_EQ(GetGadgetState(kList), -1);
    ASSERT_EQ(CountGadgetItems(kList), 2);
    EXPECT_EQ(GetGadgetItemText(kList, 1, 1), "C");
}

TEST_F(ListIconTest, RowsBeyondTheLastAreRefused) {
    AddGadgetItem(kList, -1, "10\nA");
    EXPECT_EQ(GetGadgetItemText(kList, 3, 0), "");
    SetGadgetItemText(kList, 3, "x", 0);
    RemoveGadgetItem(kList, 3);
    EXPECT_EQ(CountGadgetItems(kList), 1);
    EXPECT_EQ(GetGadgetItemText(kList, 0, 0), "10");
    EXPECT_EQ(GetGadgetItemText(kList, 0, 1), "A");
}

TEST(DropEffectRule, ChoosesLinkMoveOrCopyByKeysAndOfferedEffects) {
    struct Case {
        DWORD offered, accepted, keys, effect;
    };
    const Case cases[] = {
        {1, 1, 0, 1},                      // the step list: copy only
        {7, 1, MK_SHIFT, 1},               // move and link not accepted
        {7, 7, 0, 1},                      // copy when nothing is held
        {7, 7, MK_SHIFT, 2},               // Shift moves
        {7, 7, MK_CONTROL, 1},             // Control copies
        {7, 7, MK_CONTROL | MK_SHIFT, 4},  // Control+Shift links
        {7, 7, MK_ALT, 4},                 // Alt links
        {3, 7, MK_ALT, 1},                 // no link offered
        {2, 7, 0, 2},                      // move without copy
        {6, 6, MK_CONTROL, 2},             // move without copy, whatever the keys
        {4, 7, 0, 4},                      // link alone
        {4, 3, 0, 0},                      // nothing in common
        {0, 7, 0, 0},                      // nothing offered
        {7, 7, MK_SHIFT | MK_LBUTTON, 2},  // mouse buttons do not count
        {7, 7, MK_SHIFT | MK_CONTROL | MK_ALT, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DropEffect(c.offered, c.accepted, c.keys), c.effect)
            << c.offered << " " << c.accepted << " " << c.keys;
    }
}

class ListDropTest : public ListIconTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        ListIconTest::SetUp();
        for (const char* row : {"10\nA", "20\nB", "30\nC"})
            AddGadgetItem(kList, -1, row);
        EnableGadgetDrop(kList, CF_TEXT, DROPEFFECT_COPY);
        target_ = static_cast<IDropTarget*>(GetPropA(List(), kPropertyDropTarget));
        ASSERT_NE(target_, nullptr);
        target_->AddRef();
    }
    void TearDown() override {
        if (target_)
            target_->Release();
        MSG message;
        while (PeekMessageA(&message, nullptr, kMessageGadgetDrop, kMessageGadgetDrop, PM_REMOVE)) {
            std::unique_ptr<DropRecord> unclaimed(reinterpret_cast<DropRecord*>(message.lParam));
        }
        DestroyWindow(Parent());
        OleUninitialize();
    }

    // The screen point in the middle of a row.
    POINTL RowPoint(int32_t row) const {
        RECT bounds = {};
        bounds.left = LVIR_BOUNDS;
        SendMessageA(List(), LVM_GETITEMRECT, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&bounds));
        POINT point = {(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
        ClientToScreen(List(), &point);
        return {point.x, point.y};
    }

    std::unique_ptr<DropRecord> TakeDrop() {
        MSG message = {};
        if (!PeekMessageA(&message, Parent(), kMessageGadgetDrop, kMessageGadgetDrop, PM_REMOVE)) {
            return nullptr;
        }
        EXPECT_EQ(message.wParam, static_cast<WPARAM>(kList));
        return std::unique_ptr<DropRecord>(reinterpret_cast<DropRecord*>(message.lParam));
    }

    IDropTarget* target_ = nullptr;
};

TEST_F(ListDropTest, TextOverARowIsAcceptedAndHighlightsIt) {
    TestDataObject data;
    data.Offer(CF_TEXT, "F5");
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    ASSERT_EQ(target_->DragEnter(&data, MK_LBUTTON, RowPoint(1), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_TRUE(RowState(1, LVIS_DROPHILITED));

    effect = DROPEFFECT_COPY;
    ASSERT_EQ(target_->DragOver(MK_LBUTTON, RowPoint(2), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_FALSE(RowState(1, LVIS_DROPHILITED));
    EXPECT_TRUE(RowState(2, LVIS_DROPHILITED));

    effect = DROPEFFECT_MOVE;  // the list only copies
    target_->DragOver(MK_LBUTTON, RowPoint(2), &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_FALSE(RowState(2, LVIS_DROPHILITED));

    target_->DragLeave();
    EXPECT_EQ(data.References(), 1);
    EXPECT_EQ(TakeDrop(), nullptr);
}

TEST_F(ListDropTest, ADropSelectsTheRowAndPostsACopyOfTheWholeBlock) {
    Select(0);
    TestDataObject data;
    const std::string text("1000\0tail", 9);
    data.Offer(CF_TEXT, text, 64);
    DWORD effect = DROPEFFECT_COPY;
    target_->DragEnter(&data, MK_LBUTTON, RowPoint(2), &effect);
    effect = DROPEFFECT_COPY;
    ASSERT_EQ(target_->Drop(&data, 0, RowPoint(2), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(GetGadgetState(kList), 2);
    EXPECT_FALSE(RowState(0, LVIS_SELECTED));
    EXPECT_TRUE(RowState(2, LVIS_FOCUSED));
    EXPECT_FALSE(RowState(2, LVIS_DROPHILITED));

    const std::unique_ptr<DropRecord> drop = TakeDrop();
    ASSERT_NE(drop, nullptr);
    EXPECT_EQ(drop->format, static_cast<uint32_t>(CF_TEXT));
    EXPECT_EQ(drop->privateType, 0u);
    EXPECT_EQ(drop->effect, static_cast<uint32_t>(DROPEFFECT_COPY));
    // GlobalSize may round the block up; every byte of it is copied, no more.
    ASSERT_GE(drop->data.size(), 64u);
    EXPECT_EQ(std::string(drop->data.data(), 9), text);
    POINT client = {RowPoint(2).x, RowPoint(2).y};
    ScreenToClient(List(), &client);
    EXPECT_EQ(drop->x, client.x);
    EXPECT_EQ(drop->y, client.y);
    EXPECT_EQ(data.References(), 1);
}

TEST_F(ListDropTest, TextThatCannotBeReadIsRefusedAtTheDrop) {
    TestDataObject claimed;
    claimed.Claim(CF_TEXT);
    TestDataObject streamed;
    streamed.OfferAsStream(CF_TEXT);
    for (TestDataObject* data : {&claimed, &streamed}) {
        DWORD effect = DROPEFFECT_COPY;
        target_->DragEnter(data, MK_LBUTTON, RowPoint(1), &effect);
        EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
        effect = DROPEFFECT_COPY;
        ASSERT_EQ(target_->Drop(data, 0, RowPoint(1), &effect), S_OK);
        EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
        EXPECT_FALSE(RowState(1, LVIS_DROPHILITED | LVIS_SELECTED));
        EXPECT_EQ(TakeDrop(), nullptr);
        EXPECT_EQ(data->References(), 1);
    }
}

TEST_F(ListDropTest, PrivateTypesAreNamedByTheFirstWordOfTheirData) {
    EnableGadgetDrop(kList, kDropPrivateFormat, DROPEFFECT_MOVE, 7);
    const auto type = [](uint32_t value) {
        return std::string(reinterpret_cast<char*>(&value), 4);
    };
    TestDataObject seven;
    seven.Offer(kDropPrivateFormat, type(7));
    TestDataObject eight;
    eight.Offer(kDropPrivateFormat, type(8));
    TestDataObject shortBlock;
    shortBlock.Offer(kDropPrivateFormat, type(7).substr(0, 2));

    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    target_->DragEnter(&eight, MK_LBUTTON, RowPoint(0), &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    target_->DragEnter(&shortBlock, MK_LBUTTON, RowPoint(0), &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));

    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    target_->DragEnter(&seven, MK_LBUTTON, RowPoint(0), &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    target_->Drop(&seven, 0, RowPoint(0), &effect);
    const std::unique_ptr<DropRecord> drop = TakeDrop();
    ASSERT_NE(drop, nullptr);
    EXPECT_EQ(drop->format, kDropPrivateFormat);
    EXPECT_EQ(drop->privateType, 7u);
    EXPECT_EQ(drop->effect, static_cast<uint32_t>(DROPEFFECT_MOVE));
    EXPECT_TRUE(drop->data.empty());
}

TEST_F(ListDropTest, ActionsZeroWithdrawAFormatAndTheLastOneTheRegistration) {
    EnableGadgetDrop(kList, CF_TEXT, DROPEFFECT_COPY | DROPEFFECT_MOVE);
    TestDataObject data;
    data.Offer(CF_TEXT, "x");
    DWORD effect = DROPEFFECT_MOVE;
    target_->DragEnter(&data, MK_LBUTTON, RowPoint(0), &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
    target_->DragLeave();

    EnableGadgetDrop(kList, kDropPrivateFormat, DROPEFFECT_COPY, 3);
    EnableGadgetDrop(kList, CF_TEXT, 0);
    EXPECT_EQ(GetPropA(List(), kPropertyDropTarget), target_);
    effect = DROPEFFECT_COPY;
    target_->DragEnter(&data, MK_LBUTTON, RowPoint(0), &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));

    EnableGadgetDrop(kList, kDropPrivateFormat, 0, 3);
    EXPECT_EQ(GetPropA(List(), kPropertyDropTarget), nullptr);
    EXPECT_EQ(RevokeDragDrop(List()), DRAGDROP_E_NOTREGISTERED);
    EXPECT_EQ(target_->Release(), 0u);  // the platform gave its reference back
    target_ = nullptr;
}

TEST_F(ListDropTest, TheTargetAnswersOnlyItsOwnInterfaces) {
    void* object = nullptr;
    EXPECT_EQ(target_->QueryInterface(IID_IDropTarget, &object), S_OK);
    EXPECT_EQ(object, target_);
    static_cast<IUnknown*>(object)->Release();
    EXPECT_EQ(target_->QueryInterface(IID_IUnknown, &object), S_OK);
    static_cast<IUnknown*>(object)->Release();
    EXPECT_EQ(target_->QueryInterface(IID_IDataObject, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(target_->QueryInterface(IID_IDropTarget, nullptr), E_INVALIDARG);
    EXPECT_EQ(GetPropA(List(), kPropertyDropTarget), target_);
}

}  // namespace
}  // namespace kv
