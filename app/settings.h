#pragma once
// The settings in force and the file that keeps them: korvalt.ini beside the exe where that
// folder is writable (portable use), else in the user's application data folder. A missing file
// means the defaults; a file's bad lines keep their defaults and are named in one message.

#include <string>

#include "engine/options.h"
#include "runtime/textcodec.h"

namespace kv {

inline constexpr char kSettingsFileName[] = "korvalt.ini";
inline constexpr char kSettingsFolder[] = "Korvalt";

const RunOptions& CurrentOptions();
// The file the settings are read from and written to.
WideText SettingsPath();
// Reads the file into the settings in force; its bad lines are named in a message.
void LoadSettings();
// Puts `options` in force and writes them, replacing the file whole only once the new one is
// written; a file that cannot be written is named in a message, the settings apply all the same.
void ApplySettings(const RunOptions& options);
// The tray icon's tool tip for the chords in force.
std::string TrayToolTip(const RunOptions& options);

}  // namespace kv
