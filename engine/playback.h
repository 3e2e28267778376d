#pragma once
// The armed state and its playback runs: Ctrl+U plays the prepared step list, J stops a run, a
// double click on the tray icon ends the armed state.

#include <cstdint>

namespace kv {

constexpr int32_t kArmedWaitMs = 100;
constexpr int32_t kPauseSliceMs = 2;
constexpr int kTriggerKey = 'U';
constexpr int kStopKey = 'J';
constexpr char kTrayToolTip[] = "Strg + U --> Durchlauf";
// How long a run waits for the user to let go of Ctrl and U before its first key.
constexpr int32_t kTriggerReleaseLimitMs = 2000;

// Prepares the steps, hides the main window and stays armed until the tray icon's double click;
// the main window is visible again when it returns. Result 0.
int32_t RunPlayback();

// One playback run: passes over the prepared step list by the repetition count (0 one pass, n at
// most n, negative until the stop key). Tray icons aside, this is what a Ctrl+U does.
void PlayRun(int32_t repetitionCount);
// 1 when the stop key ended the pass, 0 when every entry was played.
int32_t PlayPass();
// Waits the pause in slices of 2 ms on deadlines from its start, polling the stop key after each;
// 1 when the stop key was seen.
int32_t PauseAndPoll(int32_t pause);

}  // namespace kv
