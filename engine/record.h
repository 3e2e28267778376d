#pragma once
// Recording: the user's key events, as a keyboard hook saw them and the keyboard layout typed
// them, become Steps. Printable characters typed one after another make one text Step, other keys
// their named-key Step, Ctrl with other keys "Strg an", the keys, "Strg aus". The layout's work
// (which characters a press types, dead keys composed) is done before; this only decides.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/options.h"
#include "engine/prepare.h"
#include "runtime/textcodec.h"

namespace kv {

// A key event's flags, as the low-level keyboard hook gives them.
constexpr uint32_t kRecordedExtended = 0x01;
constexpr uint32_t kRecordedInjected = 0x10;
constexpr uint32_t kRecordedUp = 0x80;

struct RecordedKey {
    uint8_t virtualKey = 0;
    uint16_t scanCode = 0;
    uint32_t flags = 0;
    int64_t timeUs = 0;
    // For a press: what it types with the modifiers held (a dead key before it composed in),
    // whether it is a dead key that types with the next press, and what it types without Ctrl
    // and Alt (for Ctrl chords).
    WideText characters;
    bool dead = false;
    WideText plain;
};

struct RecordOptions {
    // Pressed with at least its modifiers held, its key ends the recording and is not recorded.
    Chord stop;
    // Real pauses, rounded to whole milliseconds; else every Step gets `fixedPause` as it is.
    bool realPauses = true;
    std::string fixedPause;
};

// A key the Steps cannot name (F13, Insert ...): left out.
struct LeftOutKey {
    uint8_t virtualKey;
    uint16_t scanCode;
    bool extended;
};

struct Recording {
    std::vector<StepText> steps;
    // Chords the Steps cannot express, recorded as their parts: "Alt+F4", "Umschalt+Tab".
    std::vector<std::string> simplified;
    std::vector<LeftOutKey> leftOut;
    // Characters code page 1252 cannot hold; each ended the text Step it was typed in.
    std::vector<char32_t> refused;
};

class Recorder {
  public:
    // `startUs`: when recording began, on the events' clock; the first Step's pause counts from it.
    Recorder(RecordOptions options, int64_t startUs);
    // False from the stop chord on: neither it nor anything after it is recorded.
    bool Add(const RecordedKey& key);
    // The Steps, with a Ctrl that they hold down released at the end.
    Recording Finish();

  private:
    uint8_t Modifiers() const;
    void Type(const WideText& characters, int64_t timeUs);
    void Press(const RecordedKey& key, uint8_t modifiers);
    void Emit(const std::string& keyText, int64_t timeUs);
    void EndText();
    std::string Pause(int64_t timeUs) const;

    RecordOptions options_;
    Recording recording_;
    // A Step's pause counts from here: the last event that was no press of a modifier.
    int64_t anchorUs_;
    uint16_t held_ = 0;       // modifier keys down, one bit each
    int64_t ctrlDownUs_ = 0;  // since when Ctrl is held
    bool chordOpen_ = false;  // "Strg an" without its "Strg aus" yet
    bool textOpen_ = false;   // the last Step is a text that goes on
    int64_t deadUs_ = -1;     // a dead key's press waiting for its character, -1 for none
    int64_t deadAnchorUs_ = 0;
    bool stopped_ = false;
};

// All events in one go.
Recording ConvertRecording(const std::vector<RecordedKey>& keys, const RecordOptions& options,
                           int64_t startUs);

}  // namespace kv
