#pragma once
// Numbered icons in the taskbar notification area, re-added as they were when the shell
// restarts. Clicks arrive as tray events through the owner window.

#include <windows.h>
#include <shellapi.h>

#include <cstdint>

#include "toolkit/objects.h"

namespace kv {

// The shell call, replaceable so that tests can read the records sent; nullptr restores
// Shell_NotifyIconA.
using NotifyIconFunction = BOOL (*)(DWORD message, NOTIFYICONDATAA* data);
void SetNotifyIconFunction(NotifyIconFunction function);

// Also registers for the shell's "TaskbarCreated" broadcast, which re-adds the owner's icons.
void InitSysTrayLibrary();

// Results: non-zero on success (for -1 the new dynamic number); 0 for a number not in use, a
// missing text, a zero handle or a refusal of the shell. A tool tip is cut at 63 characters.
intptr_t AddSysTrayIcon(ObjectNumber number, HWND owner, HICON icon);
int32_t SysTrayIconToolTip(ObjectNumber number, const char* text);
int32_t ChangeSysTrayIcon(ObjectNumber number, HICON icon);
int32_t RemoveSysTrayIcon(ObjectNumber number);

// Shut-down: removes every icon.
void RemoveAllSysTrayIcons();

}  // namespace kv
