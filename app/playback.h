#pragma once
// What "Start..." does: the step list is prepared, the trigger chord becomes a hotkey, the main
// window hides behind a tray icon, and every press of the chord plays a run until the tray icon's
// double click brings the window back (or the main window is asked to close). A chord that
// another program holds is named in a message, and the window stays.

#include <cstdint>
#include <vector>

#include "engine/prepare.h"

namespace kv {

constexpr int32_t kArmedWaitMs = 100;

// Every row of the step list, in its order.
std::vector<StepText> ReadStepRows();
// Rebuilds the prepared step list from the step list's rows.
void PrepareSteps();
// Returns when the armed state has been left and the main window is visible again. Result 0.
int32_t RunPlayback();

}  // namespace kv
