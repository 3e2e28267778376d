#include "engine/playback.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/input.h"
#include "engine/keys.h"
#include "engine/prepare.h"
#include "engine/sendkey.h"
#include "engine/settings.h"
#include "runtime/delay.h"

namespace kv {

namespace {

constexpr int64_t kSliceUs = kPauseSliceMs * kMicrosecondsPerMs;
// Under Wine a released key may read as down for this long.
constexpr int64_t kReleaseEchoUs = 50 * kMicrosecondsPerMs;
constexpr int16_t kKeyDownBit = static_cast<int16_t>(0x8000);
constexpr int16_t kPressedSinceBit = 1;

struct RunState {
    RunOptions options;
    bool awaitingRelease = false;  // of the user's trigger chord, before the run's first key
    bool refused = false;          // an event the system did not insert ended the run
    // Until then the stop key reads as down by the run's own J (or one from before the run), and
    // only a press since the previous query is the user's.
    int64_t ownStopKeyUntil = INT64_MIN;
    int64_t waitedUs = 0;  // by the current pass
    // When the last event was handed to the platform: holds and pauses run from there, so the
    // gaps the target sees are theirs, not lengthened by the handing over.
    int64_t lastSentAt = 0;
};

RunState run;

bool IsRelease(const KeyEvent& event) {
    return (event.flags & KEYEVENTF_KEYUP) != 0;
}

bool SameKey(const KeyEvent& one, const KeyEvent& other) {
    return one.virtualKey == other.virtualKey && one.character == other.character;
}

// The session ending gives the run's keys back from another thread: the sending of an event with
// its recording, and the release, are one at a time.
SRWLOCK heldLock = SRWLOCK_INIT;

class Locked {
  public:
    Locked() { AcquireSRWLockExclusive(&heldLock); }
    ~Locked() { ReleaseSRWLockExclusive(&heldLock); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
};

class HeldKeys;
HeldKeys* held = nullptr;  // of the run under way; changed under the lock

// Every event of a run goes through here, and every key it pressed and Caps Lock as the run found
// it are given back when the run ends, however it ends: by its end, a stop, a refused event, an
// exception, the program being asked to close, or the session ending.
class HeldKeys {
  public:
    explicit HeldKeys(KeyMode keys) : keys_(keys) {
        const Locked locked;
        held = this;
    }
    ~HeldKeys() {
        const Locked locked;
        Release();
        held = nullptr;
    }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

    // False when the system did not insert it. Once the keys were given back from outside,
    // nothing more goes down: the event is dropped.
    bool Send(const KeyEvent& event) {
        const Locked locked;
        return givenBack_ || Record(event);
    }
    // A Caps Lock left on would type the text's letters in the other case.
    void TurnCapsLockOff() {
        const Locked locked;
        capsLockTurnedOff_ = !givenBack_ && Record(TapOf(VK_CAPITAL, keys_));
    }
    // From another thread; the run then stops at its next look at the stop key.
    void GiveBack() {
        givenBack_ = true;
        Release();
    }
    bool givenBack() const { return givenBack_; }

  private:
    // These run under the lock.
    bool Record(const KeyEvent& event) {
        if (!SendKeyEvent(event))
            return false;
        const auto same = std::find_if(pressed_.begin(), pressed_.end(),
                                       [&](const KeyEvent& down) { return SameKey(down, event); });
        if (IsRelease(event) && same != pressed_.end())
            pressed_.erase(same);
        else if (!IsRelease(event) && same == pressed_.end())
            pressed_.push_back(event);
        return true;
    }
    bool Record(const KeyEvents& events) {
        for (int i = 0; i < events.count; ++i) {
            if (!Record(events.event[i]))
                return false;
        }
        return true;
    }
    void Release() {
        for (auto key = pressed_.rbegin(); key != pressed_.rend(); ++key) {
            KeyEvent release = *key;
            release.flags |= KEYEVENTF_KEYUP;
            SendKeyEvent(release);
        }
        pressed_.clear();
        if (std::exchange(capsLockTurnedOff_, false) && !Input().capsLock())
            Record(TapOf(VK_CAPITAL, keys_));
    }

    const KeyMode keys_;
    std::vector<KeyEvent> pressed_;
    bool capsLockTurnedOff_ = false;
    std::atomic<bool> givenBack_{false};
};

bool KeyDown(int virtualKey) {
    return (Input().asyncKeyState(virtualKey) & kKeyDownBit) != 0;
}

bool ModifierDown(const ModifierKey& modifier) {
    return KeyDown(modifier.virtualKey) || (modifier.otherKey && KeyDown(modifier.otherKey));
}

bool IsModifierKey(uint8_t key) {
    return std::any_of(std::begin(kModifierKeys), std::end(kModifierKeys),
                       [&](const ModifierKey& modifier) {
                           return key == modifier.virtualKey || key == modifier.otherKey;
                       });
}

// The stop chord's modifiers are only required down: the run's own Ctrl or Shift may be down too.
bool StopKeyPressed() {
    const InputSeam& input = Input();
    const Chord& stop = run.options.stop;
    if (held && held->givenBack())
        return true;
    const int16_t state = input.asyncKeyState(stop.key);
    if ((input.now() < run.ownStopKeyUntil ? state & kPressedSinceBit : state) == 0)
        return run.options.interrupted && run.options.interrupted();
    for (const ModifierKey& modifier : kModifierKeys) {
        if ((stop.modifiers & modifier.bit) && !ModifierDown(modifier))
            return false;
    }
    return true;
}

int64_t Us(int32_t ms) {
    return ms * kMicrosecondsPerMs;
}

void Wait(int64_t deadline, bool precise) {
    const InputSeam& input = Input();
    const int64_t start = input.now();
    (precise ? input.waitUntil : input.waitUntilCoarse)(deadline);
    run.waitedUs += input.now() - start;
}

void NoteTriggerRelease() {
    const Chord& trigger = run.options.trigger;
    if (KeyDown(trigger.key))
        return;
    for (const ModifierKey& modifier : kModifierKeys) {
        if ((trigger.modifiers & modifier.bit) && ModifierDown(modifier))
            return;
    }
    run.awaitingRelease = false;
    if (Input().capsLock())
        held->TurnCapsLockOff();
}

// Waits until `deadline` in slices from `start`, only the last one precise, polling the stop key
// after each but the last unless `pollLast`. True when the stop key was seen.
bool WaitPolling(int64_t start, int64_t deadline, bool pollLast) {
    for (int64_t sliceEnd = start + kSliceUs;; sliceEnd += kSliceUs) {
        // Looked at before the slice, so that nothing but the stop key is polled at its end.
        if (run.awaitingRelease)
            NoteTriggerRelease();
        const bool last = sliceEnd >= deadline;
        Wait(last ? deadline : sliceEnd, last);
        if ((!last || pollLast) && StopKeyPressed())
            return true;
        if (last)
            return false;
    }
}

// Keys sent while the user still holds the trigger chord would reach the target as Ctrl
// combinations. True when the stop key came meanwhile.
bool AwaitTriggerRelease() {
    const InputSeam& input = Input();
    const int64_t start = input.now();
    for (int64_t slice = 1;; ++slice) {
        NoteTriggerRelease();
        if (!run.awaitingRelease)
            return false;
        Wait(start + slice * kSliceUs, false);
        if (StopKeyPressed())
            return true;
    }
}

// Injected keys set the "pressed since the last query" bit too; reading it right after the run's
// own trigger key, stop key or modifiers leaves only the user's presses to count.
void Sent(const KeyEvent& event) {
    const bool release = IsRelease(event);
    const uint8_t key = event.virtualKey;
    if (key == run.options.stop.key)
        run.ownStopKeyUntil = release ? Input().now() + kReleaseEchoUs : INT64_MAX;
    if (!release &&
        (key == run.options.trigger.key || key == run.options.stop.key || IsModifierKey(key)))
        Input().asyncKeyState(key);
}

// Polls the stop key between every two events, through the gaps between them and through the
// hold. True when stopped or refused; the release list gives back what these events pressed.
bool SendPolling(const KeyEvents& events) {
    const InputSeam& input = Input();
    for (int i = 0; i < events.count; ++i) {
        const KeyEvent& event = events.event[i];
        run.lastSentAt = input.now();
        if (!held->Send(event)) {
            run.refused = true;
            return true;
        }
        Sent(event);
        if (i + 1 == events.count)
            continue;
        const int64_t sentAt = run.lastSentAt;
        const bool hold = i == events.holdAfter;
        const int64_t waitUs = Us(hold ? run.options.holdMs : run.options.gapMs);
        if ((!hold && StopKeyPressed()) ||
            (waitUs > 0 && WaitPolling(sentAt, sentAt + waitUs, false)))
            return true;
    }
    return false;
}

// Waits the pause from `start` in slices; true when the stop key was seen.
bool PauseFrom(int64_t start, int32_t pause, bool pollLast) {
    const int32_t slices = pause / kPauseSliceMs;
    return slices > 0 && WaitPolling(start, start + slices * kSliceUs, pollLast);
}

}  // namespace

// Both keys are queried at every poll, so a press counts only in the interval it happened in: an
// old Ctrl+S followed by a typed "u" is no trigger.
bool TriggerPressed(const Chord& trigger) {
    const InputSeam& input = Input();
    bool pressed = input.asyncKeyState(trigger.key) != 0;
    for (const ModifierKey& modifier : kModifierKeys) {
        const bool wanted = (trigger.modifiers & modifier.bit) != 0;
        const int16_t state =
            static_cast<int16_t>(input.asyncKeyState(modifier.virtualKey) |
                                 (modifier.otherKey ? input.asyncKeyState(modifier.otherKey) : 0));
        pressed &= wanted ? state != 0 : (state & kKeyDownBit) == 0;
    }
    return pressed;
}

RunResult PlayRun(int32_t repetitionCount, const RunOptions& options) {
    const InputSeam& input = Input();
    if (options.keys == KeyMode::kScanCodes) {
        const uintptr_t layout = input.targetLayout();
        for (const PreparedStep& step : PreparedSteps()) {
            if (!HasKeys(step.Key, layout))
                return {RunEnd::kNoKey, step.Key, step.Step};
        }
    }
    run = RunState{};
    run.options = options;
    run.awaitingRelease = true;
    HeldKeys runHeld(options.keys);
    // A stop key typed while armed is no request to stop this run, though Wine may still report
    // it down.
    input.asyncKeyState(options.stop.key);
    run.ownStopKeyUntil = input.now() + kReleaseEchoUs;
    for (int32_t passes = 0;;) {
        run.waitedUs = 0;
        if (PlayPass(options))
            return {run.refused ? RunEnd::kRefused : RunEnd::kStopped, {}, -1};
        if (repetitionCount >= 0 && ++passes >= repetitionCount)
            return {RunEnd::kPlayed, {}, -1};
        // A pass that waited less than a slice, however long it worked, ends with one polling
        // slice, so an endless run neither spins nor floods the input stream.
        if (run.waitedUs < kSliceUs) {
            Wait(input.now() + kSliceUs, false);
            if (StopKeyPressed())
                return {RunEnd::kStopped, {}, -1};
        }
    }
}

// An entry's events are laid out within its pause, so the first leaves at the pause's end. A
// text's pause has no key of its own: its first character is laid out within it instead, and the
// stop key that the pause looked at is not looked at again before that character.
int32_t PlayPass(const RunOptions& options) {
    run.options = options;
    std::optional<HeldKeys> ownHeld;
    if (!held)
        ownHeld.emplace(options.keys);
    const std::vector<PreparedStep>& steps = PreparedSteps();
    KeyEvents ahead;
    bool laidOutAhead = false;
    bool polled = false;  // since the last event sent
    int64_t pauseStart = Input().now();
    for (size_t entry = 0; entry < steps.size(); ++entry) {
        const int32_t pause = steps[entry].Pause;
        const KeyEvents events = laidOutAhead ? ahead : EventsOf(steps[entry].Key, options.keys);
        laidOutAhead = events.count == 0 && entry + 1 < steps.size();
        if (laidOutAhead)
            ahead = EventsOf(steps[entry + 1].Key, options.keys);
        // A text's characters follow one another at the gap, polled before it.
        if (!polled && entry > 0 && steps[entry].Step == steps[entry - 1].Step &&
            options.gapMs > 0) {
            if (StopKeyPressed() || WaitPolling(pauseStart, pauseStart + Us(options.gapMs), false))
                return 1;
            polled = true;
        }
        // The stop key is looked at before the pause's last slice, not after it, so the first
        // event leaves at the deadline: a J in that slice still stops the run within the key.
        const bool pollsInPause = pause >= 2 * kPauseSliceMs;
        if (PauseFrom(pauseStart, pause, false) || (!polled && !pollsInPause && StopKeyPressed()))
            return 1;
        polled = true;
        if ((run.awaitingRelease && AwaitTriggerRelease()) || SendPolling(events))
            return 1;
        polled = events.count == 0;
        pauseStart = events.count == 0 ? Input().now() : run.lastSentAt;
    }
    return 0;
}

void EndRunFromOutside() {
    const Locked locked;
    if (held)
        held->GiveBack();
}

int32_t PauseAndPoll(int32_t pause, const RunOptions& options) {
    run.options = options;
    return PauseFrom(Input().now(), pause, true) ? 1 : 0;
}

}  // namespace kv
