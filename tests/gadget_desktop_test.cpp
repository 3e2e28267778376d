// Gadgets under real keyboard and mouse input, and a real OLE drag onto the list.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <ole2.h>

#include <atomic>
#include <string>
#include <thread>
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
constexpr ObjectNumber kPause = 2;
constexpr ObjectNumber kKey = 3;
constexpr DWORD kEventLimitMs = 3000;
constexpr DWORD kKeyGapMs = 20;

using Event = test::FetchedEvent;

template <class Done>
std::vector<Event> Pump(Done done, DWORD limitMs = kEventLimitMs) {
    return test::FetchEvents(done, limitMs);
}

bool Has(const std::vector<Event>& events, int32_t gadget, int32_t type) {
    return test::HasGadgetEvent(events, gadget, type);
}

void Tap(BYTE key) {
    keybd_event(key, static_cast<BYTE>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)), 0, 0);
    Sleep(kKeyGapMs);
    keybd_event(key, static_cast<BYTE>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)), KEYEVENTF_KEYUP, 0);
    Sleep(kKeyGapMs);
}

void TypeText(const char* text) {
    for (const char* c = text; *c; ++c) {
        Tap(static_cast<BYTE>(VkKeyScanA(*c) & 0xFF));
    }
}

void MoveMouse(POINT screen) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    mouse_event(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, screen.x * 65535 / (width - 1),
                screen.y * 65535 / (height - 1), 0, 0);
}

void Click(POINT screen, DWORD down, DWORD up) {
    MoveMouse(screen);
    Sleep(kKeyGapMs);
    mouse_event(down, 0, 0, 0, 0);
    Sleep(kKeyGapMs);
    mouse_event(up, 0, 0, 0, 0);
}

class GadgetDesktopTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        InitWindowLibrary(GetModuleHandleA(nullptr));
        InitGadgetLibrary();
        window_ = reinterpret_cast<HWND>(OpenWindow(kWindow, 0, 0, 300, 420, "Gadgets", 0xC80001));
        ASSERT_NE(window_, nullptr);
        CreateGadgetList(window_);
        list_ = reinterpret_cast<HWND>(
            ListIconGadget(kList, 0, 20, 300, 380, "Pause in ms", 80, 0x40010000));
        AddGadgetColumn(kList, 1, "Key/Text", 216);
        StringGadget(kPause, 0, 0, 80, 20, "", 8192);
        ComboBoxGadget(kKey, 80, 0, 190, 200, 66);
        SetForegroundWindow(window_);
        Pump([](const std::vector<Event>&) { return false; }, 100);
    }
    void TearDown() override {
        CloseAllWindows();
        OleUninitialize();
    }

    HWND List() const { return list_; }

    // The screen point over the first column of a row.
    POINT RowPoint(int32_t row) const {
        RECT bounds = {};
        bounds.left = LVIR_BOUNDS;
        SendMessageA(list_, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&bounds));
        POINT point = {bounds.left + 20, (bounds.top + bounds.bottom) / 2};
        ClientToScreen(list_, &point);
        return point;
    }

    POINT BelowTheRows() const {
        RECT client;
        GetClientRect(list_, &client);
        POINT point = {client.right / 2, client.bottom - 20};
        ClientToScreen(list_, &point);
        return point;
    }

    bool IsHighlighted(int32_t row) const {
        return SendMessageA(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_DROPHILITED);
    }

    void FillRows() {
        for (const char* row : {"10\nA", "20\nB", "30\nC"})
            AddGadgetItem(kList, -1, row);
    }

  private:
    HWND window_ = nullptr;
    HWND list_ = nullptr;
};

TEST_F(GadgetDesktopTest, TheNumericFieldTakesOnlyTypedDigitsAndReportsItsFocus) {
    SetFocus(GadgetID(kPause));
    std::vector<Event> events =
        Pump([](const std::vector<Event>& seen) { return Has(seen, kPause, 14000); });
    EXPECT_TRUE(Has(events, kPause, kEventTypeFocusGained));

    TypeText("1a2b3");
    events = Pump([](const std::vector<Event>&) { return GetGadgetText(kPause) == "123"; });
    EXPECT_EQ(GetGadgetText(kPause), "123");
    EXPECT_TRUE(Has(events, kPause, EN_CHANGE));

    SetFocus(List());
    events = Pump([](const std::vector<Event>& seen) { return Has(seen, kPause, 14001); });
    EXPECT_TRUE(Has(events, kPause, kEventTypeFocusLost));
}

TEST_F(GadgetDesktopTest, TheEditableComboBoxReturnsWhatIsTypedIntoIt) {
    for (const char* name : {"Return", "F5", "F6"})
        AddGadgetItem(kKey, -1, name);
    COMBOBOXINFO info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(GadgetID(kKey), &info));
    SetFocus(info.hwndItem);
    TypeText("hallo f5");
    const std::vector<Event> events =
        Pump([](const std::vector<Event>&) { return GetGadgetText(kKey) == "hallo f5"; });
    EXPECT_EQ(GetGadgetText(kKey), "hallo f5");
    EXPECT_EQ(GetGadgetState(kKey), -1);
    EXPECT_TRUE(Has(events, kKey, CBN_EDITCHANGE));
}

TEST_F(GadgetDesktopTest, ARightClickOnARowGivesAChangeThenTheClick) {
    FillRows();
    Click(RowPoint(1), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    std::vector<Event> events =
        Pump([](const std::vector<Event>& seen) { return Has(seen, kList, kEventTypeRightClick); });
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].gadget, kList);
    EXPECT_EQ(events[0].type, kEventTypeChange);
    EXPECT_EQ(events[1].type, kEventTypeRightClick);
    EXPECT_EQ(GetGadgetState(kList), 1);

    // A right click that leaves no row selected reports the loss first.
    Click(BelowTheRows(), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    events =
        Pump([](const std::vector<Event>& seen) { return Has(seen, kList, kEventTypeRightClick); });
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].type, kEventTypeChange);
    EXPECT_EQ(events[1].type, kEventTypeRightClick);
    EXPECT_EQ(GetGadgetState(kList), -1);
    EXPECT_EQ(GetPropA(List(), kPropertyLastSelected), reinterpret_cast<HANDLE>(-1));
}

TEST_F(GadgetDesktopTest, LeftClicksDoubleClicksAndDragsOfRows) {
    FillRows();
    Click(RowPoint(2), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    std::vector<Event> events = Pump(
        [](const std::vector<Event>& seen) { return Has(seen, kList, kEventTypeLeftDoubleClick); });
    EXPECT_TRUE(Has(events, kList, kEventTypeChange));
    EXPECT_TRUE(Has(events, kList, kEventTypeLeftClick));
    EXPECT_TRUE(Has(events, kList, kEventTypeLeftDoubleClick));
    EXPECT_EQ(GetGadgetState(kList), 2);

    Sleep(GetDoubleClickTime());
    const POINT start = RowPoint(0);
    MoveMouse(start);
    Sleep(kKeyGapMs);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    Sleep(kKeyGapMs);
    MoveMouse({start.x + 30, start.y + 5});
    Sleep(kKeyGapMs);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    events =
        Pump([](const std::vector<Event>& seen) { return Has(seen, kList, kEventTypeDragStart); });
    EXPECT_TRUE(Has(events, kList, kEventTypeDragStart));
}

// A drag source that drops when the left button comes up, and records what the target said
// and whether the list marked the row under the cursor meanwhile.
class TestDropSource final : public IDropSource {
  public:
    TestDropSource(HWND list, int32_t row) : list_(list), row_(row) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (!object)
            return E_INVALIDARG;
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropSource)) {
            *object = static_cast<IDropSource*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the test's stack.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
        dragging = true;
        if (escape)
            return DRAGDROP_S_CANCEL;
        return keys & MK_LBUTTON ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override {
        lastEffect = effect;
        if (effect != DROPEFFECT_NONE) {
            answered = true;
            if (SendMessageA(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(row_),
                             LVIS_DROPHILITED)) {
                rowMarked = true;
            }
        }
        return DRAGDROP_S_USEDEFAULTCURSORS;
    }

    std::atomic<bool> dragging{false};
    std::atomic<bool> answered{false};
    std::atomic<bool> rowMarked{false};
    std::atomic<DWORD> lastEffect{DROPEFFECT_NONE};

  private:
    HWND list_;
    int32_t row_;
};

// A window of another "program" that starts a drag of its data when the left button goes down
// in it.
class DragSourceWindow {
  public:
    DragSourceWindow(IDataObject* data, TestDropSource* source) : data_(data), source_(source) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "KorvaltDragSource";
        RegisterClassA(&windowClass);
        window_ =
            CreateWindowExA(WS_EX_TOPMOST, "KorvaltDragSource", "", WS_POPUP | WS_VISIBLE, kLeft,
                            kTop, kSize, kSize, nullptr, nullptr, GetModuleHandleA(nullptr), this);
    }
    ~DragSourceWindow() { DestroyWindow(window_); }
    DragSourceWindow(const DragSourceWindow&) = delete;
    DragSourceWindow& operator=(const DragSourceWindow&) = delete;

    POINT Centre() const { return {kLeft + kSize / 2, kTop + kSize / 2}; }
    HRESULT Result() const { return result_; }
    DWORD Effect() const { return effect_; }

    std::atomic<bool> done{false};

  private:
    static constexpr int kLeft = 700;
    static constexpr int kTop = 100;
    static constexpr int kSize = 100;

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            SetPropA(window, "Test_Source",
                     reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        }
        auto* self = static_cast<DragSourceWindow*>(GetPropA(window, "Test_Source"));
        if (message == WM_LBUTTONDOWN && self) {
            self->result_ = DoDragDrop(self->data_, self->source_,
                                       DROPEFFECT_COPY | DROPEFFECT_MOVE, &self->effect_);
            self->done = true;
            return 0;
        }
        if (message == WM_NCDESTROY)
            RemovePropA(window, "Test_Source");
        return DefWindowProcA(window, message, wParam, lParam);
    }

    IDataObject* data_;
    TestDropSource* source_;
    HWND window_ = nullptr;
    HRESULT result_ = E_FAIL;
    DWORD effect_ = DROPEFFECT_NONE;
};

// Presses the button on the source, moves over `target` and lets go once the target has
// answered or the time is up; Escape ends a drag that does not end by itself.
void DriveDrag(const DragSourceWindow& window, POINT target, const TestDropSource& source) {
    const POINT from = window.Centre();
    MoveMouse(from);
    Sleep(50);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    for (int i = 0; i < 100 && !source.dragging; ++i)
        Sleep(10);
    for (int step = 1; step <= 4; ++step) {
        MoveMouse(
            {from.x + (target.x - from.x) * step / 4, from.y + (target.y - from.y) * step / 4});
        Sleep(50);
    }
    for (int i = 0; i < 25 && !source.answered; ++i) {
        MoveMouse({target.x + i % 2, target.y});
        Sleep(20);
    }
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    for (int i = 0; i < 200 && !window.done; ++i)
        Sleep(10);
    if (!window.done)
        Tap(VK_ESCAPE);
}

// Runs one drag from the source window to `target`, fetching events meanwhile.
void DragOnto(POINT target, TestDropSource& source, DragSourceWindow& window) {
    std::thread driver([&] { DriveDrag(window, target, source); });
    const DWORD start = GetTickCount();
    while (!window.done && GetTickCount() - start < 5000)
        WindowEvent(10);
    driver.join();
}

TEST_F(GadgetDesktopTest, DroppedTextSelectsTheRowAndArrivesAsADropEvent) {
    FillRows();
    EnableGadgetDrop(kList, CF_TEXT, DROPEFFECT_COPY);
    test::TestDataObject data;
    data.Offer(CF_TEXT, std::string("Hallo Welt\0", 11));
    TestDropSource source(List(), 2);
    DragSourceWindow sourceWindow(&data, &source);
    DragOnto(RowPoint(2), source, sourceWindow);

    ASSERT_TRUE(sourceWindow.done);
    EXPECT_EQ(sourceWindow.Result(), DRAGDROP_S_DROP);
    EXPECT_EQ(sourceWindow.Effect(), static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_TRUE(source.rowMarked);
    EXPECT_EQ(source.lastEffect, static_cast<DWORD>(DROPEFFECT_COPY));

    const DropRecord* drop = nullptr;
    const std::vector<Event> events = Pump([&](const std::vector<Event>& seen) {
        if (!seen.empty() && seen.back().code == kEventGadgetDrop)
            drop = EventDropData();
        return drop != nullptr;
    });
    ASSERT_NE(drop, nullptr);
    EXPECT_EQ(events.back().gadget, kList);
    EXPECT_EQ(std::string(drop->data.data()), "Hallo Welt");
    EXPECT_EQ(drop->format, static_cast<uint32_t>(CF_TEXT));
    EXPECT_EQ(GetGadgetState(kList), 2);
    EXPECT_FALSE(IsHighlighted(2));
    WindowEvent(0);
    EXPECT_EQ(EventDropData(), nullptr);
}

TEST_F(GadgetDesktopTest, DraggedDataWithoutTextIsRefused) {
    FillRows();
    EnableGadgetDrop(kList, CF_TEXT, DROPEFFECT_COPY);
    test::TestDataObject data;
    data.Offer(CF_BITMAP, "pixels");
    TestDropSource source(List(), 1);
    DragSourceWindow sourceWindow(&data, &source);
    DragOnto(RowPoint(1), source, sourceWindow);

    ASSERT_TRUE(sourceWindow.done);
    EXPECT_EQ(sourceWindow.Effect(), static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(source.lastEffect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_FALSE(source.rowMarked);
    const std::vector<Event> events = Pump(
        [](const std::vector<Event>& seen) {
            return !seen.empty() && seen.back().code == kEventGadgetDrop;
        },
        300);
    for (const Event& event : events)
        EXPECT_NE(event.code, kEventGadgetDrop);
    EXPECT_EQ(GetGadgetState(kList), -1);
}

}  // namespace
}  // namespace kv
