// One move-only owner for every kind of handle: the traits say what an empty owner holds and
// how a held handle is closed, so the owning (one close, no copy, moves that close what they
// overwrite) is written once. The traits of the Windows handles live with the Windows code.
//
//   struct FileTraits {
//     using Handle = int;
//     static constexpr Handle Invalid() noexcept { return -1; }
//     static void Close(Handle handle) noexcept { close(handle); }
//     // optional: what a handle handed over becomes (e.g. a second "no handle" value)
//     static Handle Adopt(Handle handle) noexcept;
//   };
//   using UniqueFile = UniqueOwner<FileTraits>;
#pragma once

#include <utility>

namespace setup {

template <typename Traits>
class UniqueOwner {
 public:
  using Handle = typename Traits::Handle;

  UniqueOwner() noexcept = default;
  explicit UniqueOwner(Handle handle) noexcept : handle_(Adopt(handle)) {}
  ~UniqueOwner() { Reset(); }

  UniqueOwner(const UniqueOwner&) = delete;
  UniqueOwner& operator=(const UniqueOwner&) = delete;
  UniqueOwner(UniqueOwner&& other) noexcept : handle_(other.Release()) {}
  UniqueOwner& operator=(UniqueOwner&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  Handle Get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != Traits::Invalid(); }

  // Closes any handle held and returns the slot for an API that opens or creates one.
  Handle* Put() noexcept {
    Reset();
    return &handle_;
  }

  // Closes the handle held, if any, and holds `handle` instead.
  void Reset(Handle handle = Traits::Invalid()) noexcept {
    const Handle previous = std::exchange(handle_, Adopt(handle));
    if (previous != Traits::Invalid()) Traits::Close(previous);
  }

  // Gives the handle up without closing it: the caller owns it now.
  [[nodiscard]] Handle Release() noexcept { return std::exchange(handle_, Traits::Invalid()); }

 private:
  static Handle Adopt(Handle handle) noexcept {
    if constexpr (requires { Traits::Adopt(handle); }) {
      return Traits::Adopt(handle);
    } else {
      return handle;
    }
  }

  Handle handle_ = Traits::Invalid();
};

}  // namespace setup
