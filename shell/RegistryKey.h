// A move-only owner of an open registry key handle (Windows only).
#pragma once

#include <windows.h>

#include <utility>

namespace setup {

class UniqueRegistryKey {
 public:
  UniqueRegistryKey() noexcept = default;
  explicit UniqueRegistryKey(HKEY key) noexcept : key_(key) {}
  ~UniqueRegistryKey() { Reset(); }

  UniqueRegistryKey(const UniqueRegistryKey&) = delete;
  UniqueRegistryKey& operator=(const UniqueRegistryKey&) = delete;
  UniqueRegistryKey(UniqueRegistryKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
  UniqueRegistryKey& operator=(UniqueRegistryKey&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.key_, nullptr));
    return *this;
  }

  HKEY Get() const noexcept { return key_; }
  explicit operator bool() const noexcept { return key_ != nullptr; }

  // Closes any key held and returns the slot for an API that opens or creates a key.
  HKEY* Put() noexcept {
    Reset();
    return &key_;
  }

  // Closes the held key (no flush: the registry writes it back in its own time).
  void Reset(HKEY key = nullptr) noexcept {
    if (key_) RegCloseKey(key_);
    key_ = key;
  }

  HKEY Release() noexcept { return std::exchange(key_, nullptr); }

 private:
  HKEY key_ = nullptr;
};

}  // namespace setup
