// Registry helpers for the shell tests: raw values read and written behind the code under test's
// back, a private key per test, and values changed for one test and put back afterwards.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/Text.h"
#include "shell/RegistryKey.h"

namespace setup::testing_support {

struct RawValue {
  DWORD type = REG_NONE;
  std::vector<std::uint8_t> bytes;
};

inline std::vector<std::uint8_t> Utf16Bytes(std::u16string_view text) {
  std::vector<std::uint8_t> bytes;
  for (char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return bytes;
}

inline std::optional<RawValue> ReadRawValue(HKEY root, const std::u16string& keyPath, const std::u16string& name) {
  UniqueRegistryKey key;
  if (RegOpenKeyExW(root, WidePtr(keyPath), 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return std::nullopt;
  RawValue value;
  DWORD size = 0;
  if (RegQueryValueExW(key.Get(), WidePtr(name), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS)
    return std::nullopt;
  value.bytes.resize(size);
  if (RegQueryValueExW(key.Get(), WidePtr(name), nullptr, &value.type, value.bytes.data(), &size) != ERROR_SUCCESS)
    return std::nullopt;
  value.bytes.resize(size);
  return value;
}

inline bool WriteRawValue(HKEY root, const std::u16string& keyPath, const std::u16string& name, const RawValue& value) {
  UniqueRegistryKey key;
  if (RegCreateKeyExW(root, WidePtr(keyPath), 0, nullptr, 0, KEY_WRITE, nullptr, key.Put(), nullptr) != ERROR_SUCCESS)
    return false;
  return RegSetValueExW(key.Get(), WidePtr(name), 0, value.type, value.bytes.data(),
                        static_cast<DWORD>(value.bytes.size())) == ERROR_SUCCESS;
}

inline void DeleteRawValue(HKEY root, const std::u16string& keyPath, const std::u16string& name) {
  UniqueRegistryKey key;
  if (RegOpenKeyExW(root, WidePtr(keyPath), 0, KEY_WRITE, key.Put()) == ERROR_SUCCESS)
    RegDeleteValueW(key.Get(), WidePtr(name));
}

inline bool KeyExists(HKEY root, const std::u16string& keyPath) {
  UniqueRegistryKey key;
  return RegOpenKeyExW(root, WidePtr(keyPath), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

inline RawValue TextValue(std::u16string_view text, DWORD type = REG_SZ) {
  RawValue value{type, Utf16Bytes(text)};
  value.bytes.push_back(0);
  value.bytes.push_back(0);
  return value;
}

// A fresh key below HKEY_CURRENT_USER\Software\SetupToolkitTests, removed with its sub-keys at the end.
class TestRegistryKey {
 public:
  TestRegistryKey() {
    static std::atomic<int> counter{0};
    path_ = u"Software\\SetupToolkitTests\\" + IntToText(GetCurrentProcessId()) + u"_" + IntToText(counter++);
  }
  ~TestRegistryKey() { RegDeleteTreeW(HKEY_CURRENT_USER, WidePtr(path_)); }
  TestRegistryKey(const TestRegistryKey&) = delete;
  TestRegistryKey& operator=(const TestRegistryKey&) = delete;

  const std::u16string& Path() const { return path_; }

 private:
  std::u16string path_;
};

// Sets (or, with no value, removes) one registry value for the lifetime of the object and then puts
// back what was there before, or removes the value when there was none.
class ScopedRegistryValue {
 public:
  ScopedRegistryValue(HKEY root, std::u16string keyPath, std::u16string name, const std::optional<RawValue>& value)
      : root_(root),
        keyPath_(std::move(keyPath)),
        name_(std::move(name)),
        saved_(ReadRawValue(root_, keyPath_, name_)) {
    if (value)
      WriteRawValue(root_, keyPath_, name_, *value);
    else
      DeleteRawValue(root_, keyPath_, name_);
  }
  ~ScopedRegistryValue() {
    if (saved_)
      WriteRawValue(root_, keyPath_, name_, *saved_);
    else
      DeleteRawValue(root_, keyPath_, name_);
  }
  ScopedRegistryValue(const ScopedRegistryValue&) = delete;
  ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;

 private:
  HKEY root_;
  std::u16string keyPath_;
  std::u16string name_;
  std::optional<RawValue> saved_;
};

}  // namespace setup::testing_support
