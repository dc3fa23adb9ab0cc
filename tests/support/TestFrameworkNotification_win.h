// The test framework's one-shot notification for the Windows build, whose C++ library has no
// std::mutex or std::condition_variable (see cmake/mingw-w64-x86_64.cmake): a manual-reset event.
// The framework takes it in place of its own when GTEST_HAS_NOTIFICATION_ is set;
// cmake/Testing.cmake forces this header into the framework and every test.
#pragma once

#include <windows.h>

namespace testing::internal {

class Notification {
 public:
  Notification() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~Notification() { CloseHandle(event_); }
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify() { SetEvent(event_); }
  void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

 private:
  HANDLE event_;
};

}  // namespace testing::internal
