// How far past its deadline a wait ends: WaitUntil (the process timer and a plain timer) against
// plain Sleep, for the key hold and the pause slice.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "runtime/delay.h"

namespace {

constexpr int kHoldMs = 40;
constexpr int kSliceMs = 2;
constexpr int kHoldRounds = 50;
constexpr int kSliceRounds = 200;

void Measure(const char* method, int milliseconds, int rounds,
             const std::function<void(int)>& wait) {
    std::vector<double> errorsMs;
    for (int i = 0; i < rounds; ++i) {
        const int64_t start = kv::PreciseNow();
        wait(milliseconds);
        errorsMs.push_back((kv::PreciseNow() - start - milliseconds * 1000) / 1000.0);
    }
    std::sort(errorsMs.begin(), errorsMs.end());
    std::printf("%-22s %2d ms x %3d: median error %+7.3f ms, worst %+7.3f ms\n", method,
                milliseconds, rounds, errorsMs[errorsMs.size() / 2], errorsMs.back());
}

void MeasureBoth(const char* method, const std::function<void(int)>& wait) {
    Measure(method, kHoldMs, kHoldRounds, wait);
    Measure(method, kSliceMs, kSliceRounds, wait);
}

}  // namespace

int main() {
    const kv::DeadlineTimer probe;
    std::printf("high-resolution timer: %s\n", probe.highResolution() ? "granted" : "refused");

    MeasureBoth("WaitUntil", [](int ms) { kv::WaitUntil(kv::PreciseNow() + ms * 1000); });
    const kv::DeadlineTimer plain(false);
    MeasureBoth("WaitUntil, plain timer",
                [&plain](int ms) { plain.WaitUntil(kv::PreciseNow() + ms * 1000); });
    MeasureBoth("Sleep", [](int ms) { Sleep(static_cast<DWORD>(ms)); });
    return 0;
}
