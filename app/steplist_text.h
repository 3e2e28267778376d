#pragma once
// The step list as text: copied to and pasted from the clipboard, dropped onto the list as text
// or as files, and opened at start. Whatever cannot be taken whole is refused with a message
// owned by the main window, and the list stays as it was. Every way Steps come in (recording
// too) inserts them here.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/steptext.h"
#include "runtime/textcodec.h"

namespace kv {

inline constexpr char kMessageTitle[] = "Korvalt";
// Files, clipboard texts and dropped data larger than this are not read.
constexpr uint64_t kLargestStepFile = 16ull << 20;
// The most Steps the list holds: a text or file that would take it beyond is refused.
constexpr int32_t kMostSteps = 100000;

// After the step list's creation: it takes text (Unicode and ANSI) and file lists dropped onto it.
void EnableStepListDrops();
// The whole list onto the clipboard in the text form; or the message why not.
void CopyStepList();
// The clipboard's Steps after the selected row, or at the end with none selected.
void PasteSteps();
// For the step list's drop event: dropped text before the row under the drop point (at the end
// below the last row), the Steps of dropped files at the end, as the drop took them; or the
// message why not.
void TakeDroppedSteps();
// The files' Steps at the end of the list, in the files' order; or the message why not.
void OpenStepFiles(const std::vector<WideText>& paths);
// A message box over the main window.
void Tell(const WideText& message);
// "<before>„<path>“<after>": a file's name as the file system has it, whatever the ANSI code
// page can hold.
WideText AboutFile(const char* before, const WideText& path, const std::string& after);
// A row position: after the last row.
constexpr int32_t kAppendRow = -1;
// The row after the selected one, or kAppendRow with none selected.
int32_t RowAfterSelection();
// `steps` at `position` (kAppendRow or past the end: at the end), the first of them selected;
// how many went in. A failed allocation leaves the list as it was, with its message.
int32_t InsertSteps(const std::vector<StepText>& steps, int32_t position);

}  // namespace kv
