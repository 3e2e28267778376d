// Pause accuracy and stop-key latency of PauseAndPoll against the plain loop of 2 ms sleeps it
// replaced, measured side by side in one run.

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "engine/input.h"
#include "engine/playback.h"
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

}  // namespace

int main() {
    kv::InputSeam seam = kv::PlatformInput();
    seam.asyncKeyState = StopKeyAfterDeadline;
    kv::SetInput(seam);

    std::printf("pause length in ms (mean / worst of %d)\n", kAccuracyRounds);
    for (int32_t pauseMs : kPausesMs) {
        const Figures precise = PauseLength(kv::PauseAndPoll, pauseMs);
        const Figures slices = PauseLength(SleepSlices, pauseMs);
        std::printf("  %5d ms pause   PauseAndPoll %9.3f / %9.3f   Sleep(2) slices %9.3f / %9.3f\n",
                    pauseMs, precise.meanMs, precise.worstMs, slices.meanMs, slices.worstMs);
    }
    const Figures precise = StopLatency(kv::PauseAndPoll);
    const Figures slices = StopLatency(SleepSlices);
    std::printf("stop key latency in ms (mean / worst of %d)\n", kLatencyRounds);
    std::printf("  PauseAndPoll %6.3f / %6.3f   Sleep(2) slices %6.3f / %6.3f\n", precise.meanMs,
                precise.worstMs, slices.meanMs, slices.worstMs);
    return 0;
}
