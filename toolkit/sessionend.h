#pragma once
// A thread of its own with a hidden top-level window that hears of the session ending, for a
// program whose own thread may be too busy to answer then. Held as long as its owner lives.

#include <windows.h>

namespace kv {

inline constexpr char kSessionEndWindowClass[] = "SessionEndWatcher";

class SessionEndWatcher {
  public:
    // `onEnd` is called on the watcher's thread when the session really ends; the process may be
    // ended any moment after it returns.
    explicit SessionEndWatcher(void (*onEnd)());
    ~SessionEndWatcher();
    SessionEndWatcher(const SessionEndWatcher&) = delete;
    SessionEndWatcher& operator=(const SessionEndWatcher&) = delete;

  private:
    static DWORD WINAPI Watch(void* watcher);

    void (*onEnd_)();
    HANDLE ready_;
    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
};

}  // namespace kv
