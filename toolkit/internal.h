#pragma once
// What the toolkit's libraries share and the program never calls: the gadget records and kind
// operations, the window library's hand-offs, private messages, window properties, and each
// library's start-up and shut-down.

#include <windows.h>
#include <shellapi.h>

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

// Window properties: the number of a toolkit window, of a gadget control, and the drop target
// registered for either.
inline constexpr char kPropertyWindowNumber[] = "KV_WindowID";
inline constexpr char kPropertyGadgetNumber[] = "KV_ID";
inline constexpr char kPropertyDropTarget[] = "KV_DropAccept";

// Private messages.
constexpr UINT kMessageTrayCallback = 12501;  // sent by the shell for a tray icon
constexpr UINT kMessageTrayEvent = 12502;     // the callback re-posted, dispatched as tray event
constexpr UINT kMessageGadgetEvent = 13103;   // wParam gadget number, lParam event type
constexpr UINT kMessageWindowDrop = 13105;    // lParam DropRecord*
constexpr UINT kMessageGadgetDrop = 13106;    // wParam gadget number, lParam DropRecord*

// Messages that only this thread's own DestroyWindow and controls send: posted, or sent from
// another thread, their values are made up, and a control would free what it still holds.
inline bool IsDestroyOrNotify(UINT message) {
    return message == WM_NOTIFY || message == WM_DESTROY || message == WM_NCDESTROY;
}

// A locked memory block, unlocked however the reading ends.
class LockedBlock {
  public:
    explicit LockedBlock(HGLOBAL block)
        : block_(block), bytes_(block ? GlobalLock(block) : nullptr) {}
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;
    ~LockedBlock() {
        if (bytes_)
            GlobalUnlock(block_);
    }
    const char* bytes() const { return static_cast<const char*>(bytes_); }
    size_t size() const { return GlobalSize(block_); }

  private:
    HGLOBAL block_;
    void* bytes_;
};

// Posts one of the private messages above that the window library honours only as its own post:
// any program can post the same numbers with values it made up.
void PostOwnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Keyboard focus commands of every window's accelerator table.
constexpr WORD kCommandFocusNext = 1212;
constexpr WORD kCommandFocusPrevious = 1213;

// Returned by the control message handler when it leaves a message alone.
constexpr LRESULT kNotHandled = static_cast<LRESULT>(0xD0D0D0D1);
// The gadget layer's hand-off: a control message (WM_COMMAND, WM_NOTIFY, the scroll and the
// control-colour messages) received by `window` on behalf of `control`.
using ControlMessageHandler = LRESULT (*)(HWND control, HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam);
void SetControlMessageHandler(ControlMessageHandler handler);

// Called for every toolkit window that receives the shell's "TaskbarCreated" broadcast.
using TaskbarCreatedHandler = void (*)(HWND window);
void SetTaskbarCreatedHandler(TaskbarCreatedHandler handler);

// Start-up: window table, event record, class icon (icon resource 1) and cursor.
void InitWindowLibrary(HINSTANCE instance);

// The toolkit window that `window` belongs to: itself or its nearest numbered ancestor, else
// its topmost ancestor.
HWND TopLevelWindowOf(HWND window);

struct GadgetRecord;

// One table per kind; an empty slot makes the generic call use its fallback.
struct KindOperations {
    int32_t kind = 0;
    // Answers a control message of the gadget received by its parent `window`, or gives
    // kNotHandled.
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
ObjectNumber GadgetNumberOf(const GadgetRecord& record);
// The hand-off the window library calls for every control message of `control`.
LRESULT HandleControlMessage(HWND control, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void InitImageLibrary();
void InitMenuLibrary();
// Also registers for the shell's "TaskbarCreated" broadcast, which re-adds the owner's icons.
void InitSysTrayLibrary();

// The shell call of the tray icons, replaceable so that tests can read the records sent;
// nullptr restores Shell_NotifyIconA.
using NotifyIconFunction = BOOL (*)(DWORD message, NOTIFYICONDATAA* data);
void SetNotifyIconFunction(NotifyIconFunction function);
// The icon that `owner` knows by the shell's `identifier`, kDynamicNumber for none.
ObjectNumber SysTrayIconNumberOf(HWND owner, UINT identifier);

// Shut-down, in the toolkit's order: every tray icon, every window (then the last drop event's
// data), every image.
void RemoveAllSysTrayIcons();
void CloseAllWindows();
void FreeAllImages();

}  // namespace kv
