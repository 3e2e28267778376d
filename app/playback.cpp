#include "app/playback.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/numbers.h"
#include "app/settings.h"
#include "app/steplist_text.h"
#include "engine/playback.h"
#include "engine/prepare.h"
#include "engine/settings.h"
#include "runtime/delay.h"
#include "runtime/strings.h"
#include "toolkit/gadget.h"
#include "toolkit/hotkey.h"
#include "toolkit/image.h"
#include "toolkit/requester.h"
#include "toolkit/sessionend.h"
#include "toolkit/systray.h"
#include "toolkit/window.h"

namespace kv {

namespace {

// SetProcessInformation is missing before Windows 8, so it is looked up at run time.
constexpr int kProcessPowerThrottling = 4;
constexpr ULONG kPowerThrottlingVersion = 1;
constexpr ULONG kPowerThrottlingIgnoreTimerResolution = 0x4;

struct PowerThrottlingState {
    ULONG Version;
    ULONG ControlMask;
    ULONG StateMask;
};
using SetProcessInformationFunction = BOOL(WINAPI*)(HANDLE, int, void*, DWORD);

struct HotKeyModifier {
    uint8_t chordBit;
    UINT hotKeyBit;
};
constexpr HotKeyModifier kHotKeyModifiers[] = {{kModifierCtrl, MOD_CONTROL},
                                               {kModifierAlt, MOD_ALT},
                                               {kModifierShift, MOD_SHIFT},
                                               {kModifierWin, MOD_WIN}};

UINT HotKeyModifiers(const Chord& chord) {
    UINT modifiers = 0;
    for (const HotKeyModifier& modifier : kHotKeyModifiers) {
        if (chord.modifiers & modifier.chordBit)
            modifiers |= modifier.hotKeyBit;
    }
    return modifiers;
}

int32_t RepetitionCount() {
    if (GetGadgetState(kGadgetRepeatEnable) != kToggleDown)
        return 0;
    return StringToInteger(GetGadgetText(kGadgetRepeatCount));
}

// Without this, Windows 11 stretches the 2 ms waits of a hidden window's process to a timer tick.
void OptOutOfTimerThrottling() {
    const FARPROC procedure =
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetProcessInformation");
    if (!procedure)
        return;
    const auto setProcessInformation =
        reinterpret_cast<SetProcessInformationFunction>(reinterpret_cast<void (*)()>(procedure));
    PowerThrottlingState state{kPowerThrottlingVersion, kPowerThrottlingIgnoreTimerResolution, 0};
    setProcessInformation(GetCurrentProcess(), kProcessPowerThrottling, &state, sizeof state);
}

constexpr DWORD kCloseLookMs = 10;

// A request to close the main window ends a run under way; the armed state then sees it too.
// Looked at every 10 ms at most, each look being a round trip to the window server, and only when
// something was posted: a run answers no message sent to it, which a look with PeekMessage would.
bool CloseRequested() {
    static DWORD lookedAt = 0;
    const DWORD now = GetTickCount();
    if (now - lookedAt < kCloseLookMs)
        return false;
    lookedAt = now;
    MSG message;
    return (HIWORD(GetQueueStatus(QS_POSTMESSAGE)) & QS_POSTMESSAGE) &&
           PeekMessageA(&message, WindowID(kMainWindow), WM_CLOSE, WM_CLOSE, PM_NOREMOVE);
}

void Play(int32_t repetitionCount) {
    RunOptions options = CurrentOptions();
    options.interrupted = CloseRequested;
    ChangeSysTrayIcon(kTrayIconPlayback, ImageIcon(kImageRunning));
    const RunResult result = PlayRun(repetitionCount, options);
    ChangeSysTrayIcon(kTrayIconPlayback, ImageIcon(kImageArmed));
    if (result.end == RunEnd::kRefused) {
        MessageRequester(WindowID(kMainWindow), kMessageTitle,
                         "Windows hat eine Taste des Durchlaufs nicht angenommen; der Durchlauf "
                         "wurde beendet. Das Zielprogramm läuft vermutlich mit höheren Rechten "
                         "(als Administrator) als Korvalt.");
    }
    if (result.end == RunEnd::kNoKey) {
        MessageRequester(WindowID(kMainWindow), kMessageTitle,
                         Concat({"Nur Tasten (Scancodes): Das Zeichen „", result.key, "“ in Step ",
                                 DecimalText(result.step + 1),
                                 " hat im Tastaturlayout des Zielprogramms keine eigene Taste. Es "
                                 "wurde nichts gesendet."})
                             .c_str());
    }
}

// Until the tray icon's double click (false) or a request to close the main window (true).
bool StayArmed(int32_t repetitionCount, const HotKey& trigger) {
    for (;;) {
        const int32_t event = WindowEvent(kArmedWaitMs);
        if (event == kEventSysTray && EventType() == kTrayEventLeftDoubleClick)
            return false;
        if (event == kEventCloseWindow)
            return true;
        if (event == WM_HOTKEY && EventWParam() == kHotKeyTrigger) {
            Play(repetitionCount);
            // The run's own keys and the user's presses meanwhile ask for no further run.
            trigger.DropPending();
        }
    }
}

}  // namespace

std::vector<StepText> ReadStepRows() {
    std::vector<StepText> rows;
    const int32_t count = CountGadgetItems(kGadgetStepList);
    rows.reserve(static_cast<size_t>(std::max(count, 0)));
    for (int32_t row = 0; row < count; ++row) {
        rows.push_back({GetGadgetItemText(kGadgetStepList, row, kColumnPause),
                        GetGadgetItemText(kGadgetStepList, row, kColumnKey)});
    }
    return rows;
}

void PrepareSteps() {
    PrepareStepTexts(ReadStepRows());
}

int32_t RunPlayback() {
    PrepareSteps();
    const int32_t repetitionCount = RepetitionCount();
    const Chord& chord = CurrentOptions().trigger;
    const HotKey trigger(WindowID(kMainWindow), kHotKeyTrigger, HotKeyModifiers(chord), chord.key);
    if (!trigger.registered()) {
        MessageRequester(WindowID(kMainWindow), kMessageTitle,
                         Concat({"Die Tastenkombination ", ChordName(chord),
                                 " ist schon von einem anderen Programm belegt. Korvalt ist nicht "
                                 "bereit; wählen Sie unter „Einstellungen“ (Strg+E) einen anderen "
                                 "Auslöser."})
                             .c_str());
        return 0;
    }
    OptOutOfTimerThrottling();
    // The waits' timer is made on first use, which takes a few milliseconds: not in a run.
    WaitUntil(0);
    HideWindow(kMainWindow, 1);
    if (!AddSysTrayIcon(kTrayIconPlayback, WindowID(kMainWindow), ImageIcon(kImageArmed))) {
        // No icon, no double click to come back by: stay idle instead of hidden.
        HideWindow(kMainWindow, 0);
        return 0;
    }
    SysTrayIconToolTip(kTrayIconPlayback, TrayToolTip(CurrentOptions()).c_str());
    // A run answers no message: the session's end reaches it through a thread of its own, which
    // gives the run's keys back before Windows may end the process.
    const SessionEndWatcher sessionEnd(EndRunFromOutside);
    const bool closing = StayArmed(repetitionCount, trigger);
    RemoveSysTrayIcon(kTrayIconPlayback);
    // The main loop ends on the request it would have seen itself.
    if (closing)
        PostMessageA(WindowID(kMainWindow), WM_CLOSE, 0, 0);
    else
        HideWindow(kMainWindow, 0);
    return 0;
}

}  // namespace kv
