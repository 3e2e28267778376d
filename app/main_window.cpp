#include "app/main_window.h"

#include <windows.h>

#include <string>

#include "app/numbers.h"
#include "app/playback.h"
#include "app/record.h"
#include "app/rename.h"
#include "app/settings_window.h"
#include "app/steplist_text.h"
#include "engine/keys.h"
#include "resources/resource.h"
#include "runtime/strings.h"
#include "toolkit/gadget.h"
#include "toolkit/image.h"
#include "toolkit/listicon.h"
#include "toolkit/menu.h"
#include "toolkit/window.h"

namespace kv {

namespace {

constexpr int32_t kAppendItem = -1;

// The icon files are RCDATA, not icon resources: CatchImage takes whole files.
void CatchEmbeddedIcon(ObjectNumber image, int resourceId) {
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(resourceId), RT_RCDATA);
    HGLOBAL data = LoadResource(nullptr, resource);
    CatchImage(image, LockResource(data), SizeofResource(nullptr, resource));
}

void AddStep() {
    const std::string row = Concat({GetGadgetText(kGadgetPause), "\n", GetGadgetText(kGadgetKey)});
    AddGadgetItem(kGadgetStepList, kAppendItem, row.c_str());
}

void ToggleExpansion() {
    const bool collapsed = WindowHeight(kMainWindow) == kCollapsedHeight;
    SetGadgetText(kGadgetExpand, collapsed ? "-" : "+");
    ResizeWindow(kMainWindow, WindowX(kMainWindow), WindowY(kMainWindow), kMainWidth,
                 collapsed ? kExpandedHeight : kCollapsedHeight);
}

void FollowRepeatToggle() {
    DisableGadget(kGadgetRepeatCount, GetGadgetState(kGadgetRepeatEnable) == kToggleDown ? 0 : 1);
}

void DeleteSelectedStep() {
    const int32_t selected = GetGadgetState(kGadgetStepList);
    if (selected != kNoRow)
        RemoveGadgetItem(kGadgetStepList, selected);
}

void RenameSelectedStep() {
    if (GetGadgetState(kGadgetStepList) != kNoRow)
        RenameStep();
}

// The menu opens only over a selected row.
void ShowStepMenu() {
    if (GetGadgetState(kGadgetStepList) > kNoRow)
        DisplayPopupMenu(kMenuStep, WindowID(kMainWindow));
}

void Start() {
    RunPlayback();
}

// A key pressed anywhere in the main window arrives as its own message, after the focused
// gadget had it.
constexpr int32_t kWindowKey = WM_KEYDOWN;
// Any event type of the gadget.
constexpr int32_t kAnyType = INT32_MIN;

struct Command {
    int32_t event;   // kEventGadget, kEventMenu, kEventGadgetDrop or kWindowKey
    int32_t number;  // the gadget, the menu item, or for a key its KeyEventType
    int32_t type;    // the gadget's event type, or kAnyType
    void (*action)();
};

// Buttons, menu items and keys that do the same thing name the same action.
constexpr Command kCommands[] = {
    {kEventGadget, kGadgetAdd, kAnyType, AddStep},
    {kEventGadget, kGadgetStart, kAnyType, Start},
    {kEventGadget, kGadgetExpand, kAnyType, ToggleExpansion},
    {kEventGadget, kGadgetRepeatEnable, kAnyType, FollowRepeatToggle},
    {kEventGadget, kGadgetStepList, kEventTypeRightClick, ShowStepMenu},
    {kEventGadget, kGadgetStepList, KeyEventType(VK_DELETE, false), DeleteSelectedStep},
    {kEventGadget, kGadgetStepList, KeyEventType(VK_F2, false), RenameSelectedStep},
    {kEventGadget, kGadgetStepList, KeyEventType('C', true), CopyStepList},
    {kEventGadget, kGadgetStepList, KeyEventType('V', true), PasteSteps},
    {kEventGadgetDrop, kGadgetStepList, kAnyType, TakeDroppedSteps},
    {kEventMenu, kMenuItemDelete, kAnyType, DeleteSelectedStep},
    {kEventMenu, kMenuItemRename, kAnyType, RenameSelectedStep},
    {kEventMenu, kMenuItemCopy, kAnyType, CopyStepList},
    {kEventMenu, kMenuItemPaste, kAnyType, PasteSteps},
    {kEventMenu, kMenuItemRecord, kAnyType, RecordSteps},
    {kEventMenu, kMenuItemRecordPauses, kAnyType, ToggleRecordedPauses},
    {kEventMenu, kMenuItemSettings, kAnyType, EditSettings},
    {kWindowKey, KeyEventType(kRecordKey, true), kAnyType, RecordSteps},
    {kWindowKey, KeyEventType(kSettingsKey, true), kAnyType, EditSettings},
};

bool Down(int virtualKey) {
    return GetKeyState(virtualKey) < 0;
}

// Ctrl alone with the key: Ctrl+Alt is AltGr on many layouts, which types a character.
int32_t WindowKey() {
    if (GetActiveWindow() != WindowID(kMainWindow) || Down(VK_MENU) || Down(VK_SHIFT))
        return kNoRow;
    return KeyEventType(static_cast<int32_t>(EventWParam()), Down(VK_CONTROL));
}

void Dispatch(int32_t event) {
    const bool key = event == kWindowKey;
    const int32_t number = key ? WindowKey() : event == kEventMenu ? EventMenu() : EventGadget();
    const int32_t type = key ? kAnyType : EventType();
    for (const Command& command : kCommands) {
        if (command.event == event && command.number == number &&
            (command.type == kAnyType || command.type == type)) {
            command.action();
            return;
        }
    }
}

}  // namespace

void BuildMainWindow() {
    OpenWindow(kMainWindow, 0, 0, kMainWidth, kCollapsedHeight, kMainTitle,
               kWindowDefaultFlags | kWindowCentreOnScreen);
    CreateGadgetList(WindowID(kMainWindow));
    ListIconGadget(kGadgetStepList, 0, 20, 300, 380, "Pause in ms", 80,
                   kListGridLines | kListFullRowSelect);
    AddGadgetColumn(kGadgetStepList, 1, "Key/Text", 216);
    EnableStepListDrops();
    StringGadget(kGadgetPause, 0, 0, 80, 20, "1000", kStringNumeric);
    ComboBoxGadget(kGadgetKey, 80, 0, 190, 200, kComboBoxEditable | CBS_AUTOHSCROLL);
    for (const char* key : kOfferedKeys)
        AddGadgetItem(kGadgetKey, kAppendItem, key);
    ButtonGadget(kGadgetAdd, 270, 0, 30, 20, "Add");
    ButtonGadget(kGadgetStart, 200, 400, 100, 20, "Start...");
    ButtonGadget(kGadgetExpand, 0, 400, 20, 20, "+");
    ButtonGadget(kGadgetRepeatEnable, 10, 430, 150, 20, "Wiederholungen:", kButtonToggle);
    StringGadget(kGadgetRepeatCount, 165, 430, 30, 20, "-1", kStringNumeric);
    DisableGadget(kGadgetRepeatCount, 1);
    TextGadget(kGadgetHintLabel, 195, 430, 120, 30, "-1 = endlos \rbis STRG + U", kTextCentre);
    CatchEmbeddedIcon(kImageArmed, KV_DATA_ICON_ARMED);
    CatchEmbeddedIcon(kImageRunning, KV_DATA_ICON_RUNNING);
    CatchEmbeddedIcon(kImageRecording, KV_DATA_ICON_RECORDING);
    TextGadget(kGadgetWebLabel, 20, 403, 180, 20, kWebAddress, kTextCentre);
    CreatePopupMenu(kMenuStep);
    MenuItem(kMenuItemDelete, "Löschen");
    MenuItem(kMenuItemRename, "Umbenennen (Name+Zeit)");
    MenuItem(kMenuItemCopy, "Liste kopieren");
    MenuItem(kMenuItemPaste, "Einfügen");
    AddRecordMenuItems();
    MenuItem(kMenuItemSettings, "Einstellungen... (Strg+E)");
}

bool HandleMainEvent(int32_t event) {
    Dispatch(event);
    DisableGadget(kGadgetAdd, GetGadgetText(kGadgetKey).empty() ? 1 : 0);
    return event != kEventCloseWindow;
}

void RunMainLoop() {
    while (HandleMainEvent(WaitWindowEvent())) {
    }
}

}  // namespace kv
