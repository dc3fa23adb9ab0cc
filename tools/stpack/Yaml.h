// A small YAML writer for the manifests stpack writes: block mappings and lists of plain values,
// with every string quoted that a YAML reader could take for anything but that string.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace setup::stpack {

// The value as a YAML scalar: plain when it is made of letters, digits, blanks and a few safe
// marks and starts with a letter that does not spell a boolean or null; otherwise in double
// quotes with `"`, `\` and control characters escaped.
std::u16string YamlScalar(std::u16string_view value);

class YamlText {
 public:
  void Comment(std::u16string_view text);
  void EmptyLine();
  // "key: value", with an optional comment after it on the same line.
  void Entry(std::u16string_view key, std::u16string_view value, std::u16string_view comment = {});
  void Entry(std::u16string_view key, std::int64_t value, std::u16string_view comment = {});
  // "key:" with the lines up to the matching Close one level below it.
  void Open(std::u16string_view key);
  // A list item holding a mapping: the next entry starts with "- ", and the entries up to the
  // matching Close line up under it.
  void OpenItem();
  void Close();
  // "- value": a list item holding one value.
  void Item(std::u16string_view value);

  const std::u16string& Text() const { return text_; }

 private:
  void StartLine();
  void Put(std::u16string_view key, std::u16string_view scalar, std::u16string_view comment);

  std::u16string text_;
  int depth_ = 0;
  bool pendingDash_ = false;
};

}  // namespace setup::stpack
