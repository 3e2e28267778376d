#pragma once
// The main window: the step list with its editing fields, "Start...", the repetition row behind
// the expander, and the event loop that acts on them.

#include <cstdint>

namespace kv {

inline constexpr char kMainTitle[] = "Korvalt Ostrivel | Lunafex";
inline constexpr char kWebAddress[] = "www.lunafex.example";
constexpr int32_t kMainWidth = 300;
constexpr int32_t kCollapsedHeight = 420;
constexpr int32_t kExpandedHeight = 460;
// With Ctrl, anywhere in the main window: opens the settings window, starts a recording.
constexpr int32_t kSettingsKey = 'E';
constexpr int32_t kRecordKey = 'R';

// The window with its gadgets, the two tray images and the step list's popup menu.
void BuildMainWindow();
// Acts on one event as the loop fetched it; false for the close request, which ends the loop.
bool HandleMainEvent(int32_t event);
// Waits for events and acts on them until the close request.
void RunMainLoop();

}  // namespace kv
