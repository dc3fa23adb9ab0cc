#include <process.h>
#include <windows.h>

#include <cstdint>

#include "base/Errors.h"
#include "base/FileSystem.h"
#include "base/MutexNative_win.h"
#include "base/Threads.h"

namespace setup {

Mutex::Mutex() : native_(std::make_unique<Native>()) { InitializeCriticalSection(&native_->section); }
Mutex::~Mutex() { DeleteCriticalSection(&native_->section); }
void Mutex::lock() { EnterCriticalSection(&native_->section); }
void Mutex::unlock() { LeaveCriticalSection(&native_->section); }

struct Thread::Native {
  std::function<void()> body;
  HANDLE handle = nullptr;
};

namespace {

unsigned __stdcall RunBody(void* body) {
  // An exception that escapes the body ends the program, as it would on any other thread.
  [](const std::function<void()>& run) noexcept { run(); }(*static_cast<const std::function<void()>*>(body));
  return 0;
}

}  // namespace

Thread::Thread() noexcept = default;

Thread::Thread(std::function<void()> body) : native_(std::make_unique<Native>()) {
  native_->body = std::move(body);
  // The C runtime's own start keeps its per-thread state right for the body.
  const std::uintptr_t handle = _beginthreadex(nullptr, 0, RunBody, &native_->body, 0, nullptr);
  if (handle == 0) throw Exception(u"Cannot start a thread. " + LastErrorText());
  native_->handle = reinterpret_cast<HANDLE>(handle);
}

Thread::~Thread() { Join(); }
Thread::Thread(Thread&& other) noexcept = default;

Thread& Thread::operator=(Thread&& other) noexcept {
  if (this != &other) {
    Join();
    native_ = std::move(other.native_);
  }
  return *this;
}

bool Thread::Joinable() const noexcept { return native_ && native_->handle != nullptr; }

void Thread::Join() noexcept {
  if (!Joinable()) return;
  WaitForSingleObject(native_->handle, INFINITE);
  CloseHandle(native_->handle);
  native_->handle = nullptr;
}

unsigned HardwareThreads() noexcept {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwNumberOfProcessors == 0 ? 1 : info.dwNumberOfProcessors;
}

}  // namespace setup
