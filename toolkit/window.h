#pragma once
// Numbered top-level windows and the one event loop: platform messages become the program's
// events, fetched one at a time with WaitWindowEvent / WindowEvent.
//
// Sizing is left to the platform: no window of this program has a sizing border.

#include <windows.h>

#include <cstdint>
#include <vector>

#include "toolkit/objects.h"

namespace kv {

// Event codes.
constexpr int32_t kEventGadget = 13100;
constexpr int32_t kEventMenu = 13101;
constexpr int32_t kEventSysTray = 13102;
constexpr int32_t kEventActivateWindow = 13104;
constexpr int32_t kEventWindowDrop = 13105;
constexpr int32_t kEventGadgetDrop = 13106;
constexpr int32_t kEventCloseWindow = 16;
constexpr int32_t kEventMoveWindow = 3;
constexpr int32_t kEventSizeWindow = 5;
constexpr int32_t kEventRepaint = 15;

// OpenWindow flags beyond the platform style bits.
constexpr uint32_t kWindowCentreOnScreen = 0x1;
constexpr uint32_t kWindowCentreOnParent = 0x2;
constexpr uint32_t kWindowInvisible = 0x10000000;
constexpr uint32_t kWindowDefaultFlags = 0xC80000;  // WS_CAPTION | WS_SYSMENU

// Passed for a coordinate or size that is to stay as it is.
constexpr int32_t kKeepValue = -65535;

// What a drop delivered, owned by the event record from the drop event to the next fetch.
struct DropRecord {
    uint32_t format = 0;
    uint32_t privateType = 0;
    uint32_t effect = 0;
    int32_t x = 0;
    int32_t y = 0;
    std::vector<char> data;
};

intptr_t OpenWindow(ObjectNumber number, int32_t x, int32_t y, int32_t width, int32_t height,
                    const char* title, uint32_t flags = kWindowDefaultFlags, HWND parent = nullptr);
// 1, or 0 for a number not in use. A window destroyed otherwise (with its owner) frees its
// number as well.
int32_t CloseWindow(ObjectNumber number);
HWND WindowID(ObjectNumber number);

int32_t WaitWindowEvent();
// Waits at most `milliseconds` (any negative value: without limit, 0: not at all); 0 for no
// event. A message that made no event comes back as its own number (EventWParam/EventLParam).
int32_t WindowEvent(int32_t milliseconds);
ObjectNumber EventGadget();
ObjectNumber EventMenu();
int32_t EventType();
ObjectNumber EventWindow();
WPARAM EventWParam();  // of the last raw message
LPARAM EventLParam();
const DropRecord* EventDropData();  // nullptr when the current event is no drop

int32_t WindowHeight(ObjectNumber number);
int32_t WindowX(ObjectNumber number);
int32_t WindowY(ObjectNumber number);
int32_t ResizeWindow(ObjectNumber number, int32_t x, int32_t y, int32_t width, int32_t height);
int32_t HideWindow(ObjectNumber number, int32_t state);

// Shut-down: closes every window, then drops the last drop event's data.
void CloseAllWindows();

}  // namespace kv
