#include <windows.h>

#include <vector>

#include "base/Text.h"
#include "package/JournalEntries.h"
#include "package/RestartReplace.h"

namespace setup::restart_replace {

namespace {

constexpr wchar_t kSessionManager[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr wchar_t kPendingRenames[] = L"PendingFileRenameOperations";

class OpenKey {
 public:
  OpenKey() {
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key_) != ERROR_SUCCESS)
      key_ = nullptr;
  }
  ~OpenKey() {
    if (key_) RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY Get() const noexcept { return key_; }

 private:
  HKEY key_ = nullptr;
};

// The strings of the list: each ends with a zero, and one more zero ends the list. An empty string
// inside it is a delete's missing destination, so the count of strings, not the first empty one,
// finds the end: pairs, with the list's own end as one string more.
std::vector<std::u16string> Strings(const std::vector<char16_t>& data) {
  std::vector<std::u16string> strings;
  std::u16string current;
  for (const char16_t c : data) {
    if (c != 0) {
      current += c;
      continue;
    }
    strings.push_back(current);
    current.clear();
  }
  if (!current.empty()) strings.push_back(current);
  if (strings.size() % 2 == 1 && strings.back().empty()) strings.pop_back();
  return strings;
}

// The system keeps each source as a native path: "\??\C:\folder\file".
bool NamesSource(const std::u16string& entry, const std::u16string& path) {
  constexpr std::u16string_view kPrefix = u"\\??\\";
  const std::u16string_view bare =
      std::u16string_view(entry).starts_with(kPrefix) ? std::u16string_view(entry).substr(kPrefix.size()) : entry;
  return SamePath(bare, path);
}

}  // namespace

bool LastFailureMeansInUse() {
  const DWORD reason = GetLastError();
  return reason == ERROR_SHARING_VIOLATION || reason == ERROR_LOCK_VIOLATION || reason == ERROR_ACCESS_DENIED;
}

bool Schedule(const std::u16string& temporary, const std::u16string& target) {
  return MoveFileExW(WidePtr(temporary), WidePtr(target), MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING) !=
         FALSE;
}

// The system offers no call that takes a pending move back (another delayed move of the same file
// would only be queued after it), so the pair is taken out of the list the system reads at its
// start.
bool Withdraw(const std::u16string& temporary) {
  const OpenKey key;
  if (!key.Get()) return false;
  DWORD type = 0;
  DWORD bytes = 0;
  const LONG asked = RegQueryValueExW(key.Get(), kPendingRenames, nullptr, &type, nullptr, &bytes);
  if (asked == ERROR_FILE_NOT_FOUND) return true;
  if (asked != ERROR_SUCCESS || type != REG_MULTI_SZ) return false;
  std::vector<char16_t> data(bytes / sizeof(char16_t) + 1, 0);
  if (RegQueryValueExW(key.Get(), kPendingRenames, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &bytes) !=
      ERROR_SUCCESS)
    return false;
  data.resize(bytes / sizeof(char16_t));
  const std::vector<std::u16string> strings = Strings(data);
  std::vector<char16_t> kept;
  bool removed = false;
  // Pairs of source and destination; an empty destination is a delete.
  for (std::size_t i = 0; i < strings.size(); i += 2) {
    const std::u16string& source = strings[i];
    const std::u16string destination = i + 1 < strings.size() ? strings[i + 1] : std::u16string();
    if (NamesSource(source, temporary)) {
      removed = true;
      continue;
    }
    for (const std::u16string* text : {&source, &destination}) {
      kept.insert(kept.end(), text->begin(), text->end());
      kept.push_back(0);
    }
  }
  if (!removed) return true;
  if (kept.empty()) return RegDeleteValueW(key.Get(), kPendingRenames) == ERROR_SUCCESS;
  kept.push_back(0);
  return RegSetValueExW(key.Get(), kPendingRenames, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(kept.data()),
                        static_cast<DWORD>(kept.size() * sizeof(char16_t))) == ERROR_SUCCESS;
}

}  // namespace setup::restart_replace
