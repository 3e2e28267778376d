#pragma once
// Numbered popup menus shown at the mouse cursor; the chosen item arrives as a menu event.

#include <windows.h>

#include <cstdint>

#include "toolkit/objects.h"

namespace kv {

intptr_t CreatePopupMenu(ObjectNumber number);
void MenuItem(int32_t itemNumber, const char* text);
// A check mark before the item (state 1) or none (0).
void SetMenuItemState(ObjectNumber number, int32_t itemNumber, int32_t state);
int32_t DisplayPopupMenu(ObjectNumber number, HWND window);
int32_t FreeMenu(ObjectNumber number);

}  // namespace kv
