#pragma once
// The session's key events as they happen, for recording: a low-level keyboard hook whose
// procedure only queues each event, and what the queued presses type in a keyboard layout.

#include <windows.h>

#include <cstdint>
#include <vector>

#include "runtime/textcodec.h"

namespace kv {

struct HookedKey {
    uint32_t virtualKey;
    uint32_t scanCode;
    uint32_t flags;  // LLKHF_*
    uint32_t time;   // the event's time stamp, in milliseconds as GetMessageTime gives them
};

// The hook of this thread, which must keep fetching messages while it is installed (the system
// calls the procedure from there): installed on construction, removed on destruction, so every
// way out of the owner's scope removes it. One at a time.
class KeyboardHook {
  public:
    KeyboardHook();
    ~KeyboardHook();
    KeyboardHook(const KeyboardHook&) = delete;
    KeyboardHook& operator=(const KeyboardHook&) = delete;

    bool Installed() const { return hook_ != nullptr; }

  private:
    HHOOK hook_;
};

bool KeyboardHookInstalled();
// The events queued since the last call, oldest first; the queue is left empty. It is bounded
// only by memory.
std::vector<HookedKey> TakeHookedKeys();
size_t HookedKeyCount();
// The hook's procedure: for the benchmark, which times it.
LRESULT CALLBACK KeyboardHookProcedure(int code, WPARAM wParam, LPARAM lParam);

// The keyboard layout of the foreground window's thread.
HKL ForegroundLayout();

// What key presses type, from a keyboard state that follows the events it is given; the locks'
// toggles are taken from the keyboard at construction.
class KeyTyping {
  public:
    KeyTyping();

    struct Typed {
        WideText characters;  // a dead key before it composed in, as the layout does
        bool dead = false;    // the press is a dead key: it types with the next press
        WideText plain;       // without Ctrl, Alt and Win, while one of them is down
    };
    // Follows one press or release; for a press, what it types in `layout`.
    Typed Follow(const HookedKey& key, HKL layout);

  private:
    BYTE state_[256] = {};
};

}  // namespace kv
