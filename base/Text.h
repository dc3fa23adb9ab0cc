// UTF-16 text helpers shared by every module.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace setup {

// UTF-8 <-> UTF-16. Unpaired surrogates and malformed bytes become U+FFFD.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

// Decimal text of an integer, with a leading "-" for negatives.
std::u16string IntToText(std::int64_t value);

// Replaces each "%s" or "%d" of the pattern, in order, by the next argument. "%%" is a "%".
std::u16string FormatText(std::u16string_view pattern, std::initializer_list<std::u16string_view> args);

// Letter case is folded for ASCII letters only.
bool SameTextIgnoreCase(std::u16string_view a, std::u16string_view b);

#ifdef _WIN32
// Win32 takes wchar_t text; on Windows it has the same size and layout as char16_t.
inline const wchar_t* WidePtr(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
inline const wchar_t* WidePtr(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
inline std::u16string FromWide(const wchar_t* text) {
  return text ? std::u16string(reinterpret_cast<const char16_t*>(text)) : std::u16string();
}
inline std::u16string FromWide(const wchar_t* text, std::size_t length) {
  return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}
#endif

}  // namespace setup
