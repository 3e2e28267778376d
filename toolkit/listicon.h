#pragma once
// The list gadget: a report-view list whose rows are texts split at line feeds into columns,
// and which can accept data dropped onto it.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/droptarget.h"
#include "toolkit/objects.h"

namespace kv {

constexpr uint32_t kListCheckBoxes = 0x1;
constexpr uint32_t kListMultiSelect = 0x4;
constexpr uint32_t kListGridLines = 0x10000;
constexpr uint32_t kListHeaderDragDrop = 0x10000000;
constexpr uint32_t kListFullRowSelect = 0x40000000;

constexpr int32_t kEventTypeLeftClick = 0;
constexpr int32_t kEventTypeRightClick = 1;
constexpr int32_t kEventTypeLeftDoubleClick = 2;
constexpr int32_t kEventTypeRightDoubleClick = 3;
constexpr int32_t kEventTypeChange = 768;

// A key pressed while the list has the focus: this type plus the virtual key, plus
// kEventKeyControl while Ctrl is down.
constexpr int32_t kEventTypeKey = 0x10000;
constexpr int32_t kEventKeyControl = 0x100;
constexpr int32_t KeyEventType(int32_t virtualKey, bool control) {
    return kEventTypeKey | virtualKey | (control ? kEventKeyControl : 0);
}

// The list's state with no row selected.
constexpr int32_t kNoRow = -1;

// On the control: the row that became selected last, -1 after a click left none selected.
inline constexpr char kPropertyLastSelected[] = "KV_LastSelected";

intptr_t ListIconGadget(ObjectNumber number, int32_t x, int32_t y, int32_t width, int32_t height,
                        const char* firstColumnTitle, int32_t firstColumnWidth, uint32_t flags = 0);
// Format: a clipboard format (CF_TEXT ...) or kDropPrivateFormat with `privateType`; actions:
// the drop effects accepted for it, 0 to accept it no longer.
void EnableGadgetDrop(ObjectNumber number, uint32_t format, uint32_t actions,
                      uint32_t privateType = 0);

// After EnableGadgetDrop; nullptr takes every drop that matches. A dropped block is copied up to
// `mostBytes` (DropRecord::size says how large it was).
void SetGadgetDropCallback(ObjectNumber number, DropCallback callback, size_t mostBytes);

// Inserts `rows` (row texts as AddGadgetItem takes them) before the row at `position` (-1 or
// beyond the last row: at the end) with the list's drawing suspended: all of them, or none when
// the platform refuses one. The number of rows inserted.
int32_t AddGadgetItems(ObjectNumber number, int32_t position, const std::vector<std::string>& rows);
// The row at a point in the list's client coordinates, -1 for none.
int32_t GadgetItemAt(ObjectNumber number, int32_t x, int32_t y);

}  // namespace kv
