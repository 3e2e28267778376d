#include "app/main_window.h"

#include <windows.h>

#include <string>

#include "app/numbers.h"
#include "app/playback.h"
#include "app/record.h"
#include "app/rename.h"
#include "app/steplist_text.h"
#include "engine/keys.h"
#include "resources/resource.h"
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
    const std::string row = GetGadgetText(kGadgetPause) + '\n' + GetGadgetText(kGadgetKey);
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

// The menu opens only over a selected row; the keys act as its items do.
void HandleStepList(int32_t eventType) {
    switch (eventType) {
        case kEventTypeRightClick:
            if (GetGadgetState(kGadgetStepList) > kNoRow)
                DisplayPopupMenu(kMenuStep, WindowID(kMainWindow));
            break;
        case KeyEventType(VK_DELETE, false):
            DeleteSelectedStep();
            break;
        case KeyEventType(VK_F2, false):
            RenameSelectedStep();
            break;
        case KeyEventType('C', true):
            CopyStepList();
            break;
        case KeyEventType('V', true):
            PasteSteps();
            break;
        case KeyEventType('R', true):
            RecordSteps();
            break;
        default:
            break;
    }
}

void HandleGadget(ObjectNumber gadget) {
    switch (gadget) {
        case kGadgetAdd:
            AddStep();
            break;
        case kGadgetStart:
            RunPlayback();
            break;
        case kGadgetExpand:
            ToggleExpansion();
            break;
        case kGadgetRepeatEnable:
            FollowRepeatToggle();
            break;
        case kGadgetStepList:
            HandleStepList(EventType());
            break;
        default:
            break;
    }
}

void HandleMenu(ObjectNumber item) {
    switch (item) {
        case kMenuItemDelete:
            RemoveGadgetItem(kGadgetStepList, GetGadgetState(kGadgetStepList));
            break;
        case kMenuItemRename:
            RenameStep();
            break;
        case kMenuItemCopy:
            CopyStepList();
            break;
        case kMenuItemPaste:
            PasteSteps();
            break;
        case kMenuItemRecord:
            RecordSteps();
            break;
        case kMenuItemRecordPauses:
            ToggleRecordedPauses();
            break;
        default:
            break;
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
}

bool HandleMainEvent(int32_t event) {
    if (event == kEventGadget)
        HandleGadget(EventGadget());
    if (event == kEventMenu)
        HandleMenu(EventMenu());
    if (event == kEventGadgetDrop && EventGadget() == kGadgetStepList)
        TakeDroppedSteps();
    DisableGadget(kGadgetAdd, GetGadgetText(kGadgetKey).empty() ? 1 : 0);
    return event != kEventCloseWindow;
}

void RunMainLoop() {
    while (HandleMainEvent(WaitWindowEvent())) {
    }
}

}  // namespace kv
