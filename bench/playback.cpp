// Pause accuracy and stop-key latency of PauseAndPoll against the plain loop of 2 ms sleeps it
// replaced, measured side by side in one run; the stop latency of whole runs, over a long text and
// over pauses; and how late a pause ends as another process sees the keys arrive (the bench
// starts itself as that process, "bench_playback receive <log>", a focused window that notes the
// performance counter at every key message). Run it on a desktop: the keys go to the focus.

#include <windows.h>

#include <algorithm>
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

int16_t StopKeyAfterDeadline(int key) {
    return key == kv::kStopKey && kv::PreciseNow() >= stopAt ? static_cast<int16_t>(0x8000) : 0;
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
std::pair<Figures, Figures> RunStopLatency(const std::vector<kv::StepText>& rows) {
    Figures toLastEvent, toEnd;
    kv::PrepareStepTexts(rows);
    for (int round = 0; round < kLatencyRounds; ++round) {
        stopAt = kv::PreciseNow() + 300'000 + round * 23'011;
        kv::PlayRun(0);
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

// From "a" let go to "b" pressed after a pause of kSeenPauseMs, as the receiver saw them, less the
// pause: how late the pause ended. Empty when the receiver never got the focus.
std::vector<double> SeenPauseLateness(const char* self) {
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
    kv::PrepareStepTexts({{"0", "a"}, {std::to_string(kSeenPauseMs), "b"}});
    for (int round = 0; focused && round < kAccuracyRounds; ++round) {
        kv::PlayRun(0);
        Sleep(100);
    }
    Sleep(200);
    TerminateProcess(receiver.hProcess, 0);
    WaitForSingleObject(receiver.hProcess, 5000);
    CloseHandle(receiver.hThread);
    CloseHandle(receiver.hProcess);
    std::vector<double> lateness;
    std::ifstream lines(log);
    long long releasedAt = 0;
    char kind[8];
    unsigned key = 0;
    long long at = 0;
    for (std::string line; std::getline(lines, line);) {
        if (std::sscanf(line.c_str(), "%7s %X %lld", kind, &key, &at) != 3)
            continue;
        if (key == 'A' && std::strcmp(kind, "up") == 0)
            releasedAt = at;
        if (key == 'B' && std::strcmp(kind, "down") == 0 && releasedAt)
            lateness.push_back((at - releasedAt) / 1000.0 - kSeenPauseMs);
    }
    lines.close();
    DeleteFileA(log.c_str());
    return lateness;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "receive") == 0)
        return Receive(argv[2]);
    const std::vector<double> seen = SeenPauseLateness(argv[0]);

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

    std::printf("lateness of a %d ms pause as another process sees the keys, in ms\n",
                kSeenPauseMs);
    if (seen.empty())
        std::printf("  not measured: the receiving window never got the focus\n");
    for (double ms : seen)
        std::printf("  %+.3f\n", ms);
    return 0;
}
