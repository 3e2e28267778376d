#pragma once
// The settings window "Einstellungen": trigger chord, stop chord, hold and gap times and the key
// mode. "OK" checks every field and puts the settings in force (and into the settings file);
// a field that is unusable is named in a message and nothing changes. "Abbrechen" and the close
// box leave everything as it was.

#include <cstdint>

namespace kv {

inline constexpr char kSettingsTitle[] = "Einstellungen";

// Returns when the window has been closed.
void EditSettings();

}  // namespace kv
