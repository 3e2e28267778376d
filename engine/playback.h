#pragma once
// The playback run: the trigger chord plays the prepared step list by the repetition count, the
// stop chord stops it. Every decision reads the keyboard and the clock through the input seam.

#include <cstdint>
#include <string>

#include "engine/options.h"

namespace kv {

constexpr int32_t kPauseSliceMs = 2;

// The chord as a poll sees it: its key and every modifier of it pressed (down now or since the
// previous poll), and no other modifier down.
bool TriggerPressed(const Chord& trigger = RunOptions{}.trigger);

enum class RunEnd {
    kPlayed,   // every pass
    kStopped,  // by the stop chord, or the program closing
    kRefused,  // the system did not insert an event: input to the target is blocked
    kNoKey,    // keys only, and a character has no key in the target's layout; nothing was sent
};
struct RunResult {
    RunEnd end = RunEnd::kPlayed;
    std::string key;    // kNoKey: the character
    int32_t step = -1;  // kNoKey: its Step, counted from 0
};

// One playback run: passes over the prepared step list by the repetition count (0 one pass, n at
// most n, negative until the stop chord). The stop chord is polled in every pause slice, between
// every two key events and through every key hold; a stop releases the keys the run holds. The
// first key waits until the user has let go of the trigger chord. Caps Lock is off while the run
// types and as the user had it afterwards. Every key the run pressed is released at its end,
// however it ends.
RunResult PlayRun(int32_t repetitionCount, const RunOptions& options = {});
// From another thread, such as when the session ends: releases every key the run under way holds
// before it returns, and stops that run, which sends nothing more.
void EndRunFromOutside();
// 1 when the stop chord ended the pass, 0 when every entry was played.
int32_t PlayPass(const RunOptions& options = {});
// Waits the pause in slices of 2 ms on deadlines from its start, polling the stop chord after
// each; 1 when the stop chord was seen.
int32_t PauseAndPoll(int32_t pause, const RunOptions& options = {});

}  // namespace kv
