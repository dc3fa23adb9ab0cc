#include "shell/ApplicationTitle.h"

#include <windows.h>

#include <utility>
#include <vector>

#include "base/Text.h"

namespace setup {

namespace {

ApplicationTitleSource& TitleSource() {
  static ApplicationTitleSource source;
  return source;
}

std::u16string ProgramFileTitle() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) {
      std::u16string path = FromWide(buffer.data(), length);
      path.erase(0, path.find_last_of(u"\\:") + 1);  // npos + 1 is 0: nothing to drop
      const auto dot = path.rfind(u'.');
      if (dot != std::u16string::npos) path.resize(dot);
      return path;
    }
    buffer.resize(buffer.size() * 2);  // the name was cut short
  }
}

}  // namespace

void SetApplicationTitleSource(ApplicationTitleSource source) { TitleSource() = std::move(source); }

std::u16string ApplicationTitle() {
  const ApplicationTitleSource& source = TitleSource();
  return source ? source() : ProgramFileTitle();
}

}  // namespace setup
