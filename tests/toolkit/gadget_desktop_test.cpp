// A real OLE drag onto the list, under the real mouse.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <ole2.h>

#include <cstring>
#include <string>
#include <vector>

#include "toolkit/fixture.h"

namespace kv {
namespace {

using Event = test::FetchedEvent;
using test::kList;

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
        rowMarked = rowMarked || SendMessageA(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(row_),
                                              LVIS_DROPHILITED);
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

// The mouse over the first column of a row.
void MoveMouseToRow(HWND list, int32_t row) {
    RECT bounds = {LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&bounds));
    POINT point = {bounds.left + 20, (bounds.top + bounds.bottom) / 2};
    ClientToScreen(list, &point);
    mouse_event(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE,
                point.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1),
                point.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1), 0, 0);
    Sleep(20);
}

class GadgetDesktopTest : public test::GadgetTest {
  protected:
    GadgetDesktopTest() : GadgetTest(test::kMainWindowFlags) {}
};

TEST_F(GadgetDesktopTest, OnlyTextThatCanBeReadDropsOntoTheRowUnderIt) {
    HWND list = StepList({"10\nA", "20\nB", "30\nC"});
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
        TestDropSource source(list, drag.row);
        MoveMouseToRow(list, drag.row);
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
