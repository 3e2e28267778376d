// Recording at scale in the program's real main window: the hook procedure's time for each of
// 10,000 key events, and turning those events into rows of the visible step list.

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "app/main_window.h"
#include "app/numbers.h"
#include "app/record.h"
#include "runtime/delay.h"
#include "toolkit/gadget.h"
#include "toolkit/keyhook.h"
#include "toolkit/toolkit.h"

namespace {

constexpr int kEvents = 10000;
constexpr int kLineLength = 24;
// Without J, the stop key.
constexpr char kLetters[] = "KORVALTSTEPS";

double Microseconds(LONGLONG ticks) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(ticks) * 1e6 / static_cast<double>(frequency.QuadPart);
}

// Lines of letters, each ended by Return: a press and a release per key, 10 ms apart.
KBDLLHOOKSTRUCT Event(int index) {
    const int press = index / 2;
    const DWORD key = press % (kLineLength + 1) == kLineLength
                          ? VK_RETURN
                          : kLetters[press % (sizeof kLetters - 1)];
    return {key, MapVirtualKeyA(key, MAPVK_VK_TO_VSC), index % 2 ? DWORD{LLKHF_UP} : 0,
            static_cast<DWORD>(index * 10), 0};
}

// Each call's time, sorted.
template <class Call>
std::vector<LONGLONG> Times(Call call) {
    std::vector<LONGLONG> ticks;
    for (int index = 0; index < kEvents; ++index) {
        KBDLLHOOKSTRUCT event = Event(index);
        LARGE_INTEGER before, after;
        QueryPerformanceCounter(&before);
        call(HC_ACTION, event.flags ? WM_KEYUP : WM_KEYDOWN, reinterpret_cast<LPARAM>(&event));
        QueryPerformanceCounter(&after);
        ticks.push_back(after.QuadPart - before.QuadPart);
    }
    std::sort(ticks.begin(), ticks.end());
    return ticks;
}

}  // namespace

int main() {
    kv::StartToolkit();
    kv::BuildMainWindow();
    // The part that is not the program's: handing the event on to the next hook.
    const std::vector<LONGLONG> handOn = Times([](int code, WPARAM wParam, LPARAM lParam) {
        CallNextHookEx(nullptr, code, wParam, lParam);
    });
    const std::vector<LONGLONG> ticks = Times(kv::KeyboardHookProcedure);
    const std::vector<kv::HookedKey> keys = kv::TakeHookedKeys();
    bool kept = keys.size() == kEvents;
    for (int index = 0; kept && index < kEvents; ++index)
        kept =
            keys[index].time == Event(index).time && keys[index].virtualKey == Event(index).vkCode;

    const int64_t start = kv::PreciseNow();
    kv::KeyRecording recording(kv::CurrentRecordOptions(), 0);
    recording.Take(keys);
    kv::InsertRecording(recording.Finish());
    const double convert = static_cast<double>(kv::PreciseNow() - start) / kv::kMicrosecondsPerMs;
    const int32_t rows = kv::CountGadgetItems(kv::kGadgetStepList);
    std::printf(
        "hook procedure, %d events: median %.2f us, 99th percentile %.2f us, most %.2f us\n",
        kEvents, Microseconds(ticks[kEvents / 2]), Microseconds(ticks[kEvents * 99 / 100]),
        Microseconds(ticks.back()));
    std::printf("of which CallNextHookEx alone: median %.2f us\n",
                Microseconds(handOn[kEvents / 2]));
    std::printf("%d queued events %s\n", kEvents,
                kept ? "all taken in order" : "LOST OR REORDERED");
    std::printf("%d events into %d rows of the visible list: %.1f ms\n", kEvents, rows, convert);
    kv::StopToolkit();
    return kept && rows > 0 ? 0 : 1;
}
