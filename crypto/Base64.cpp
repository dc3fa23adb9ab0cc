#include "crypto/Base64.h"

#include <array>

#include "base/CodePage.h"

namespace setup {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::uint8_t kPadMarker = 255;
constexpr std::uint8_t kNotInAlphabet = 254;

constexpr std::array<std::uint8_t, 256> MakeDecodeTable() {
  std::array<std::uint8_t, 256> table{};
  for (auto& value : table) value = kNotInAlphabet;
  for (std::uint8_t i = 0; i < 64; ++i) table[static_cast<unsigned char>(kAlphabet[i])] = i;
  table[static_cast<unsigned char>('=')] = kPadMarker;
  return table;
}
constexpr std::array<std::uint8_t, 256> kDecodeTable = MakeDecodeTable();

std::u16string Widen(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

}  // namespace

std::string EncodeBase64(const std::uint8_t* data, std::size_t size) {
  std::string out;
  out.reserve((size + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= size; i += 3) {
    const std::uint32_t group = std::uint32_t{data[i]} << 16 | std::uint32_t{data[i + 1]} << 8 | data[i + 2];
    out += kAlphabet[group >> 18 & 63];
    out += kAlphabet[group >> 12 & 63];
    out += kAlphabet[group >> 6 & 63];
    out += kAlphabet[group & 63];
  }
  const std::size_t rest = size - i;
  if (rest == 1) {
    out += kAlphabet[data[i] >> 2];
    out += kAlphabet[(data[i] & 3) << 4];
    out += "==";
  } else if (rest == 2) {
    out += kAlphabet[data[i] >> 2];
    out += kAlphabet[(data[i] & 3) << 4 | data[i + 1] >> 4];
    out += kAlphabet[(data[i + 1] & 15) << 2];
    out += '=';
  }
  return out;
}

std::vector<std::uint8_t> DecodeBase64(std::string_view text) {
  std::vector<std::uint8_t> out;
  out.reserve(text.size() / 4 * 3);
  std::array<std::uint8_t, 4> x{};  // a stray character keeps its place's previous value
  for (std::size_t g = 0; g + 4 <= text.size(); g += 4) {
    for (std::size_t k = 0; k < 4; ++k) {
      const std::uint8_t value = kDecodeTable[static_cast<unsigned char>(text[g + k])];
      if (value != kNotInAlphabet) x[k] = value;
    }
    out.push_back(static_cast<std::uint8_t>(x[0] << 2 | x[1] >> 4));
    if (x[2] == kPadMarker) continue;
    out.push_back(static_cast<std::uint8_t>(x[1] << 4 | x[2] >> 2));
    if (x[3] == kPadMarker) continue;
    out.push_back(static_cast<std::uint8_t>(x[2] << 6 | x[3]));
  }
  return out;
}

std::u16string DecodeBase64Text(std::u16string_view text) {
  const std::vector<std::uint8_t> bytes = DecodeBase64(WideToAnsi(text));
  return BytesToUtf16(bytes.data(), bytes.size());
}

std::u16string EncodeBase64Text(std::u16string_view text) {
  const std::vector<std::uint8_t> bytes = Utf16ToBytes(text);
  return Widen(EncodeBase64(bytes.data(), bytes.size()));
}

std::vector<std::uint8_t> Utf16ToBytes(std::u16string_view text) {
  std::vector<std::uint8_t> bytes(text.size() * 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    bytes[2 * i] = static_cast<std::uint8_t>(text[i]);
    bytes[2 * i + 1] = static_cast<std::uint8_t>(text[i] >> 8);
  }
  return bytes;
}

std::u16string BytesToUtf16(const std::uint8_t* data, std::size_t size) {
  std::u16string text(size / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
  }
  return text;
}

}  // namespace setup
