#include "app/settings_window.h"

#include <windows.h>

#include <string>
#include <utility>

#include "app/numbers.h"
#include "app/settings.h"
#include "app/steplist_text.h"
#include "engine/settings.h"
#include "runtime/strings.h"
#include "toolkit/gadget.h"
#include "toolkit/requester.h"
#include "toolkit/window.h"

namespace kv {

namespace {

constexpr uint32_t kCheckBox = BS_AUTOCHECKBOX;
constexpr int32_t kAppendItem = -1;
constexpr ObjectNumber kModifierBoxes[kModifierCount] = {kGadgetSettingsCtrl, kGadgetSettingsAlt,
                                                         kGadgetSettingsShift, kGadgetSettingsWin};
// In the order of KeyMode.
constexpr const char* kKeyModeNames[] = {"Layout, sonst Unicode", "Nur Tasten (Scancodes)"};

constexpr std::pair<const char*, int32_t> kLabels[] = {{"Auslöser:", 10},
                                                       {"Stopp:", 64},
                                                       {"Haltezeit (ms):", 90},
                                                       {"Abstand (ms):", 116},
                                                       {"Tastenmodus:", 142}};

struct Refusal {
    const char* field;
    std::string reason;
};

void Build(const RunOptions& options) {
    OpenWindow(kSettingsWindow, 0, 0, 320, 200, kSettingsTitle, kWindowCentreOnScreen,
               WindowID(kMainWindow));
    CreateGadgetList(WindowID(kSettingsWindow));
    for (const auto& [label, y] : kLabels)
        TextGadget(kDynamicNumber, 10, y + 3, 90, 20, label);
    for (int i = 0; i < kModifierCount; ++i) {
        ButtonGadget(kModifierBoxes[i], 100 + 52 * i, 10, 52, 20, kModifierKeys[i].name, kCheckBox);
        SetGadgetState(kModifierBoxes[i], (options.trigger.modifiers & kModifierKeys[i].bit) != 0);
    }
    StringGadget(kGadgetSettingsTriggerKey, 100, 34, 100, 20,
                 ChordName({0, options.trigger.key}).c_str());
    StringGadget(kGadgetSettingsStop, 100, 64, 100, 20, ChordName(options.stop).c_str());
    StringGadget(kGadgetSettingsHold, 100, 90, 50, 20, DecimalText(options.holdMs).c_str(),
                 kStringNumeric);
    StringGadget(kGadgetSettingsGap, 100, 116, 50, 20, DecimalText(options.gapMs).c_str(),
                 kStringNumeric);
    ComboBoxGadget(kGadgetSettingsKeyMode, 100, 142, 210, 100);
    for (const char* name : kKeyModeNames)
        AddGadgetItem(kGadgetSettingsKeyMode, kAppendItem, name);
    SetGadgetState(kGadgetSettingsKeyMode, static_cast<int32_t>(options.keys));
    ButtonGadget(kGadgetSettingsOk, 140, 172, 80, 22, "OK");
    ButtonGadget(kGadgetSettingsCancel, 230, 172, 80, 22, "Abbrechen");
}

// The fields as settings, or the first field that is unusable and why.
Refusal Read(RunOptions& options) {
    const std::string keyName = GetGadgetText(kGadgetSettingsTriggerKey);
    Chord key;
    if (!ParseChord(keyName, key) || key.modifiers)
        return {"Auslöser", Concat({"„", keyName, "“ ist keine bekannte Taste."})};
    options.trigger = key;
    for (int i = 0; i < kModifierCount; ++i) {
        if (GetGadgetState(kModifierBoxes[i]))
            options.trigger.modifiers |= kModifierKeys[i].bit;
    }
    const std::string stopName = GetGadgetText(kGadgetSettingsStop);
    if (!ParseChord(stopName, options.stop))
        return {"Stopp",
                Concat({"„", stopName, "“ ist keine bekannte Taste oder Tastenkombination."})};
    const std::string range =
        Concat({"Erlaubt sind 0 bis ", DecimalText(kLongestTimingMs), " ms."});
    if (!ParseTiming(GetGadgetText(kGadgetSettingsHold), options.holdMs))
        return {"Haltezeit", range};
    if (!ParseTiming(GetGadgetText(kGadgetSettingsGap), options.gapMs))
        return {"Abstand", range};
    options.keys =
        GetGadgetState(kGadgetSettingsKeyMode) == 1 ? KeyMode::kScanCodes : KeyMode::kLayout;
    switch (InvalidField(options)) {
        case SettingsField::kNone:
            return {nullptr, {}};
        case SettingsField::kTrigger:
            return {"Auslöser", options.trigger.modifiers
                                    ? "Er gleicht der Stopp-Taste."
                                    : "Wählen Sie mindestens eine der Tasten Strg, Alt, "
                                      "Umschalt oder Win."};
        default:
            return {"Stopp", "Die Angabe ist unbrauchbar."};
    }
}

}  // namespace

void EditSettings() {
    Build(CurrentOptions());
    for (;;) {
        const int32_t event = WaitWindowEvent();
        if (event == kEventCloseWindow && EventWindow() == kSettingsWindow)
            break;
        if (event != kEventGadget)
            continue;
        if (EventGadget() == kGadgetSettingsCancel)
            break;
        if (EventGadget() != kGadgetSettingsOk)
            continue;
        RunOptions options = CurrentOptions();
        const Refusal refusal = Read(options);
        if (!refusal.field) {
            ApplySettings(options);
            break;
        }
        MessageRequester(WindowID(kSettingsWindow), kMessageTitle,
                         Concat({"Einstellungen, Feld „", refusal.field, "“: ", refusal.reason,
                                 " Nichts wurde geändert."})
                             .c_str());
    }
    CloseWindow(kSettingsWindow);
}

}  // namespace kv
