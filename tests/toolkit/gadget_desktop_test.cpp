// Gadgets under real keyboard and mouse input, and a real OLE drag onto the list.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <ole2.h>

#include <cstring>
#include <string>
#include <vector>

#include "toolkit/gadget_test_support.h"
#include "toolkit/gadget.h"
#include "toolkit/listicon.h"
#include "toolkit/window.h"

namespace kv {
namespace {

using Event = test::FetchedEvent;
using test::kList;

constexpr ObjectNumber kPause = 2;
constexpr ObjectNumber kKey = 3;
constexpr DWORD kInputGapMs = 20;

const char* const kKeyNames[] = {"Return", "Strg an", "Strg aus", "Back", "Left", "Right",  "Up",
                                 "Down",   "Escape",  "Home",     "End",  "Next", "Delete", "F1",
                                 "F2",     "F3",      "F4",       "F5",   "F6",   "F7",     "F8",
                                 "F9",     "F10",     "F11",      "F12"};

void TypeText(const char* text) {
    for (const char* c = text; *c; ++c) {
        const auto key = static_cast<BYTE>(VkKeyScanA(*c) & 0xFF);
        const auto scan = static_cast<BYTE>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
        keybd_event(key, scan, 0, 0);
        Sleep(kInputGapMs);
        keybd_event(key, scan, KEYEVENTF_KEYUP, 0);
        Sleep(kInputGapMs);
    }
}

void MoveMouse(POINT screen) {
    mouse_event(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE,
                screen.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1),
                screen.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1), 0, 0);
    Sleep(kInputGapMs);
}

// The screen point over the first column of a row.
POINT RowPoint(HWND list, int32_t row) {
    RECT bounds = {LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&bounds));
    POINT point = {bounds.left + 20, (bounds.top + bounds.bottom) / 2};
    ClientToScreen(list, &point);
    return point;
}

bool IsHighlighted(HWND list, int32_t row) {
    return SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_DROPHILITED);
}

class GadgetDesktopTest : public test::GadgetWindowTest {
  protected:
    GadgetDesktopTest() : GadgetWindowTest(test::kMainWindowFlags) {}

    void SetUp() override {
        GadgetWindowTest::SetUp();
        StepList({"10\nA", "20\nB", "30\nC"});
        StringGadget(kPause, 0, 0, 80, 20, "", kStringNumeric);
        ComboBoxGadget(kKey, 80, 0, 190, 200, 66);
    }

    static HWND List() { return GadgetID(kList); }
};

TEST_F(GadgetDesktopTest, TypedKeysReachTheFieldsAsTheirKindsAllow) {
    for (const char* name : kKeyNames)
        AddGadgetItem(kKey, -1, name);
    ASSERT_EQ(CountGadgetItems(kKey), 25);
    for (int32_t i = 0; i < 25; ++i)
        EXPECT_EQ(GetGadgetItemText(kKey, i), kKeyNames[i]) << i;
    EXPECT_EQ(GetGadgetState(kKey), -1);
    EXPECT_EQ(GetGadgetText(kKey), "");

    const struct {
        ObjectNumber gadget;
        HWND field;
        const char* typed;
        const char* text;
    } fields[] = {
        {kPause, GadgetID(kPause), "1a2b3", "123"},
        {kKey, GetWindow(GadgetID(kKey), GW_CHILD), "hallo f5", "hallo f5"},
    };
    for (const auto& field : fields) {
        SetFocus(field.field);
        TypeText(field.typed);
        test::FetchEvents(
            [&](const std::vector<Event>&) { return GetGadgetText(field.gadget) == field.text; });
        EXPECT_EQ(GetGadgetText(field.gadget), field.text);
    }
    EXPECT_EQ(GetGadgetState(kKey), -1);
    SetGadgetText(kPause, "abc Löschen");
    EXPECT_EQ(GetGadgetText(kPause), "abc Löschen");
}

TEST_F(GadgetDesktopTest, ARightClickReportsTheChangeOfSelectionFirst) {
    MoveMouse(RowPoint(List(), 1));
    mouse_event(MOUSEEVENTF_RIGHTDOWN, 0, 0, 0, 0);
    Sleep(kInputGapMs);
    mouse_event(MOUSEEVENTF_RIGHTUP, 0, 0, 0, 0);
    const Event rightClick = {kEventGadget, kList, kEventTypeRightClick};
    EXPECT_EQ(test::FetchEventsUntil(rightClick),
              (std::vector<Event>{{kEventGadget, kList, kEventTypeChange}, rightClick}));
    EXPECT_EQ(GetGadgetState(kList), 1);
}

// Drops once the target has answered twice, noting whether the row under the cursor was marked
// meanwhile. It lives on the test's stack.
class TestDropSource final : public IDropSource {
  public:
    TestDropSource(HWND list, int32_t row) : list_(list), row_(row) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        const bool known = IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropSource);
        *object = known ? this : nullptr;
        return known ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL, DWORD) override {
        return answers_ >= 2 ? DRAGDROP_S_DROP : S_OK;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override {
        ++answers_;
        rowMarked = rowMarked || IsHighlighted(list_, row_);
        return DRAGDROP_S_USEDEFAULTCURSORS;
    }

    bool rowMarked = false;

  private:
    HWND list_;
    int32_t row_;
    int answers_ = 0;
};

// The platform's data object over the clipboard, which holds `bytes` in a 64-byte block.
IDataObject* ClipboardData(HWND owner, UINT format, const std::string& bytes) {
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 64);
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    IDataObject* data = nullptr;
    if (OpenClipboard(owner)) {
        EmptyClipboard();
        SetClipboardData(format, block);
        CloseClipboard();
        OleGetClipboard(&data);
    }
    return data;
}

TEST_F(GadgetDesktopTest, OnlyTextThatCanBeReadDropsOntoTheRowUnderIt) {
    EnableGadgetDrop(kList, CF_TEXT, DROPEFFECT_COPY);
    const std::string bytes("Hallo\0tail", 10);
    const struct {
        UINT format;
        int32_t row;
        DWORD effect;
        int32_t selected;
    } drags[] = {{CF_WAVE, 1, DROPEFFECT_NONE, -1}, {CF_TEXT, 2, DROPEFFECT_COPY, 2}};
    for (const auto& drag : drags) {
        SCOPED_TRACE(drag.row);
        IDataObject* data = ClipboardData(Window(), drag.format, bytes);
        ASSERT_NE(data, nullptr);
        TestDropSource source(List(), drag.row);
        MoveMouse(RowPoint(List(), drag.row));
        DWORD effect = ~0u;
        EXPECT_EQ(DoDragDrop(data, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect),
                  DRAGDROP_S_DROP);
        data->Release();
        EXPECT_EQ(source.rowMarked, drag.effect != DROPEFFECT_NONE);
        EXPECT_EQ(effect, drag.effect);

        const std::vector<Event> events = test::FetchEvents(
            [](const std::vector<Event>& seen) {
                return !seen.empty() && seen.back().code == kEventGadgetDrop;
            },
            drag.effect ? 3000 : 300);
        EXPECT_EQ(GetGadgetState(kList), drag.selected);
        if (drag.effect == DROPEFFECT_NONE) {
            EXPECT_TRUE(events.empty());
            continue;
        }
        ASSERT_EQ(events.size(), 2u);
        EXPECT_EQ(events[0], (Event{kEventGadget, kList, kEventTypeChange}));
        const DropRecord* drop = EventDropData();
        ASSERT_NE(drop, nullptr);
        // GlobalSize may round the block up; every byte of it is copied.
        ASSERT_GE(drop->data.size(), 64u);
        EXPECT_EQ(std::string(drop->data.data(), bytes.size()), bytes);
        WindowEvent(0);
        EXPECT_EQ(EventDropData(), nullptr);
    }
}

}  // namespace
}  // namespace kv
