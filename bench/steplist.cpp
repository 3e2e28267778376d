// The step list at scale in the program's real, visible main window: pasting 10,000 Steps,
// reading their rows for a run before and after the list once held a 1 MB text, and copying them.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "app/main_window.h"
#include "app/numbers.h"
#include "app/playback.h"
#include "app/steplist_text.h"
#include "runtime/delay.h"
#include "toolkit/clipboard.h"
#include "toolkit/gadget.h"
#include "toolkit/toolkit.h"
#include "toolkit/window.h"

namespace {

constexpr int32_t kSteps = 10000;
constexpr size_t kLongText = 1 << 20;

template <class Work>
double Milliseconds(Work work) {
    const int64_t start = kv::PreciseNow();
    work();
    return static_cast<double>(kv::PreciseNow() - start) / kv::kMicrosecondsPerMs;
}

}  // namespace

int main() {
    kv::StartToolkit();
    kv::BuildMainWindow();
    std::string text;
    for (int32_t step = 0; step < kSteps; ++step)
        text += std::to_string(step % 1000) + "\tSchritt " + std::to_string(step) + "\r\n";
    kv::SetClipboardText(kv::WindowID(kv::kMainWindow), text);
    const double paste = Milliseconds(kv::PasteSteps);
    const int32_t pasted = kv::CountGadgetItems(kv::kGadgetStepList);
    const double readBefore = Milliseconds(kv::ReadStepRows);
    kv::AddGadgetItem(kv::kGadgetStepList, -1, ("0\n" + std::string(kLongText, 'x')).c_str());
    kv::RemoveGadgetItem(kv::kGadgetStepList, pasted);
    const double readAfter = Milliseconds(kv::ReadStepRows);
    const double copy = Milliseconds(kv::CopyStepList);
    std::printf("paste of %d Steps into the visible list: %.1f ms\n", pasted, paste);
    std::printf("row read for a run, %d rows: %.1f ms\n", pasted, readBefore);
    std::printf("row read for a run, %d rows, after one 1 MB text: %.1f ms\n", pasted, readAfter);
    std::printf("copy of %d Steps: %.1f ms\n", pasted, copy);
    kv::StopToolkit();
    return pasted == kSteps ? 0 : 1;
}
