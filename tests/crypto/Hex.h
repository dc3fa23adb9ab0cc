// Hexadecimal test data.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace setup::testing_support {

inline std::vector<std::uint8_t> FromHex(std::string_view hex) {
  auto nibble = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::vector<std::uint8_t> out;
  int high = -1;
  for (char c : hex) {
    const int v = nibble(c);
    if (v < 0) continue;  // spaces group the digits
    if (high < 0) {
      high = v;
    } else {
      out.push_back(static_cast<std::uint8_t>(high << 4 | v));
      high = -1;
    }
  }
  return out;
}

inline std::string ToHex(const std::uint8_t* data, std::size_t size) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  for (std::size_t i = 0; i < size; ++i) {
    out += kDigits[data[i] >> 4];
    out += kDigits[data[i] & 15];
  }
  return out;
}
inline std::string ToHex(const std::vector<std::uint8_t>& data) { return ToHex(data.data(), data.size()); }

}  // namespace setup::testing_support
