// A move-only owner of one COM interface pointer (Windows only).
#pragma once

#include <unknwn.h>

#include <utility>

namespace setup {

template <typename Interface>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  // Takes over a reference the caller already holds.
  explicit ComPtr(Interface* pointer) noexcept : pointer_(pointer) {}
  ~ComPtr() { Reset(); }

  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      pointer_ = std::exchange(other.pointer_, nullptr);
    }
    return *this;
  }

  Interface* Get() const noexcept { return pointer_; }
  Interface* operator->() const noexcept { return pointer_; }
  explicit operator bool() const noexcept { return pointer_ != nullptr; }

  // Releases any pointer held and returns the slot for an API that hands out a new reference.
  Interface** Put() noexcept {
    Reset();
    return &pointer_;
  }
  // The same slot as void**, for CoCreateInstance and QueryInterface.
  void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

  void Reset() noexcept {
    if (pointer_) std::exchange(pointer_, nullptr)->Release();
  }

  // Asks the object for another of its interfaces; `target` holds it on success.
  template <typename Other>
  HRESULT QueryTo(REFIID iid, ComPtr<Other>& target) const noexcept {
    if (!pointer_) return E_POINTER;
    return pointer_->QueryInterface(iid, target.PutVoid());
  }

 private:
  Interface* pointer_ = nullptr;
};

}  // namespace setup
