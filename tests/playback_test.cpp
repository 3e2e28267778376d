#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app_fixture.h"
#include "engine/input.h"
#include "engine/playback.h"
#include "engine/prepare.h"
#include "toolkit/image.h"
#include "toolkit/systray.h"

namespace kv {
namespace {

constexpr int64_t kMs = 1000;
constexpr int64_t kGiveUpAtUs = 120'000 * kMs;
constexpr int64_t kGiveUpAtQueries = 10'000'000;

// The keyboard as GetAsyncKeyState reports it, with a clock that moves only when waited on.
// Keys pressed since a key's previous query report bit 0, injected presses included.
class FakeKeyboard {
  public:
    struct Hold {
        int key;
        int64_t from;
        int64_t to;
    };
    struct Sent {
        int64_t at;
        uint8_t key;
        bool up;
    };

    int64_t now = 0;
    int64_t lateWakeUs = 0;
    int yields = 0;
    int stopQueries = 0;
    std::vector<Hold> holds;
    std::vector<Sent> sent;
    bool mainWindowVisibleAtFirstKey = true;

    void KeyEvent(uint8_t key, uint32_t flags) {
        if (sent.empty())
            mainWindowVisibleAtFirstKey = IsWindowVisible(WindowID(kMainWindow));
        const bool up = (flags & KEYEVENTF_KEYUP) != 0;
        sent.push_back({now, key, up});
        injectedDown_[key] = !up;
        if (!up)
            injectedPressed_[key] = true;
    }

    int16_t State(int key) {
        if (++queries_ > kGiveUpAtQueries)
            throw std::runtime_error("the run spins without waiting");
        if (key == kStopKey)
            ++stopQueries;
        bool down = injectedDown_[key];
        bool pressed = injectedPressed_[key];
        for (const Hold& hold : holds) {
            if (hold.key != key)
                continue;
            down = down || (hold.from <= now && now < hold.to);
            pressed = pressed || (hold.from > lastQuery_[key] && hold.from <= now);
        }
        injectedPressed_[key] = false;
        lastQuery_[key] = now;
        return static_cast<int16_t>((down ? 0x8000 : 0) | (pressed ? 1 : 0));
    }

    void WaitUntil(int64_t deadline) {
        now = std::max(now, deadline) + lateWakeUs;
        if (now > kGiveUpAtUs)
            throw std::runtime_error("the run never ended");
    }

    void GiveWay() {
        ++yields;
        WaitUntil(now + 100);
    }

    std::vector<std::string> Events() const {
        std::vector<std::string> events;
        for (const Sent& event : sent)
            events.push_back((event.up ? "-" : "+") + Name(event.key));
        return events;
    }

    std::vector<int64_t> PressTimes(uint8_t key) const {
        std::vector<int64_t> times;
        for (const Sent& event : sent) {
            if (event.key == key && !event.up)
                times.push_back(event.at);
        }
        return times;
    }

    bool Down(int key) { return (State(key) & 0x8000) != 0; }

  private:
    static std::string Name(uint8_t key) {
        if (key == VK_CONTROL)
            return "Ctrl";
        if (key == VK_SHIFT)
            return "Shift";
        if (key == VK_RETURN)
            return "Return";
        return std::string(1, static_cast<char>(key));
    }

    int64_t queries_ = 0;
    bool injectedDown_[256] = {};
    bool injectedPressed_[256] = {};
    int64_t lastQuery_[256] = {};
};

FakeKeyboard* keyboard = nullptr;

const InputSeam kFakeSeam = {
    [](uint8_t key, uint8_t, uint32_t flags) { keyboard->KeyEvent(key, flags); },
    [](uint8_t) -> uint8_t { return 0; },
    [](int key) { return keyboard->State(key); },
    [] { return keyboard->now; },
    [](int64_t deadline) { keyboard->WaitUntil(deadline); },
    [] { keyboard->GiveWay(); },
};

class Playback : public ::testing::Test {
  protected:
    void SetUp() override {
        test::StartMainWindow();
        keyboard = &fake;
        SetInput(kFakeSeam);
    }
    void TearDown() override { SetInput(PlatformInput()); }

    static void Steps(std::initializer_list<std::pair<const char*, const char*>> rows) {
        test::RemoveAllRows();
        for (const auto& [pause, key] : rows)
            test::AddRow(pause, key);
        PrepareSteps();
    }

    // The user presses a key at `fromMs` and lets it go 50 ms later.
    void Press(int key, int64_t fromMs) {
        fake.holds.push_back({key, fromMs * kMs, (fromMs + 50) * kMs});
    }

    FakeKeyboard fake;
};

using Events = std::vector<std::string>;

TEST_F(Playback, PausesEndOnDeadlinesFromTheirStartSoLateWakesDoNotAddUp) {
    fake.lateWakeUs = 300;
    EXPECT_EQ(PauseAndPoll(1000), 0);
    EXPECT_EQ(fake.now, 1000 * kMs + 300);
    EXPECT_EQ(fake.stopQueries, 500);

    const int64_t start = fake.now;
    EXPECT_EQ(PauseAndPoll(1001), 0);
    EXPECT_EQ(fake.now - start, 1000 * kMs + 300);
    EXPECT_EQ(fake.stopQueries, 1000);

    for (int32_t pause : {1, 0, -5, INT32_MIN}) {
        const int64_t before = fake.now;
        EXPECT_EQ(PauseAndPoll(pause), 0) << pause;
        EXPECT_EQ(fake.now, before) << pause;
    }
    EXPECT_EQ(fake.stopQueries, 1000);
}

TEST_F(Playback, RepetitionCountsZeroAndThreeAndTheStopKeyEndingThreeEarly) {
    Steps({{"10", "a"}, {"0", "Return"}});
    PlayRun(0);
    EXPECT_EQ(fake.Events(), (Events{"+A", "-A", "+Return", "-Return"}));
    EXPECT_EQ(fake.PressTimes('A').front(), 10 * kMs);

    fake.sent.clear();
    PlayRun(3);
    EXPECT_EQ(fake.PressTimes('A').size(), 3u);
    EXPECT_EQ(fake.PressTimes(VK_RETURN).size(), 3u);

    fake.sent.clear();
    Press(kStopKey, fake.now / kMs + 95);  // in the second pass's pause
    PlayRun(3);
    EXPECT_EQ(fake.PressTimes('A').size(), 1u);
}

TEST_F(Playback, StopKeyInTheMiddleOfAPauseEndsThePassWithinOneSliceAndSkipsItsKey) {
    Steps({{"1000", "a"}, {"1000", "b"}, {"0", "c"}});
    Press(kStopKey, 1501);
    EXPECT_EQ(PlayPass(), 1);
    EXPECT_EQ(fake.Events(), (Events{"+A", "-A"}));
    EXPECT_GE(fake.now, 1501 * kMs);
    EXPECT_LE(fake.now, 1501 * kMs + kPauseSliceMs * kMs);
}

TEST_F(Playback, NegativeCountRepeatsUntilTheStopKey) {
    Steps({{"100", "a"}});
    Press(kStopKey, 1000);
    PlayRun(-1);
    EXPECT_GE(fake.PressTimes('A').size(), 5u);
    EXPECT_LE(fake.now, 1000 * kMs + kPauseSliceMs * kMs + 100 * kMs);
}

TEST_F(Playback, KeysTypedByTheListNeitherStopNorTriggerARun) {
    Steps({{"0", "j"}, {"10", "J"}, {"10", "a"}});
    PlayRun(0);
    EXPECT_EQ(fake.PressTimes('A').size(), 1u);

    fake.sent.clear();
    Steps({{"0", "Strg an"}, {"0", "u"}, {"0", "Strg aus"}});
    PlayRun(0);
    EXPECT_EQ(fake.Events(), (Events{"+Ctrl", "+U", "-U", "-Ctrl"}));
    EXPECT_EQ(fake.State('U'), 0);
    EXPECT_EQ(fake.State(VK_CONTROL), 0);
}

TEST_F(Playback, UsersStopKeyStillCountsAfterTheListTypedOne) {
    Steps({{"0", "j"}, {"1000", "a"}});
    Press(kStopKey, 500);
    PlayRun(0);
    EXPECT_TRUE(fake.PressTimes('A').empty());
}

TEST_F(Playback, CtrlLeftDownByTheListIsReleasedWhenAStoppedRunEnds) {
    Steps({{"0", "Strg an"}, {"1000", "c"}, {"0", "Strg aus"}});
    Press(kStopKey, 500);
    PlayRun(0);
    EXPECT_EQ(fake.Events(), (Events{"+Ctrl", "-Ctrl"}));
    EXPECT_FALSE(fake.Down(VK_CONTROL));
}

TEST_F(Playback, CtrlStaysAsTheStepsLeaveItAcrossPassesAndIsReleasedOnceAtTheEnd) {
    Steps({{"0", "Strg an"}, {"10", "c"}});
    PlayRun(2);
    EXPECT_EQ(fake.Events(), (Events{"+Ctrl", "+C", "-C", "+Ctrl", "+C", "-C", "-Ctrl"}));

    fake.sent.clear();
    Steps({{"0", "Strg an"}, {"0", "c"}, {"0", "Strg aus"}});
    PlayRun(0);
    EXPECT_EQ(fake.Events(), (Events{"+Ctrl", "+C", "-C", "-Ctrl"}));
}

TEST_F(Playback, EmptyEndlessListYieldsAndStopsOnTheStopKey) {
    PrepareSteps();
    Press(kStopKey, 5);
    PlayRun(-1);
    EXPECT_TRUE(fake.sent.empty());
    EXPECT_GT(fake.yields, 0);
    EXPECT_LE(fake.now, 6 * kMs);
}

TEST_F(Playback, EndlessListWithoutPausesPollsTheStopKeyOncePerPass) {
    Steps({{"0", "a"}, {"1", "b"}});
    fake.holds.push_back({kStopKey, 0, kGiveUpAtUs});
    PlayRun(-1);
    EXPECT_EQ(fake.Events(), (Events{"+A", "-A", "+B", "-B"}));
}

TEST_F(Playback, FirstKeyWaitsUntilTheTriggerKeysAreReleased) {
    Steps({{"0", "a"}, {"0", "b"}});
    fake.holds.push_back({kTriggerKey, 0, 30 * kMs});
    fake.holds.push_back({VK_CONTROL, 0, 50 * kMs});
    PlayRun(0);
    ASSERT_EQ(fake.PressTimes('A').size(), 1u);
    EXPECT_GE(fake.PressTimes('A')[0], 50 * kMs);
    EXPECT_LE(fake.PressTimes('A')[0], 52 * kMs);
}

TEST_F(Playback, TriggerKeysHeldOnGiveWayAfterTwoSeconds) {
    Steps({{"0", "a"}});
    fake.holds.push_back({kTriggerKey, 0, kGiveUpAtUs});
    fake.holds.push_back({VK_CONTROL, 0, kGiveUpAtUs});
    PlayRun(0);
    ASSERT_EQ(fake.PressTimes('A').size(), 1u);
    EXPECT_EQ(fake.PressTimes('A')[0], kTriggerReleaseLimitMs * kMs);
}

TEST_F(Playback, StopKeyWhileWaitingForTheTriggerKeysEndsTheRun) {
    Steps({{"0", "a"}});
    fake.holds.push_back({VK_CONTROL, 0, kGiveUpAtUs});
    Press(kStopKey, 100);
    PlayRun(-1);
    EXPECT_TRUE(fake.sent.empty());
    EXPECT_LE(fake.now, 102 * kMs);
}

TEST_F(Playback, FirstPauseRunsWhileTheUserLetsGo) {
    Steps({{"100", "a"}});
    fake.holds.push_back({VK_CONTROL, 0, 50 * kMs});
    PlayRun(0);
    EXPECT_EQ(fake.PressTimes('A'), (std::vector<int64_t>{100 * kMs}));
}

// The shell's side of the tray icon, as records.
struct TrayCall {
    DWORD message;
    UINT id;
    HICON icon;
    std::string tip;
};
std::vector<TrayCall> trayCalls;
BOOL trayAnswer = TRUE;

BOOL RecordTrayCall(DWORD message, NOTIFYICONDATAA* data) {
    trayCalls.push_back({message, data->uID, (data->uFlags & NIF_ICON) ? data->hIcon : nullptr,
                         (data->uFlags & NIF_TIP) ? data->szTip : ""});
    return trayAnswer;
}

TEST_F(Playback, ArmedStatePlaysOnCtrlUAndEndsOnTheTrayDoubleClick) {
    SetNotifyIconFunction(RecordTrayCall);
    test::AddRow("0", "a");
    fake.holds.push_back({kTriggerKey, 0, 10 * kMs});
    fake.holds.push_back({VK_CONTROL, 0, 10 * kMs});
    PostMessageA(WindowID(kMainWindow), kMessageTrayEvent, kTrayIconPlayback, WM_LBUTTONDBLCLK);
    RunPlayback();

    EXPECT_EQ(fake.Events(), (Events{"+A", "-A"}));
    EXPECT_FALSE(fake.mainWindowVisibleAtFirstKey);
    EXPECT_TRUE(IsWindowVisible(WindowID(kMainWindow)));
    const HICON armed = static_cast<HICON>(ImageID(kImageArmed));
    const HICON running = static_cast<HICON>(ImageID(kImageRunning));
    ASSERT_EQ(trayCalls.size(), 5u);
    EXPECT_EQ(trayCalls[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(trayCalls[0].icon, armed);
    EXPECT_EQ(trayCalls[0].id, static_cast<UINT>(kTrayIconPlayback));
    EXPECT_EQ(trayCalls[1].tip, kTrayToolTip);
    EXPECT_EQ(trayCalls[2].icon, running);
    EXPECT_EQ(trayCalls[3].icon, armed);
    EXPECT_EQ(trayCalls[4].message, static_cast<DWORD>(NIM_DELETE));
}

TEST_F(Playback, TrayIconThatCannotBeAddedLeavesTheProgramIdleWithItsWindowShown) {
    SetNotifyIconFunction(RecordTrayCall);
    trayAnswer = FALSE;
    RunPlayback();
    EXPECT_TRUE(IsWindowVisible(WindowID(kMainWindow)));
    ASSERT_EQ(trayCalls.size(), 1u);
    EXPECT_EQ(trayCalls[0].message, static_cast<DWORD>(NIM_ADD));
}

}  // namespace
}  // namespace kv
