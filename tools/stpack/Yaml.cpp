#include "tools/stpack/Yaml.h"

#include <array>

#include "base/Text.h"

namespace setup::stpack {

namespace {

// Characters a YAML reader treats as line breaks or byte-order marks, and the C0 and C1 controls.
bool IsControl(char16_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0xFEFF || c == 0x2028 || c == 0x2029; }

bool IsLetter(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= 0xA0 && !IsControl(c));
}

// Marks that mean nothing to YAML inside a plain value that starts with a letter. ":" and "#"
// are left out: ": " starts a mapping and " #" a comment.
bool IsPlainCharacter(char16_t c) {
  if (IsLetter(c) || (c >= u'0' && c <= u'9')) return true;
  return std::u16string_view(u" ._-()+/=&,").find(c) != std::u16string_view::npos;
}

// Words a YAML 1.1 reader takes for booleans or null, in any case.
bool IsReservedWord(std::u16string_view value) {
  constexpr std::array<std::u16string_view, 9> kWords{u"y",     u"yes", u"n",   u"no",  u"true",
                                                      u"false", u"on",  u"off", u"null"};
  for (const std::u16string_view word : kWords) {
    if (SameTextIgnoreCase(word, value)) return true;
  }
  return false;
}

bool CanStayPlain(std::u16string_view value) {
  if (value.empty() || !IsLetter(value.front()) || value.back() == u' ' || IsReservedWord(value)) return false;
  for (const char16_t c : value) {
    if (!IsPlainCharacter(c)) return false;
  }
  return true;
}

const char16_t kHexDigits[] = u"0123456789ABCDEF";

}  // namespace

std::u16string YamlScalar(std::u16string_view value) {
  if (CanStayPlain(value)) return std::u16string(value);
  std::u16string quoted = u"\"";
  for (const char16_t c : value) {
    if (c == u'"' || c == u'\\') {
      quoted += u'\\';
      quoted += c;
    } else if (IsControl(c)) {
      quoted += u"\\u";
      for (int shift = 12; shift >= 0; shift -= 4) quoted += kHexDigits[(c >> shift) & 0xF];
    } else {
      quoted += c;
    }
  }
  return quoted + u"\"";
}

void YamlText::StartLine() {
  const int indent = pendingDash_ ? depth_ - 1 : depth_;
  text_.append(static_cast<std::size_t>(indent) * 2, u' ');
  if (pendingDash_) text_ += u"- ";
  pendingDash_ = false;
}

void YamlText::Comment(std::u16string_view text) {
  StartLine();
  text_ += u"# ";
  text_ += text;
  text_ += u'\n';
}

void YamlText::EmptyLine() { text_ += u'\n'; }

void YamlText::Put(std::u16string_view key, std::u16string_view scalar, std::u16string_view comment) {
  StartLine();
  text_ += key;
  text_ += u": ";
  text_ += scalar;
  if (!comment.empty()) {
    text_ += u"  # ";
    text_ += comment;
  }
  text_ += u'\n';
}

void YamlText::Entry(std::u16string_view key, std::u16string_view value, std::u16string_view comment) {
  Put(key, YamlScalar(value), comment);
}

void YamlText::Entry(std::u16string_view key, std::int64_t value, std::u16string_view comment) {
  Put(key, IntToText(value), comment);
}

void YamlText::Open(std::u16string_view key) {
  StartLine();
  text_ += key;
  text_ += u":\n";
  ++depth_;
}

void YamlText::OpenItem() {
  ++depth_;
  pendingDash_ = true;
}

void YamlText::Close() { --depth_; }

void YamlText::Item(std::u16string_view value) {
  StartLine();
  text_ += u"- ";
  text_ += YamlScalar(value);
  text_ += u'\n';
}

}  // namespace setup::stpack
