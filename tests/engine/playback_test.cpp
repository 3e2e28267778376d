#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "engine/input.h"
#include "engine/playback.h"
#include "engine/prepare.h"

namespace kv {
namespace {

constexpr int64_t kMs = 1000;
constexpr int64_t kLongMs = 3000;  // held past the release limit

struct Hold {
    int key;
    int64_t fromMs;
    int64_t toMs;
};

// The keyboard as GetAsyncKeyState reports it, with a clock that moves only when waited on.
// Bit 0 reports a press since the key's previous query, injected presses included.
struct FakeKeyboard {
    int64_t now = 0;
    int64_t lateWakeUs = 0;
    int64_t queries = 0;
    int stopQueries = 0;
    std::vector<Hold> holds;
    std::string events;
    int64_t firstKeyAt = -1;
    bool injectedDown[256] = {};
    bool injectedPressed[256] = {};
    int64_t lastQuery[256] = {};

    void Send(uint8_t key, uint32_t flags) {
        const bool up = (flags & KEYEVENTF_KEYUP) != 0;
        if (firstKeyAt < 0)
            firstKeyAt = now;
        const std::string name = key == VK_CONTROL  ? "Ctrl"
                                 : key == VK_SHIFT  ? "Shift"
                                 : key == VK_RETURN ? "Return"
                                                    : std::string(1, static_cast<char>(key));
        events += (events.empty() ? "" : " ") + std::string(up ? "-" : "+") + name;
        injectedDown[key] = !up;
        injectedPressed[key] = injectedPressed[key] || !up;
    }

    int16_t State(int key) {
        if (++queries > 10'000'000)
            throw std::runtime_error("the run spins without waiting");
        stopQueries += key == kStopKey;
        bool down = injectedDown[key];
        bool pressed = injectedPressed[key];
        for (const Hold& hold : holds) {
            if (hold.key == key) {
                down = down || (hold.fromMs * kMs <= now && now < hold.toMs * kMs);
                pressed =
                    pressed || (hold.fromMs * kMs > lastQuery[key] && hold.fromMs * kMs <= now);
            }
        }
        injectedPressed[key] = false;
        lastQuery[key] = now;
        return static_cast<int16_t>((down ? 0x8000 : 0) | (pressed ? 1 : 0));
    }

    void WaitUntil(int64_t deadline) {
        now = std::max(now, deadline) + lateWakeUs;
        if (now > 120'000 * kMs)
            throw std::runtime_error("the run never ended");
    }
};

FakeKeyboard fake;

const InputSeam kFakeSeam = {
    [](uint8_t key, uint8_t, uint32_t flags) { fake.Send(key, flags); },
    [](uint8_t) -> uint8_t { return 0; },
    [](int key) { return fake.State(key); },
    [] { return fake.now; },
    [](int64_t deadline) { fake.WaitUntil(deadline); },
    [](int64_t deadline) { fake.WaitUntil(deadline); },
};

class Playback : public ::testing::Test {
  protected:
    void SetUp() override {
        fake = FakeKeyboard();
        SetInput(kFakeSeam);
    }
    void TearDown() override { SetInput(PlatformInput()); }
};

struct RunCase {
    std::vector<StepText> rows;
    int32_t count;
    int64_t stopAtMs;  // the user presses J for 50 ms, -1 never
    const char* events;
    int64_t firstKeyMs = -1;  // the first key falls within a slice of it
    int64_t endByMs = -1;
    std::vector<Hold> holds = {};  // the user's others
    int64_t startMs = 0;
};

const int64_t kSlice = kPauseSliceMs;

const RunCase kRuns[] = {
    {{{"10", "a"}, {"0", "Return"}}, 0, -1, "+A -A +Return -Return", 10},
    {{{"0", "a"}}, 3, -1, "+A -A +A -A +A -A"},
    {{{"100", "a"}}, -1, 1000, "+A -A +A -A +A -A +A -A +A -A +A -A +A -A", -1, 1000 + kSlice},
    {{{"1000", "a"}, {"1000", "b"}, {"0", "c"}}, 0, 1501, "+A -A", -1, 1501 + kSlice},
    {{{"0", "j"}, {"10", "J"}, {"10", "a"}}, 0, -1, "+J -J +Shift +J -J -Shift +A -A"},
    {{{"0", "Strg an"}, {"0", "u"}, {"0", "Strg aus"}}, 0, -1, "+Ctrl +U -U -Ctrl"},
    {{{"0", "Strg an"}, {"1000", "c"}, {"0", "Strg aus"}}, 0, 500, "+Ctrl -Ctrl"},
    // Endless runs that wait for nothing: one slice per pass, so the clock reaches the J.
    {{}, -1, 5, "", -1, 5 + kSlice},
    {{{"0", "Strg an"}, {"0", "Strg aus"}}, -1, 3, "+Ctrl -Ctrl +Ctrl -Ctrl", -1, 3 + kSlice},
    {{{"0", "a"}, {"1", "b"}}, -1, -1, "+A -A +B -B", -1, -1, {{kStopKey, 0, kLongMs}}},
    {{{"0", "a"}}, 0, -1, "+A -A", 50, -1, {{kTriggerKey, 0, 30}, {VK_CONTROL, 0, 50}}},
    // The user's J while the run holds its own.
    {{{"0", "j"}, {"10", "a"}}, 0, -1, "+J -J", -1, -1, {{kStopKey, 20, 30}}},
    // A j typed while armed, before this run.
    {{{"10", "a"}}, 0, -1, "+A -A", -1, -1, {{kStopKey, 1, 2}}, 100},
};

TEST_F(Playback, RunsByCountStopKeyAndTheUsersHands) {
    for (const RunCase& run : kRuns) {
        SCOPED_TRACE(testing::Message() << "case " << &run - kRuns);
        fake = FakeKeyboard();
        fake.now = run.startMs * kMs;
        fake.holds = run.holds;
        if (run.stopAtMs >= 0)
            fake.holds.push_back({kStopKey, run.stopAtMs, run.stopAtMs + 50});
        PrepareStepTexts(run.rows);
        PlayRun(run.count);
        EXPECT_EQ(fake.events, run.events);
        if (run.firstKeyMs >= 0) {
            EXPECT_GE(fake.firstKeyAt, run.firstKeyMs * kMs);
            EXPECT_LE(fake.firstKeyAt, (run.firstKeyMs + kSlice) * kMs);
        }
        if (run.endByMs >= 0) {
            EXPECT_LE(fake.now, run.endByMs * kMs);
        }
        // Nothing the run typed is left down or reads as a new Ctrl+U.
        fake.now = std::max(fake.now, 2 * kLongMs * kMs);
        EXPECT_FALSE(TriggerPressed());
        EXPECT_EQ(fake.State(VK_CONTROL), 0);
    }
}

// Polls 100 ms apart, as the armed state makes them.
TEST_F(Playback, TriggerNeedsCtrlAndUPressedInOnePollInterval) {
    fake.holds = {{VK_CONTROL, 10, 20},
                  {kTriggerKey, 150, 160},
                  {VK_CONTROL, 250, 260},
                  {kTriggerKey, 270, 280}};
    std::string seen;
    for (int64_t poll = 100; poll <= 300; poll += 100) {
        fake.now = poll * kMs;
        seen += TriggerPressed() ? '1' : '0';
    }
    EXPECT_EQ(seen, "001");
}

TEST_F(Playback, PausesEndOnDeadlinesFromTheirStartSoLateWakesDoNotAddUp) {
    fake.lateWakeUs = 300;
    for (const auto& [pause, slices] :
         {std::pair{1000, 500}, {1001, 500}, {1, 0}, {0, 0}, {-5, 0}, {INT32_MIN, 0}}) {
        const int64_t start = fake.now;
        fake.stopQueries = 0;
        EXPECT_EQ(PauseAndPoll(pause), 0);
        EXPECT_EQ(fake.now - start, slices ? slices * kSlice * kMs + 300 : 0) << pause;
        EXPECT_EQ(fake.stopQueries, slices) << pause;
    }
}

}  // namespace
}  // namespace kv
