#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/input.h"
#include "engine/playback.h"
#include "engine/prepare.h"
#include "engine/sendkey.h"

namespace kv {
namespace {

constexpr int64_t kMs = 1000;
constexpr int64_t kLongMs = 3000;

using Hold = std::tuple<int, int64_t, int64_t>;  // a key the user holds, from and to in ms

// The keyboard as GetAsyncKeyState reports it under Wine, with a clock that moves only when
// waited on or by the work of each key event. Bit 0 reports a press since the key's previous
// query, injected presses included; before the test every key was last queried long ago. An
// injected key reads as down until 50 ms after its release.
struct FakeKeyboard {
    int64_t now = 0, lateWakeUs = 0, workUs = 0, firstKeyAt = -1, queries = 0, refuseAt = -1;
    std::vector<Hold> holds;
    std::string events;
    std::vector<int64_t> sentAt;
    bool injectedPressed[256] = {};
    std::vector<int64_t> lastQuery = std::vector<int64_t>(256, INT64_MIN),
                         injectedUpAt = std::vector<int64_t>(256, INT64_MIN / 2);
};

FakeKeyboard fake;

uint32_t FakeSend(uint8_t key, uint8_t, uint32_t flags) {
    const bool up = (flags & KEYEVENTF_KEYUP) != 0;
    if (fake.refuseAt-- == 0)
        return 0;
    fake.firstKeyAt = fake.firstKeyAt < 0 ? fake.now : fake.firstKeyAt;
    fake.sentAt.push_back(fake.now);
    fake.events += std::string(up ? " -" : " +") + (key == VK_CONTROL ? "Ctrl"
                                                    : key == VK_SHIFT ? "Shift"
                                                                      : std::string(1, key));
    fake.injectedUpAt[key] = up ? fake.now : INT64_MAX / 2;
    fake.injectedPressed[key] |= !up;
    fake.now += fake.workUs;
    return 1;
}

int16_t FakeState(int key) {
    if (++fake.queries > 10'000'000)
        throw std::runtime_error("the run spins without waiting");
    const int64_t since = std::exchange(fake.lastQuery[key], fake.now);
    bool down = fake.now < fake.injectedUpAt[key] + 50 * kMs,
         pressed = std::exchange(fake.injectedPressed[key], false);
    for (const auto& [held, from, to] : fake.holds) {
        down |= held == key && from * kMs <= fake.now && fake.now < to * kMs;
        pressed |= held == key && since < from * kMs && from * kMs <= fake.now;
    }
    return static_cast<int16_t>(down * 0x8000 | pressed);
}

// A run that never ends, or spins without waiting, ends the test instead.
void FakeWait(int64_t deadline) {
    fake.now = std::max(fake.now, deadline) + fake.lateWakeUs;
    if (fake.now > 120'000 * kMs)
        throw std::runtime_error("the run never ended");
}

const InputSeam kFakeSeam = {FakeSend,  [](uint8_t, uintptr_t) -> uint8_t { return 0; },
                             FakeState, [] { return fake.now; },
                             FakeWait,  FakeWait};

struct RunCase {
    std::vector<StepText> rows;
    int32_t count;
    int64_t stopAtMs;  // the user presses J for 50 ms, and the run ends within a slice; -1 never
    const char* events;
    int64_t firstKeyMs = -1;       // the first key falls within a slice of it
    std::vector<Hold> holds = {};  // the user's others
    int64_t workUs = 0;            // of each key event
};

const RunCase kRuns[] = {
    {{{"10", "a"}, {"0", "b"}}, 0, -1, " +A -A +B -B", 10},
    {{{"0", "a"}}, 3, -1, " +A -A +A -A +A -A"},
    {{{"100", "a"}}, -1, 1000, " +A -A +A -A +A -A +A -A +A -A +A -A +A -A"},
    {{{"1000", "a"}, {"1000", "b"}, {"0", "c"}}, 0, 1501, " +A -A"},
    {{{"0", "j"}, {"10", "J"}, {"10", "a"}}, 0, -1, " +J -J +Shift +J -J -Shift +A -A"},
    {{{"0", "Strg an"}, {"0", "u"}, {"0", "Strg aus"}}, 0, -1, " +Ctrl +U -U -Ctrl"},
    {{{"0", "Strg an"}, {"1000", "c"}, {"0", "Strg aus"}}, 0, 500, " +Ctrl -Ctrl"},
    // Endless runs that wait for nothing, however long they work: one slice per pass.
    {{}, -1, 5, ""},
    {{{"0", "Strg an"}, {"0", "Strg aus"}},
     -1,
     9,
     " +Ctrl -Ctrl +Ctrl -Ctrl +Ctrl -Ctrl",
     -1,
     {},
     1000},
    // J within a text's key hold, and between Shift and its key.
    {{{"0", "abcdefgh"}}, 0, 100, " +A -A +B -B +C -C"},
    {{{"0", "B"}}, 0, 1, " +Shift -Shift", -1, {}, 1000},
    {{{"0", "a"}, {"1", "b"}}, -1, -1, " +A -A +B -B", -1, {{kStopKey, 0, kLongMs}}},
    // The first key waits for the user's Ctrl and U however long they are held, or J.
    {{{"0", "a"}}, 0, -1, " +A -A", 50, {{kTriggerKey, 0, 30}, {VK_CONTROL, 0, 50}}},
    {{{"0", "a"}}, 0, -1, " +A -A", kLongMs, {{kTriggerKey, 0, 30}, {VK_CONTROL, 0, kLongMs}}},
    {{{"0", "a"}}, 0, kLongMs, "", -1, {{kTriggerKey, 0, 5000}, {VK_CONTROL, 0, 5000}}},
    // The user's J while the run holds its own.
    {{{"0", "j"}, {"10", "a"}}, 0, -1, " +J -J", -1, {{kStopKey, 20, 30}}},
    // A j typed while armed, before this run.
    {{{"10", "a"}}, 0, -1, " +A -A", -1, {{kStopKey, -2, -1}}},
};

TEST(Playback, RunsByCountStopKeyAndTheUsersHands) {
    SetInput(kFakeSeam);
    for (const RunCase& run : kRuns) {
        SCOPED_TRACE(testing::Message() << "case " << &run - kRuns);
        fake = FakeKeyboard();
        fake.holds = run.holds;
        fake.workUs = run.workUs;
        if (run.stopAtMs >= 0)
            fake.holds.push_back({kStopKey, run.stopAtMs, run.stopAtMs + 50});
        PrepareStepTexts(run.rows);
        PlayRun(run.count);
        EXPECT_EQ(fake.events, run.events);
        if (run.stopAtMs >= 0) {
            EXPECT_LE(fake.now, (run.stopAtMs + kPauseSliceMs) * kMs);
        }
        if (run.firstKeyMs >= 0) {
            EXPECT_GE(fake.firstKeyAt, run.firstKeyMs * kMs);
            EXPECT_LE(fake.firstKeyAt, (run.firstKeyMs + kPauseSliceMs) * kMs);
        }
        // Nothing the run typed is left down or reads as a new Ctrl+U.
        fake.now = std::max(fake.now, 2 * kLongMs * kMs);
        EXPECT_FALSE(TriggerPressed());
        EXPECT_EQ(FakeState(VK_CONTROL), 0);
    }
}

// Polls 100 ms apart, as the armed state makes them. A pause polls the stop key once a slice.
TEST(Playback, TriggerNeedsBothKeysInOnePollAndPausesEndOnDeadlinesFromTheirStart) {
    SetInput(kFakeSeam);
    fake = FakeKeyboard();
    const int ctrl = VK_CONTROL, u = kTriggerKey;
    fake.holds = {{ctrl, 10, 20}, {u, 150, 160}, {ctrl, 250, 260}, {u, 270, 280}};
    for (const int64_t poll : {100, 200, 300}) {
        fake.now = poll * kMs;
        EXPECT_EQ(TriggerPressed(), poll == 300) << poll;
    }
    // Late wakes must not add up.
    fake.lateWakeUs = 300;
    for (const auto& [pause, slices] :
         {std::pair{1000, 500}, {1001, 500}, {1, 0}, {0, 0}, {-5, 0}, {INT32_MIN, 0}}) {
        const int64_t start = fake.now, queries = fake.queries;
        EXPECT_EQ(PauseAndPoll(pause), 0);
        EXPECT_EQ(fake.now - start, slices ? slices * kPauseSliceMs * kMs + 300 : 0) << pause;
        EXPECT_EQ(fake.queries - queries, slices) << pause;
    }
}

// The target sees the gaps between the events handed over, however long each handing over takes.
TEST(Playback, HoldsAndPausesRunFromTheEventBeforeThem) {
    SetInput(kFakeSeam);
    fake = FakeKeyboard();
    fake.workUs = 700;
    PrepareStepTexts({{"0", "a"}, {"100", "b"}});
    PlayRun(0);
    ASSERT_EQ(fake.sentAt.size(), 4u);
    EXPECT_EQ(fake.sentAt[1] - fake.sentAt[0], kKeyHoldMs * kMs);
    EXPECT_EQ(fake.sentAt[2] - fake.sentAt[1], 100 * kMs);
}

// Chosen chords: the trigger fires only with exactly its modifiers; a stop chord stops within a
// character only with its modifiers, and the run's own presses of its key do not stop it. The
// chosen hold (10) and gap (20) space the events of a Step and a text's characters.
TEST(Playback, ChosenChordsHoldAndGap) {
    SetInput(kFakeSeam);
    RunOptions options{{kModifierCtrl | kModifierShift, VK_F9}, {}, 10, 20};
    fake = FakeKeyboard();
    fake.holds = {
        {VK_CONTROL, 0, 1000}, {VK_F9, 0, 1000}, {VK_SHIFT, 150, 300}, {VK_MENU, 250, 300}};
    for (const auto& [poll, fires] : {std::pair{100, false}, {200, true}, {280, false}}) {
        fake.now = poll * kMs;
        EXPECT_EQ(TriggerPressed(options.trigger), fires) << poll;
    }
    const std::string all = " +K -K +Shift +K -K -Shift +K -K +C -C";
    for (const auto& [stop, holds, events] :
         {std::tuple{Chord{kModifierAlt, 'K'}, std::vector<Hold>{{'K', 35, 60}, {VK_MENU, 30, 60}},
                     std::string(" +K -K +Shift -Shift")},
          {Chord{0, 'K'}, {}, all},
          {Chord{kModifierAlt, 'K'}, {{'K', 35, 60}}, all}}) {
        fake = FakeKeyboard();
        fake.workUs = 300;
        fake.holds = holds;
        options.stop = stop;
        PrepareStepTexts({{"0", "kKk"}, {"0", "c"}});
        PlayRun(0, options);
        EXPECT_EQ(fake.events, events);
    }
    std::vector<int64_t> spacing;
    for (size_t i = 1; i < fake.sentAt.size(); ++i)
        spacing.push_back((fake.sentAt[i] - fake.sentAt[i - 1]) / kMs);
    EXPECT_EQ(spacing, (std::vector<int64_t>{10, 20, 20, 10, 20, 20, 10, 0, 10}));
}

// However a run ends (a refused event, a close request) it releases every key it pressed, in the
// reverse order, Ctrl of a "Strg an" included.
TEST(Playback, EveryWayOutReleasesWhatTheRunPressed) {
    SetInput(kFakeSeam);
    PrepareStepTexts({{"0", "Strg an"}, {"0", "aBBBBBBB"}});
    fake = FakeKeyboard();
    fake.refuseAt = 4;
    EXPECT_EQ(PlayRun(0).end, RunEnd::kRefused);
    EXPECT_EQ(fake.events, " +Ctrl +A -A +Shift -Shift -Ctrl");
    fake = FakeKeyboard();
    RunOptions options;
    options.interrupted = [] { return fake.now >= 100 * kMs; };
    EXPECT_EQ(PlayRun(0, options).end, RunEnd::kStopped);
    EXPECT_EQ(fake.events, " +Ctrl +A -A +Shift +B -B -Shift +Shift +B -B -Shift -Ctrl");
}

}  // namespace
}  // namespace kv
