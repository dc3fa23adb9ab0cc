// DecryptEnvelope on any envelope and password: it must return, never raise, and never give
// more text than the Base64 body can hold.
#include <cstdlib>

#include "FuzzText.h"
#include "base/CodePage.h"
#include "crypto/Envelope.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // First byte: the code page (bit 0) and the password length in code units (bits 1-3).
  setup::SetAnsiCodePage((data[0] & 1) != 0 ? 936 : 1252);
  const std::size_t passwordLength = (data[0] >> 1) & 7;
  const std::u16string text = setup::fuzzing::TextFromBytes(data + 1, size - 1);
  const std::size_t split = std::min(passwordLength, text.size());
  const std::u16string_view password = std::u16string_view(text).substr(0, split);
  const std::u16string_view envelope = std::u16string_view(text).substr(split);

  const std::u16string plain = setup::DecryptEnvelope(envelope, password);
  if (!plain.empty() && envelope.size() < 11) std::abort();
  // Four characters give at most three bytes; 8-bit text can be up to twice as long in 936.
  if (plain.size() * 2 > envelope.size() * 2 / 4 * 3) std::abort();
  // Deciphering the same envelope again gives the same text.
  if (setup::DecryptEnvelope(envelope, password) != plain) std::abort();
  return 0;
}
