// Joins the calling thread to a single-threaded COM apartment for the scope's lifetime
// (Windows only). The program's GUI layer makes this call once at start-up; tests and tools that
// use the shortcut helpers without it open a scope of their own.
#pragma once

#include <objbase.h>

namespace setup {

class ComApartment {
 public:
  ComApartment() noexcept : result_(CoInitialize(nullptr)) {}
  // Every successful CoInitialize (S_FALSE included: already joined) needs its CoUninitialize.
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

  HRESULT Result() const noexcept { return result_; }
  bool Joined() const noexcept { return SUCCEEDED(result_); }

 private:
  HRESULT result_;
};

}  // namespace setup
