#pragma once
// The program's object numbers: windows, gadgets, images, menus and tray icons.

#include "toolkit/objects.h"

namespace kv {

constexpr ObjectNumber kMainWindow = 0;
constexpr ObjectNumber kRenameWindow = 1;
constexpr ObjectNumber kSettingsWindow = 2;

constexpr ObjectNumber kGadgetHintLabel = 0;
constexpr ObjectNumber kGadgetStepList = 1;
constexpr ObjectNumber kGadgetPause = 2;
constexpr ObjectNumber kGadgetKey = 3;
constexpr ObjectNumber kGadgetAdd = 4;
constexpr ObjectNumber kGadgetStart = 5;
constexpr ObjectNumber kGadgetExpand = 6;
constexpr ObjectNumber kGadgetRepeatEnable = 7;
constexpr ObjectNumber kGadgetRepeatCount = 8;
constexpr ObjectNumber kGadgetRenamePause = 14;
constexpr ObjectNumber kGadgetRenameKey = 15;
constexpr ObjectNumber kGadgetRenameApply = 16;
constexpr ObjectNumber kGadgetWebLabel = 17;
constexpr ObjectNumber kGadgetSettingsCtrl = 19;
constexpr ObjectNumber kGadgetSettingsAlt = 20;
constexpr ObjectNumber kGadgetSettingsShift = 21;
constexpr ObjectNumber kGadgetSettingsWin = 22;
constexpr ObjectNumber kGadgetSettingsTriggerKey = 23;
constexpr ObjectNumber kGadgetSettingsStop = 24;
constexpr ObjectNumber kGadgetSettingsHold = 25;
constexpr ObjectNumber kGadgetSettingsGap = 26;
constexpr ObjectNumber kGadgetSettingsKeyMode = 27;
constexpr ObjectNumber kGadgetSettingsOk = 28;
constexpr ObjectNumber kGadgetSettingsCancel = 29;

constexpr ObjectNumber kImageArmed = 1;
constexpr ObjectNumber kImageRunning = 2;

constexpr ObjectNumber kMenuStep = 9;
constexpr int32_t kMenuItemDelete = 10;
constexpr int32_t kMenuItemRename = 11;
constexpr int32_t kMenuItemCopy = 12;
constexpr int32_t kMenuItemPaste = 13;
constexpr int32_t kMenuItemSettings = 30;

constexpr ObjectNumber kTrayIconPlayback = 1;

// Recording.
constexpr ObjectNumber kImageRecording = 3;
constexpr int32_t kMenuItemRecord = 20;
constexpr int32_t kMenuItemRecordPauses = 21;
constexpr ObjectNumber kTrayIconRecording = 2;
constexpr int32_t kHotKeyTrigger = 1;

// The step list's columns: the pause, then the key token or literal text.
constexpr int32_t kColumnPause = 0;
constexpr int32_t kColumnKey = 1;

}  // namespace kv
