#pragma once
// A system-wide hotkey of a window, held as long as its owner lives. Its presses arrive in the
// window's queue as WM_HOTKEY with the hotkey's number, which the event loop hands on as that
// message's own event (EventWParam the number).

#include <windows.h>

#include <cstdint>

namespace kv {

class HotKey {
  public:
    // `modifiers` MOD_CONTROL, MOD_ALT, MOD_SHIFT, MOD_WIN; a held chord reports once.
    HotKey(HWND window, int32_t number, UINT modifiers, UINT virtualKey);
    ~HotKey();
    HotKey(const HotKey&) = delete;
    HotKey& operator=(const HotKey&) = delete;

    // False when the system refused it: another program holds the chord.
    bool registered() const { return registered_; }
    // Drops the presses queued so far, such as those made while the window was not listening.
    void DropPending() const;

  private:
    HWND window_;
    int32_t number_;
    bool registered_;
};

}  // namespace kv
