#include "engine/playback.h"

#include <windows.h>

#include <string>

#include "engine/input.h"
#include "engine/keys.h"
#include "engine/prepare.h"
#include "engine/sendkey.h"
#include "runtime/delay.h"

namespace kv {

namespace {

constexpr int64_t kSliceUs = kPauseSliceMs * kMicrosecondsPerMs;
constexpr int32_t kTriggerReleaseSlices = kTriggerReleaseLimitMs / kPauseSliceMs;
constexpr int16_t kKeyDownBit = static_cast<int16_t>(0x8000);

struct RunState {
    bool awaitingRelease = false;  // until the run's first key
    bool ctrlLeftDown = false;     // by a "Strg an" of this run
    bool polled = false;           // the current pass has looked at the stop key
    bool stopPending = false;      // the user's J, seen while the run held its own
};

RunState run;

// The whole value counts: down now, or pressed since the previous query.
bool KeyPressed(int virtualKey) {
    return Input().asyncKeyState(virtualKey) != 0;
}

bool KeyDown(int virtualKey) {
    return (Input().asyncKeyState(virtualKey) & kKeyDownBit) != 0;
}

// The stop key as a poll sees it: pressed now, or while the run held a J of its own.
bool StopKeyPressed() {
    const bool pending = run.stopPending;
    run.stopPending = false;
    return KeyPressed(kStopKey) || pending;
}

// Injected keys set the "pressed since the last query" bit too; reading it once after the run's
// own U or Ctrl leaves only the user's presses to trigger the next run. The run's own J is told
// apart from the user's while it is held.
void Send(const std::string& key) {
    if (SendKeyWatching(key, kStopKey))
        run.stopPending = true;
    if (key == kTokenCtrlDown)
        run.ctrlLeftDown = true;
    if (key == kTokenCtrlUp)
        run.ctrlLeftDown = false;
    const int virtualKey = IsCtrlToken(key) ? VK_CONTROL : VirtualKeyOf(key);
    if (virtualKey == kTriggerKey || virtualKey == VK_CONTROL)
        Input().asyncKeyState(virtualKey);
}

// The trigger is seen while the user still holds it: keys sent before Ctrl is let go would reach
// the target as Ctrl combinations. 1 when the stop key came meanwhile.
int32_t AwaitTriggerRelease() {
    const InputSeam& input = Input();
    const int64_t start = input.now();
    for (int32_t slice = 1; slice <= kTriggerReleaseSlices; ++slice) {
        if (!KeyDown(kTriggerKey) && !KeyDown(VK_CONTROL))
            return 0;
        input.waitUntilCoarse(start + slice * kSliceUs);
        if (StopKeyPressed())
            return 1;
    }
    return 0;
}

}  // namespace

// Both keys are queried at every poll, so a press counts only in the interval it happened in: an
// old Ctrl+S followed by a typed "u" is no trigger.
bool TriggerPressed() {
    const bool trigger = KeyPressed(kTriggerKey);
    return KeyPressed(VK_CONTROL) && trigger;
}

void PlayRun(int32_t repetitionCount) {
    const InputSeam& input = Input();
    run = RunState{};
    run.awaitingRelease = true;
    // A j typed while armed is no request to stop this run.
    input.asyncKeyState(kStopKey);
    for (int32_t passes = 0;;) {
        const int64_t start = input.now();
        if (PlayPass())
            break;
        if (repetitionCount >= 0 && ++passes >= repetitionCount)
            break;
        // A pass that waited for nothing ends with one slice that polls the stop key, so an endless
        // run over an empty or Ctrl-only list neither spins nor floods the input stream.
        if (input.now() - start < kSliceUs) {
            input.waitUntilCoarse(input.now() + kSliceUs);
            if (StopKeyPressed())
                break;
        } else if (!run.polled && StopKeyPressed()) {
            break;
        }
    }
    if (run.ctrlLeftDown)
        Send(kTokenCtrlUp);
}

int32_t PlayPass() {
    run.polled = false;
    for (const PreparedStep& step : PreparedSteps()) {
        if (PauseAndPoll(step.Pause) || (run.awaitingRelease && AwaitTriggerRelease()))
            return 1;
        run.awaitingRelease = false;
        Send(step.Key);
    }
    return 0;
}

int32_t PauseAndPoll(int32_t pause) {
    const int32_t slices = pause / kPauseSliceMs;
    if (slices <= 0)
        return 0;
    run.polled = true;
    const InputSeam& input = Input();
    const int64_t start = input.now();
    // Only the end of the pause needs to be on time; the slices before it only poll.
    for (int32_t slice = 1; slice <= slices; ++slice) {
        (slice == slices ? input.waitUntil : input.waitUntilCoarse)(start + slice * kSliceUs);
        if (StopKeyPressed())
            return 1;
    }
    return 0;
}

}  // namespace kv
