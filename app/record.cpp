#include "app/record.h"

#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "app/numbers.h"
#include "app/settings.h"
#include "app/steplist_text.h"
#include "engine/playback.h"
#include "engine/settings.h"
#include "runtime/delay.h"
#include "runtime/strings.h"
#include "runtime/textcodec.h"
#include "toolkit/gadget.h"
#include "toolkit/image.h"
#include "toolkit/listicon.h"
#include "toolkit/menu.h"
#include "toolkit/requester.h"
#include "toolkit/systray.h"
#include "toolkit/window.h"

namespace kv {

namespace {

constexpr int32_t kKeyNameCapacity = 64;
constexpr SHORT kKeyDown = SHORT(0x8000);

bool recordRealPauses = true;

std::string KeyName(const LeftOutKey& key) {
    char name[kKeyNameCapacity] = {};
    const LONG code = (static_cast<LONG>(key.scanCode) << 16) | (key.extended ? 1 << 24 : 0);
    if (GetKeyNameTextA(code, name, kKeyNameCapacity) > 0)
        return name;
    return Concat({"Taste ", DecimalText(key.virtualKey)});
}

// Each name once, in the order first met.
template <class Item, class Name>
std::string NameList(const std::vector<Item>& items, Name name) {
    std::vector<std::string> names;
    for (const Item& item : items) {
        std::string text = name(item);
        if (std::find(names.begin(), names.end(), text) == names.end())
            names.push_back(std::move(text));
    }
    std::string list;
    for (const std::string& text : names)
        list.append(list.empty() ? "" : ", ").append(text);
    return list;
}

// What the list could not take as it was typed, one line each; empty when all went in.
std::string Notes(const Recording& recording) {
    std::string notes;
    if (!recording.simplified.empty())
        notes +=
            Concat({"Vereinfacht aufgenommen (die Liste kennt nur Strg): ",
                    NameList(recording.simplified, [](const std::string& chord) { return chord; }),
                    ".\n"});
    if (!recording.leftOut.empty())
        notes += Concat({"Ausgelassen (Tasten ohne Namen in der Liste): ",
                         NameList(recording.leftOut, KeyName), ".\n"});
    if (!recording.refused.empty())
        notes += Concat({"Ausgelassen (nicht in Code Page 1252): ",
                         NameList(recording.refused, CharacterName), ".\n"});
    return notes;
}

// Until the stop chord, the tray icon's double click or a close request; true for the last.
bool RecordUntilDone(KeyRecording& recording) {
    for (;;) {
        const int32_t event = WindowEvent(kRecordWaitMs);
        if (!recording.Take(TakeHookedKeys()))
            return false;
        if (event == kEventCloseWindow)
            return true;
        if (event == kEventSysTray && EventType() == kTrayEventLeftDoubleClick)
            return false;
    }
}

}  // namespace

Chord RecordStopChord() {
    return CurrentOptions().stop;
}

std::string RecordStopChordName() {
    return ChordName(RecordStopChord());
}

KeyRecording::KeyRecording(RecordOptions options, uint32_t startTime)
    : recorder_(std::move(options), 0), startTime_(startTime) {
    for (int key = 1; key < 256; ++key)
        heldAtStart_[key] = (GetAsyncKeyState(key) & kKeyDown) != 0;
}

bool KeyRecording::Take(const std::vector<HookedKey>& keys) {
    const HKL layout = keys.empty() ? nullptr : ForegroundLayout();
    for (const HookedKey& key : keys) {
        KeyTyping::Typed typed = typing_.Follow(key, layout);
        const bool up = key.flags & LLKHF_UP;
        if (!up && heldAtStart_[key.virtualKey & 0xFF])
            continue;
        if (up)
            heldAtStart_[key.virtualKey & 0xFF] = false;
        else
            heldAtStart_.reset();
        // The tick count wraps; the difference does not.
        const int64_t timeUs = static_cast<int32_t>(key.time - startTime_) * kMicrosecondsPerMs;
        if (!recorder_.Add({static_cast<uint8_t>(key.virtualKey),
                            static_cast<uint16_t>(key.scanCode), key.flags, timeUs,
                            std::move(typed.characters), typed.dead, std::move(typed.plain)}))
            return false;
    }
    return true;
}

RecordOptions CurrentRecordOptions() {
    return {RecordStopChord(), recordRealPauses, GetGadgetText(kGadgetPause)};
}

void RecordSteps() {
    KeyRecording recording(CurrentRecordOptions(), GetTickCount());
    bool closing = false;
    HideWindow(kMainWindow, 1);
    {
        KeyboardHook hook;
        // Without a hook nothing is recorded, without the icon nothing ends it.
        if (!hook.Installed() || !AddSysTrayIcon(kTrayIconRecording, WindowID(kMainWindow),
                                                 ImageIcon(kImageRecording))) {
            HideWindow(kMainWindow, 0);
            SetGadgetText(kGadgetWebLabel, kRecordRefused);
            return;
        }
        const std::string toolTip =
            Concat({kRecordToolTipStart, RecordStopChordName(), kRecordToolTipEnd});
        SysTrayIconToolTip(kTrayIconRecording, toolTip.c_str());
        closing = RecordUntilDone(recording);
        RemoveSysTrayIcon(kTrayIconRecording);
    }
    recording.Take(TakeHookedKeys());
    const std::string notes = InsertRecording(recording.Finish());
    HideWindow(kMainWindow, 0);
    if (!notes.empty())
        MessageRequester(WindowID(kMainWindow), kMessageTitle, notes);
    // The main loop ends on it as it would have without the recording.
    if (closing)
        PostMessageA(WindowID(kMainWindow), WM_CLOSE, 0, 0);
}

void AddRecordMenuItems() {
    MenuItem(kMenuItemRecord, "Aufnehmen");
    MenuItem(kMenuItemRecordPauses, "Pausen aufnehmen");
    SetMenuItemState(kMenuStep, kMenuItemRecordPauses, recordRealPauses ? 1 : 0);
}

void ToggleRecordedPauses() {
    recordRealPauses = !recordRealPauses;
    SetMenuItemState(kMenuStep, kMenuItemRecordPauses, recordRealPauses ? 1 : 0);
}

std::string InsertRecording(const Recording& recording) {
    const int32_t inserted = InsertSteps(recording.steps, RowAfterSelection());
    const std::string notes = Notes(recording);
    const std::string status =
        Concat({DecimalText(inserted), " Steps aufgenommen",
                recording.simplified.empty() ? "" : ", vereinfacht",
                recording.leftOut.empty() && recording.refused.empty() ? "" : ", ausgelassen"});
    SetGadgetText(kGadgetWebLabel, status.c_str());
    return notes.empty() ? notes : Concat({status, ".\n\n", notes});
}

}  // namespace kv
