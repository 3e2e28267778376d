#include "app/playback.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "app/numbers.h"
#include "engine/playback.h"
#include "engine/prepare.h"
#include "runtime/delay.h"
#include "runtime/strings.h"
#include "toolkit/gadget.h"
#include "toolkit/image.h"
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

HICON Icon(ObjectNumber image) {
    return static_cast<HICON>(ImageID(image));
}

void StayArmed(int32_t repetitionCount) {
    bool leave = false;
    while (!leave) {
        if (WindowEvent(kArmedWaitMs) == kEventSysTray &&
            EventType() == kTrayEventLeftDoubleClick) {
            leave = true;
        }
        if (TriggerPressed()) {
            ChangeSysTrayIcon(kTrayIconPlayback, Icon(kImageRunning));
            PlayRun(repetitionCount);
            ChangeSysTrayIcon(kTrayIconPlayback, Icon(kImageArmed));
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
    OptOutOfTimerThrottling();
    // The waits' timer is made on first use, which takes a few milliseconds: not in a run.
    WaitUntil(0);
    HideWindow(kMainWindow, 1);
    if (!AddSysTrayIcon(kTrayIconPlayback, WindowID(kMainWindow), Icon(kImageArmed))) {
        // No icon, no double click to come back by: stay idle instead of hidden.
        HideWindow(kMainWindow, 0);
        return 0;
    }
    SysTrayIconToolTip(kTrayIconPlayback, kTrayToolTip);
    StayArmed(repetitionCount);
    RemoveSysTrayIcon(kTrayIconPlayback);
    HideWindow(kMainWindow, 0);
    return 0;
}

}  // namespace kv
