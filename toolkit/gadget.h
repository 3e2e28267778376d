#pragma once
// Gadgets: numbered child controls of a toolkit window. Every generic operation dispatches
// through the kind's operations table, with a fixed fallback where the kind has no operation.

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

#include "toolkit/objects.h"

namespace kv {

constexpr int32_t kKindButton = 1;
constexpr int32_t kKindString = 2;
constexpr int32_t kKindText = 3;
constexpr int32_t kKindComboBox = 8;
constexpr int32_t kKindListIcon = 12;

// Gadget event types beyond the platform notification codes.
constexpr int32_t kEventTypeFocusGained = 14000;
constexpr int32_t kEventTypeFocusLost = 14001;
constexpr int32_t kEventTypeDragStart = 14002;

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

// Window properties on a gadget control.
constexpr char kPropertyGadgetNumber[] = "KV_ID";
constexpr char kPropertyDropTarget[] = "KV_DropAccept";

struct GadgetRecord;

// One table per kind; an empty slot makes the generic call use its fallback.
struct KindOperations {
    int32_t kind = 0;
    // Answers a control message of the gadget received by its parent `window`, or gives
    // kNotHandled (toolkit/window.h).
    LRESULT (*messageHook)(GadgetRecord&, HWND window, UINT message, WPARAM, LPARAM) = nullptr;
    void (*destroyHook)(GadgetRecord&) = nullptr;
    int32_t (*getState)(GadgetRecord&) = nullptr;
    void (*setState)(GadgetRecord&, int32_t state) = nullptr;
    std::string (*getText)(GadgetRecord&) = nullptr;
    void (*setText)(GadgetRecord&, const char* text) = nullptr;
    int32_t (*addItem)(GadgetRecord&, int32_t position, const char* text) = nullptr;
    void (*removeItem)(GadgetRecord&, int32_t position) = nullptr;
    void (*clearItems)(GadgetRecord&) = nullptr;
    int32_t (*countItems)(GadgetRecord&) = nullptr;
    std::string (*getItemText)(GadgetRecord&, int32_t item, int32_t column) = nullptr;
    void (*setItemText)(GadgetRecord&, int32_t item, const char* text, int32_t column) = nullptr;
    void (*addColumn)(GadgetRecord&, int32_t position, const char* title, int32_t width) = nullptr;
    void (*setColor)(GadgetRecord&, int32_t type, int32_t color) = nullptr;
    int32_t (*getColor)(GadgetRecord&, int32_t type) = nullptr;
};

// Kind-specific words: colours and brush of string fields and labels, the longest text of a
// list gadget.
using GadgetWords = std::array<intptr_t, 4>;

struct GadgetRecord {
    HWND control = nullptr;
    const KindOperations* operations = nullptr;
    WNDPROC previousProcedure = nullptr;
    GadgetWords words = {};

    bool InUse() const { return control != nullptr; }
};

// Start-up: brush cache lock, default GUI font, gadget table, common controls, and the
// window library's hand-off of control messages.
void InitGadgetLibrary();

// Internal contracts of the gadget kinds.
GadgetRecord* LookupGadget(ObjectNumber number);
// Allocates `number` for a control that already exists (destroying an older gadget under it)
// and registers it with its kind's first words; gives the creation result.
intptr_t RegisterGadget(ObjectNumber number, HWND control, const KindOperations& operations,
                        const GadgetWords& words = {});
// A control in the current gadget list, not yet registered; nullptr when the platform refuses.
HWND CreateGadgetControl(DWORD extendedStyle, const char* className, const char* text, DWORD style,
                         int32_t x, int32_t y, int32_t width, int32_t height);
void PostGadgetEvent(HWND control, int32_t eventType);
HWND TopLevelWindowOf(HWND window);
ObjectNumber GadgetNumberOf(const GadgetRecord& record);
// The hand-off the window library calls for every control message of `control`.
LRESULT HandleControlMessage(HWND control, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Operations used by the program.
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
