#pragma once
// The playback run: Ctrl+U plays the prepared step list by the repetition count, J stops it.
// Every decision reads the keyboard and the clock through the input seam.

#include <cstdint>

namespace kv {

constexpr int32_t kPauseSliceMs = 2;
constexpr int kTriggerKey = 'U';
constexpr int kStopKey = 'J';

// Ctrl+U as the armed state polls it.
bool TriggerPressed();

// One playback run: passes over the prepared step list by the repetition count (0 one pass, n at
// most n, negative until the stop key). The stop key is polled in every pause slice, between
// every two key events and through every key hold; a stop releases the keys the run holds. The
// first key waits until the user has let go of Ctrl and U. Caps Lock is off while the run types
// and as the user had it afterwards; a Ctrl that the run left down is released at its end.
void PlayRun(int32_t repetitionCount);
// 1 when the stop key ended the pass, 0 when every entry was played.
int32_t PlayPass();
// Waits the pause in slices of 2 ms on deadlines from its start, polling the stop key after each;
// 1 when the stop key was seen.
int32_t PauseAndPoll(int32_t pause);

}  // namespace kv
