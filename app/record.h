#pragma once
// "Aufnehmen": the window hides behind a recording tray icon while a keyboard hook takes what the
// user types into any program; the stop chord or the icon's double click brings the window back
// with the recorded Steps after the selected row and a status line saying how many.

#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/record.h"
#include "toolkit/keyhook.h"

namespace kv {

constexpr int32_t kRecordWaitMs = 20;
inline constexpr char kRecordToolTipStart[] = "Korvalt nimmt auf: ";
inline constexpr char kRecordToolTipEnd[] = " beendet";
inline constexpr char kRecordRefused[] = "Aufnahme nicht möglich";

// The chord that ends a recording.
Chord RecordStopChord();
std::string RecordStopChordName();

// Hooked key events on their way to Steps: what each press types in the foreground window's
// layout, then the recorder's decision. A key that was down when it began is not recorded until
// another key moves, so the held chord that started it does not repeat into it.
class KeyRecording {
  public:
    KeyRecording(RecordOptions options, uint32_t startTime);
    // False once the stop chord came.
    bool Take(const std::vector<HookedKey>& keys);
    Recording Finish() { return recorder_.Finish(); }

  private:
    Recorder recorder_;
    KeyTyping typing_;
    uint32_t startTime_;
    std::bitset<256> heldAtStart_;
};

// The options as the menu and the pause field stand.
RecordOptions CurrentRecordOptions();
// Records until the stop chord, the tray icon's double click or a close request (which then
// reaches the main loop), then inserts the Steps.
void RecordSteps();
// "Aufnehmen" and "Pausen aufnehmen" (checked) at the end of the step list's menu.
void AddRecordMenuItems();
// "Pausen aufnehmen": real pauses, or the pause field's for every Step.
void ToggleRecordedPauses();
// The Steps after the selected row (at the end with none), the first of them selected, and the
// status line; what the list could not take as it was typed, for a message, empty for nothing.
std::string InsertRecording(const Recording& recording);

}  // namespace kv
