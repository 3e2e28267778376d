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
};

struct PassOutcome {
    bool stopped = false;
    bool polled = false;  // the stop key was looked at
    bool busy = false;    // something was waited or sent
};

RunState run;

// The whole value counts: down now, or pressed since the previous query.
bool KeyPressed(int virtualKey) {
    return Input().asyncKeyState(virtualKey) != 0;
}

bool KeyDown(int virtualKey) {
    return (Input().asyncKeyState(virtualKey) & kKeyDownBit) != 0;
}

// Injected keys set the "pressed since the last query" bit too; reading it once after the run's
// own J, U or Ctrl leaves only the user's presses to stop or trigger a run.
void ForgetInjectedKey(const std::string& key) {
    const int virtualKey = IsCtrlToken(key) ? VK_CONTROL : VirtualKeyOf(key);
    if (virtualKey == kStopKey || virtualKey == kTriggerKey || virtualKey == VK_CONTROL) {
        Input().asyncKeyState(virtualKey);
    }
}

void Send(const std::string& key) {
    SendKey(key);
    if (key == kTokenCtrlDown)
        run.ctrlLeftDown = true;
    if (key == kTokenCtrlUp)
        run.ctrlLeftDown = false;
    ForgetInjectedKey(key);
}

// The trigger is seen while the user still holds it: keys sent before Ctrl is let go would reach
// the target as Ctrl combinations. 1 when the stop key came meanwhile.
int32_t AwaitTriggerRelease() {
    const InputSeam& input = Input();
    const int64_t start = input.now();
    for (int32_t slice = 1; slice <= kTriggerReleaseSlices; ++slice) {
        if (!KeyDown(kTriggerKey) && !KeyDown(VK_CONTROL))
            return 0;
        input.waitUntil(start + slice * kSliceUs);
        if (KeyPressed(kStopKey))
            return 1;
    }
    return 0;
}

PassOutcome PlayEntries() {
    PassOutcome outcome;
    for (const PreparedStep& step : PreparedSteps()) {
        if (step.Pause / kPauseSliceMs > 0)
            outcome.polled = outcome.busy = true;
        if (PauseAndPoll(step.Pause) || (run.awaitingRelease && AwaitTriggerRelease())) {
            outcome.stopped = true;
            return outcome;
        }
        run.awaitingRelease = false;
        if (IsCtrlToken(step.Key) || VirtualKeyOf(step.Key) != 0)
            outcome.busy = true;
        Send(step.Key);
    }
    return outcome;
}

}  // namespace

bool TriggerPressed() {
    return KeyPressed(kTriggerKey) && KeyPressed(VK_CONTROL);
}

void PlayRun(int32_t repetitionCount) {
    run = RunState{};
    run.awaitingRelease = true;
    for (int32_t passes = 0;;) {
        const PassOutcome outcome = PlayEntries();
        if (outcome.stopped)
            break;
        if (repetitionCount >= 0 && ++passes >= repetitionCount)
            break;
        // A pass without a pause slice never looked at the stop key.
        if (!outcome.polled && KeyPressed(kStopKey))
            break;
        if (!outcome.busy)
            Input().yield();
    }
    if (run.ctrlLeftDown)
        Send(kTokenCtrlUp);
}

int32_t PlayPass() {
    return PlayEntries().stopped ? 1 : 0;
}

int32_t PauseAndPoll(int32_t pause) {
    const int32_t slices = pause / kPauseSliceMs;
    if (slices <= 0)
        return 0;
    const InputSeam& input = Input();
    const int64_t start = input.now();
    for (int32_t slice = 1; slice <= slices; ++slice) {
        input.waitUntil(start + slice * kSliceUs);
        if (KeyPressed(kStopKey))
            return 1;
    }
    return 0;
}

}  // namespace kv
