// Pause accuracy and stop-key latency of PauseAndPoll against the plain loop of 2 ms sleeps it
// replaced, measured side by side in one run; the stop latency of whole runs, over a long text and
// over pauses; and how late a pause ends as another process sees the keys arrive (the bench
// starts itself as that process, "bench_playback receive <log>", a focused window that notes the
// performance counter at every key message). Run it on a desktop: the keys go to the focus.

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/input.h"
#include "engine/playback.h"
#include "engine/prepare.h"
#include "runtime/delay.h"

namespace {

constexpr int kAccuracyRounds = 5;
constexpr int32_t kPausesMs[] = {10, 200, 1000};
constexpr int kLatencyRounds = 20;
constexpr int32_t kLatencyPauseMs = 50;

int64_t stopAt = INT64_MAX;

// The default stop key, and the chord Alt+Pause, all go down at stopAt.
int16_t StopKeyAfterDeadline(int key) {
    const bool stopKey = key == kv::kStopKey || key == VK_PAUSE || key == VK_MENU;
    return stopKey && kv::PreciseNow() >= stopAt ? static_cast<int16_t>(0x8000) : 0;
}

int32_t SleepSlices(int32_t pause) {
    for (int32_t slice = 0; slice < pause / kv::kPauseSliceMs; ++slice) {
        Sleep(kv::kPauseSliceMs);
        if (kv::Input().asyncKeyState(kv::kStopKey))
            return 1;
    }
    return 0;
}

struct Figures {
    double meanMs = 0;
    double worstMs = 0;
};

template <class Pause>
Figures PauseLength(Pause pause, int32_t pauseMs) {
    Figures figures;
    for (int round = 0; round < kAccuracyRounds; ++round) {
        const int64_t start = kv::PreciseNow();
        pause(pauseMs);
        const double ms = (kv::PreciseNow() - start) / 1000.0;
        figures.meanMs += ms / kAccuracyRounds;
        figures.worstMs = std::max(figures.worstMs, ms);
    }
    return figures;
}

// From the moment the stop key goes down to the pause's return.
template <class Pause>
Figures StopLatency(Pause pause) {
    Figures figures;
    for (int round = 0; round < kLatencyRounds; ++round) {
        const int64_t start = kv::PreciseNow();
        stopAt = start + 10'000 + round * 997;
        pause(kLatencyPauseMs);
        const double ms = (kv::PreciseNow() - stopAt) / 1000.0;
        figures.meanMs += ms / kLatencyRounds;
        figures.worstMs = std::max(figures.worstMs, ms);
    }
    stopAt = INT64_MAX;
    return figures;
}

// The last key event of a run, on the precise clock.
int64_t lastEventAt = 0;

uint32_t NoteKeyEvent(uint8_t, uint8_t, uint32_t) {
    lastEventAt = kv::PreciseNow();
    return 1;
}

uint32_t NoteCharacterEvent(wchar_t, uint32_t) {
    lastEventAt = kv::PreciseNow();
    return 1;
}

// From the moment the stop key goes down, somewhere in the run, to the run's last key event (0
// when none came after it) and to the run's end.
std::pair<Figures, Figures> RunStopLatency(const std::vector<kv::StepText>& rows,
                                           const kv::RunOptions& options = {}) {
    Figures toLastEvent, toEnd;
    kv::PrepareStepTexts(rows);
    for (int round = 0; round < kLatencyRounds; ++round) {
        stopAt = kv::PreciseNow() + 300'000 + round * 23'011;
        kv::PlayRun(0, options);
        const double endMs = (kv::PreciseNow() - stopAt) / 1000.0;
        const double lastMs = (std::max(lastEventAt, stopAt) - stopAt) / 1000.0;
        toLastEvent.meanMs += lastMs / kLatencyRounds;
        toLastEvent.worstMs = std::max(toLastEvent.worstMs, lastMs);
        toEnd.meanMs += endMs / kLatencyRounds;
        toEnd.worstMs = std::max(toEnd.worstMs, endMs);
    }
    stopAt = INT64_MAX;
    return {toLastEvent, toEnd};
}

constexpr int32_t kSeenPauseMs = 1000;
constexpr char kReceiverTitle[] = "Korvalt bench receiver";

// The receiving process: one line "<down|up> <virtual key> <microseconds>" per key message.
LRESULT CALLBACK ReceiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static std::FILE* log = nullptr;
    if (message == WM_CREATE)
        log = std::fopen(
            static_cast<const char*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams),
            "wb");
    if ((message == WM_KEYDOWN || message == WM_KEYUP) && log) {
        std::fprintf(log, "%s %X %lld\n", message == WM_KEYDOWN ? "down" : "up",
                     static_cast<unsigned>(wParam), static_cast<long long>(kv::PreciseNow()));
        std::fflush(log);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int Receive(const char* logPath) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ReceiverProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kReceiverTitle;
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA(kReceiverTitle, kReceiverTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                100, 100, 300, 200, nullptr, nullptr, windowClass.hInstance,
                                const_cast<char*>(logPath));
    SetForegroundWindow(window);
    SetFocus(window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

struct SeenKey {
    bool down;
    unsigned key;
    long long at;  // microseconds
};

// The key messages the receiver saw of `rounds` runs of `rows`; empty when it never got the focus.
std::vector<SeenKey> SeenKeys(const char* self, const std::vector<kv::StepText>& rows,
                              const kv::RunOptions& options) {
    const std::string log = "bench-receiver-" + std::to_string(GetCurrentProcessId()) + ".log";
    std::string command = std::string("\"") + self + "\" receive " + log;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION receiver = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &receiver))
        return {};
    bool focused = false;
    for (int wait = 0; wait < 500 && !focused; ++wait, Sleep(10))
        focused = GetForegroundWindow() == FindWindowA(kReceiverTitle, kReceiverTitle);
    kv::PrepareStepTexts(rows);
    for (int round = 0; focused && round < kAccuracyRounds; ++round) {
        kv::PlayRun(0, options);
        Sleep(100);
    }
    Sleep(200);
    TerminateProcess(receiver.hProcess, 0);
    WaitForSingleObject(receiver.hProcess, 5000);
    CloseHandle(receiver.hThread);
    CloseHandle(receiver.hProcess);
    std::vector<SeenKey> seen;
    std::ifstream lines(log);
    char kind[8];
    SeenKey key{};
    for (std::string line; std::getline(lines, line);) {
        if (std::sscanf(line.c_str(), "%7s %X %lld", kind, &key.key, &key.at) == 3) {
            key.down = std::strcmp(kind, "down") == 0;
            seen.push_back(key);
        }
    }
    lines.close();
    DeleteFileA(log.c_str());
    return seen;
}

// From "a" let go to "b" pressed after a pause of kSeenPauseMs, as the receiver saw them, less the
// pause: how late the pause ended.
std::vector<double> SeenPauseLateness(const char* self) {
    std::vector<double> lateness;
    long long releasedAt = 0;
    for (const SeenKey& seen :
         SeenKeys(self, {{"0", "a"}, {std::to_string(kSeenPauseMs), "b"}}, {})) {
        if (seen.key == 'A' && !seen.down)
            releasedAt = seen.at;
        if (seen.key == 'B' && seen.down && releasedAt)
            lateness.push_back((seen.at - releasedAt) / 1000.0 - kSeenPauseMs);
    }
    return lateness;
}

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

constexpr int32_t kChosenHoldMs = 10;
constexpr int32_t kChosenGapMs = 20;

// Each key's hold (press to release) and each gap (release to the next press) of a text typed at
// the chosen hold and gap, as the receiver saw them, less the setting: {holds, gaps}.
std::pair<std::vector<double>, std::vector<double>> SeenHoldAndGapErrors(const char* self) {
    kv::RunOptions options;
    options.holdMs = kChosenHoldMs;
    options.gapMs = kChosenGapMs;
    std::vector<double> holds, gaps;
    const std::vector<SeenKey> seen = SeenKeys(self, {{"0", "abcdefghij"}}, options);
    for (size_t i = 1; i < seen.size(); ++i) {
        const double ms = (seen[i].at - seen[i - 1].at) / 1000.0;
        if (!seen[i].down && seen[i - 1].down && seen[i].key == seen[i - 1].key)
            holds.push_back(ms - kChosenHoldMs);
        if (seen[i].down && !seen[i - 1].down && seen[i].key == seen[i - 1].key + 1)
            gaps.push_back(ms - kChosenGapMs);
    }
    return {holds, gaps};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "receive") == 0)
        return Receive(argv[2]);
    const std::vector<double> seen = SeenPauseLateness(argv[0]);
    const auto [holdErrors, gapErrors] = SeenHoldAndGapErrors(argv[0]);

    kv::InputSeam seam = kv::PlatformInput();
    seam.asyncKeyState = StopKeyAfterDeadline;
    kv::SetInput(seam);

    std::printf("pause length in ms (mean / worst of %d)\n", kAccuracyRounds);
    for (int32_t pauseMs : kPausesMs) {
        const Figures precise =
            PauseLength([](int32_t ms) { return kv::PauseAndPoll(ms); }, pauseMs);
        const Figures slices = PauseLength(SleepSlices, pauseMs);
        std::printf("  %5d ms pause   PauseAndPoll %9.3f / %9.3f   Sleep(2) slices %9.3f / %9.3f\n",
                    pauseMs, precise.meanMs, precise.worstMs, slices.meanMs, slices.worstMs);
    }
    const Figures precise = StopLatency([](int32_t ms) { return kv::PauseAndPoll(ms); });
    const Figures slices = StopLatency(SleepSlices);
    std::printf("stop key latency in ms (mean / worst of %d)\n", kLatencyRounds);
    std::printf("  PauseAndPoll %6.3f / %6.3f   Sleep(2) slices %6.3f / %6.3f\n", precise.meanMs,
                precise.worstMs, slices.meanMs, slices.worstMs);

    seam.keyEvent = NoteKeyEvent;
    seam.characterEvent = NoteCharacterEvent;
    kv::SetInput(seam);
    std::printf(
        "run stop latency in ms, J pressed to the run's last event | to its end "
        "(mean / worst of %d)\n",
        kLatencyRounds);
    const std::pair<const char*, std::vector<kv::StepText>> runs[] = {
        {"500-character text", {{"0", std::string(500, 'x')}}},
        {"pauses of 1000 ms", {{"1000", "F5"}, {"1000", "F6"}, {"1000", "F7"}}},
        {"500 Steps of pause 0", std::vector<kv::StepText>(500, {"0", "F5"})},
    };
    for (const auto& [name, rows] : runs) {
        const auto [toLast, toEnd] = RunStopLatency(rows);
        std::printf("  %-22s %6.3f / %6.3f | %6.3f / %6.3f\n", name, toLast.meanMs, toLast.worstMs,
                    toEnd.meanMs, toEnd.worstMs);
    }
    kv::RunOptions altPause;
    altPause.stop = {kv::kModifierAlt, VK_PAUSE};
    const auto [toLast, toEnd] = RunStopLatency(runs[0].second, altPause);
    std::printf("  %-22s %6.3f / %6.3f | %6.3f / %6.3f\n", "text, stop Alt+Pause", toLast.meanMs,
                toLast.worstMs, toEnd.meanMs, toEnd.worstMs);

    std::printf("lateness of a %d ms pause as another process sees the keys, in ms\n",
                kSeenPauseMs);
    if (seen.empty())
        std::printf("  not measured: the receiving window never got the focus\n");
    for (double ms : seen)
        std::printf("  %+.3f\n", ms);
    std::printf("HoldMs=%d GapMs=%d as another process sees them, error in ms (median / worst)\n",
                kChosenHoldMs, kChosenGapMs);
    for (const auto& [name, errors] : {std::pair{"hold", holdErrors}, {"gap", gapErrors}}) {
        double worst = 0;
        for (double error : errors)
            worst = std::max(worst, std::abs(error));
        std::printf("  %-4s %+.3f / %.3f (%zu seen)\n", name, Median(errors), worst, errors.size());
    }
    return 0;
}
