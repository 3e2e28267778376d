#pragma once
// Gadgets: numbered child controls of a toolkit window. Every generic operation dispatches
// through the kind's operations table, with a fixed fallback where the kind has no operation.

#include <windows.h>

#include <cstdint>
#include <string>

#include "toolkit/objects.h"

namespace kv {

// Gadget event types beyond the platform notification codes.
constexpr int32_t kEventTypeFocusGained = 14000;
constexpr int32_t kEventTypeFocusLost = 14001;
constexpr int32_t kEventTypeDragStart = 14002;

// A toggle button's state while it is down.
constexpr int32_t kToggleDown = 1;

// Flags of the simple kinds.
constexpr uint32_t kButtonToggle = 0x1003;   // BS_AUTOCHECKBOX | BS_PUSHLIKE
constexpr uint32_t kStringNumeric = 0x2000;  // ES_NUMBER
constexpr uint32_t kStringBorderless = 0x20000;
constexpr uint32_t kTextCentre = 0x1;  // SS_CENTER
constexpr uint32_t kTextRight = 0x2;   // SS_RIGHT
constexpr uint32_t kTextBorder = 0x20000;
constexpr uint32_t kComboBoxEditable = 0x2;  // CBS_DROPDOWN

// SetGadgetColor / GetGadgetColor: which colour, and the value that means the platform's own.
constexpr int32_t kColorFront = 1;
constexpr int32_t kColorBack = 2;
constexpr int32_t kColorDefault = -1;

HWND CreateGadgetList(HWND parent);
intptr_t ButtonGadget(ObjectNumber number, int32_t x, int32_t y, int32_t width, int32_t height,
                      const char* text, uint32_t flags = 0);
intptr_t StringGadget(ObjectNumber number, int32_t x, int32_t y, int32_t width, int32_t height,
                      const char* text, uint32_t flags = 0);
intptr_t TextGadget(ObjectNumber number, int32_t x, int32_t y, int32_t width, int32_t height,
                    const char* text, uint32_t flags = 0);
intptr_t ComboBoxGadget(ObjectNumber number, int32_t x, int32_t y, int32_t width, int32_t height,
                        uint32_t flags = 0);

int32_t AddGadgetItem(ObjectNumber number, int32_t position, const char* text);
void RemoveGadgetItem(ObjectNumber number, int32_t position);
void ClearGadgetItems(ObjectNumber number);
int32_t CountGadgetItems(ObjectNumber number);
std::string GetGadgetText(ObjectNumber number);
void SetGadgetText(ObjectNumber number, const char* text);
int32_t GetGadgetState(ObjectNumber number);
void SetGadgetState(ObjectNumber number, int32_t state);
std::string GetGadgetItemText(ObjectNumber number, int32_t item, int32_t column = 0);
void SetGadgetItemText(ObjectNumber number, int32_t item, const char* text, int32_t column = 0);
void AddGadgetColumn(ObjectNumber number, int32_t position, const char* title, int32_t width);
void DisableGadget(ObjectNumber number, int32_t state);
void SetGadgetColor(ObjectNumber number, int32_t type, int32_t color);
int32_t GetGadgetColor(ObjectNumber number, int32_t type);
HWND GadgetID(ObjectNumber number);

}  // namespace kv
