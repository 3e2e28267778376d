#pragma once
// Numbered icons in the taskbar notification area, re-added as they were when the shell
// restarts. Clicks arrive as tray events through the owner window.

#include <windows.h>

#include <cstdint>

#include "toolkit/objects.h"

namespace kv {

// Tray event types: the mouse action on the icon.
constexpr int32_t kTrayEventLeftClick = 0;
constexpr int32_t kTrayEventRightClick = 1;
constexpr int32_t kTrayEventLeftDoubleClick = 2;
constexpr int32_t kTrayEventRightDoubleClick = 3;

// Results: non-zero on success (for -1 the new dynamic number); 0 for a number not in use, a
// missing text, a zero handle or a refusal of the shell. A tool tip is cut at 63 characters.
intptr_t AddSysTrayIcon(ObjectNumber number, HWND owner, HICON icon);
int32_t SysTrayIconToolTip(ObjectNumber number, const char* text);
int32_t ChangeSysTrayIcon(ObjectNumber number, HICON icon);
int32_t RemoveSysTrayIcon(ObjectNumber number);

}  // namespace kv
