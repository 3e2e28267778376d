#pragma once
// The rename window: edits both columns of the step list's selected row.

#include <cstdint>

namespace kv {

inline constexpr char kRenameTitle[] = "Umbenennen...";

// Runs the window until "Ändern" or a close request, then writes both fields back into the row it
// was opened for (if that row still exists). The main window is disabled while it is open.
// Without a selected row nothing opens. Result 0.
int32_t RenameStep();

}  // namespace kv
