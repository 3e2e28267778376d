#pragma once
// Given to the tests' and benchmarks' sources ahead of their first line. GoogleTest's Notification
// waits on std::mutex and std::condition_variable, which the win32 thread model lacks: here it is
// over an event of the system, which GoogleTest then takes as given.
#include <windows.h>

namespace testing::internal {

class Notification {
  public:
    Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

  private:
    HANDLE event_;
};

}  // namespace testing::internal

#define GTEST_HAS_NOTIFICATION_ 1
