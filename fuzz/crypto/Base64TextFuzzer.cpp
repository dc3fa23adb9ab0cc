// DecodeBase64Text on any UTF-16 text, in a single-byte and a double-byte code page.
#include <cstdlib>

#include "FuzzText.h"
#include "base/CodePage.h"
#include "crypto/Base64.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  setup::SetAnsiCodePage((data[0] & 1) != 0 ? 936 : 1252);
  const std::u16string text = setup::fuzzing::TextFromBytes(data + 1, size - 1);
  const std::u16string decoded = setup::DecodeBase64Text(text);

  // Every group of four 8-bit characters gives at most three bytes.
  const std::string ansi = setup::WideToAnsi(text);
  if (decoded.size() * 2 > ansi.size() / 4 * 3) std::abort();
  // What the encoder writes, the decoder reads back unchanged.
  if (setup::DecodeBase64Text(setup::EncodeBase64Text(decoded)) != decoded) std::abort();
  const auto bytes = setup::DecodeBase64(std::string_view(reinterpret_cast<const char*>(data), size));
  if (setup::DecodeBase64(setup::EncodeBase64(bytes.data(), bytes.size())) != bytes) std::abort();
  return 0;
}
