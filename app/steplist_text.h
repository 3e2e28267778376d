#pragma once
// The step list as text: copied to and pasted from the clipboard, dropped onto the list as text
// or as files, and opened at start. Whatever cannot be taken whole is refused with a message
// owned by the main window, and the list stays as it was.

#include <cstdint>
#include <string>
#include <vector>

namespace kv {

constexpr char kMessageTitle[] = "Korvalt";
// Files larger than this are not read.
constexpr uint64_t kLargestStepFile = 16ull << 20;

// After the step list's creation: it takes text (Unicode and ANSI) and file lists dropped onto it.
void EnableStepListDrops();
// The whole list onto the clipboard in the text form.
void CopyStepList();
// The clipboard's Steps after the selected row, or at the end with none selected.
void PasteSteps();
// For the step list's drop event: dropped text before the row under the drop point (at the end
// below the last row), the Steps of dropped files at the end; or the message why not.
void TakeDroppedSteps();
// The files' Steps at the end of the list, in the files' order; or the message why not.
void OpenStepFiles(const std::vector<std::string>& paths);

}  // namespace kv
