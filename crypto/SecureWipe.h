// Erasing key material in a way the optimiser cannot drop, and storage that erases itself.
#pragma once

#include <array>
#include <cstddef>

namespace setup {

// Overwrites size bytes with zeros (explicit_bzero / SecureZeroMemory underneath).
void SecureWipe(void* data, std::size_t size) noexcept;

// A fixed array for key schedules and chaining state: wiped when destroyed, never copied,
// so no copy of a key outlives its owner.
template <typename T, std::size_t N>
class SecureArray {
 public:
  SecureArray() = default;
  ~SecureArray() { Wipe(); }
  SecureArray(const SecureArray&) = delete;
  SecureArray& operator=(const SecureArray&) = delete;

  void Wipe() noexcept { SecureWipe(items_.data(), sizeof(items_)); }

  T& operator[](std::size_t i) noexcept { return items_[i]; }
  const T& operator[](std::size_t i) const noexcept { return items_[i]; }
  T* data() noexcept { return items_.data(); }
  const T* data() const noexcept { return items_.data(); }
  static constexpr std::size_t size() noexcept { return N; }
  T* begin() noexcept { return items_.data(); }
  T* end() noexcept { return items_.data() + N; }
  const T* begin() const noexcept { return items_.data(); }
  const T* end() const noexcept { return items_.data() + N; }

 private:
  std::array<T, N> items_{};
};

}  // namespace setup
