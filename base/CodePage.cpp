#include "base/CodePage.h"

#include <atomic>

#include "base/CodePageConvert.h"

namespace setup {

namespace {
std::atomic<unsigned> codePageOverride{0};

bool IsAscii(std::string_view bytes) {
  for (const char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}
bool IsAscii(std::u16string_view text) {
  for (const char16_t c : text) {
    if (c >= 0x80) return false;
  }
  return true;
}
}  // namespace

unsigned AnsiCodePage() {
  const unsigned set = codePageOverride.load();
  return set ? set : platform::SystemAnsiCodePage();
}

void SetAnsiCodePage(unsigned codePage) { codePageOverride.store(codePage); }

// Every ANSI code page keeps ASCII as it is, so pure ASCII text (most table text) skips the
// platform converter.
std::string WideToAnsi(std::u16string_view text) {
  if (IsAscii(text)) return std::string(text.begin(), text.end());
  return platform::WideToCodePage(AnsiCodePage(), text);
}

std::u16string AnsiToWide(std::string_view bytes) {
  if (IsAscii(bytes)) return std::u16string(bytes.begin(), bytes.end());
  return platform::CodePageToWide(AnsiCodePage(), bytes);
}

}  // namespace setup
