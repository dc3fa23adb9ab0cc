#include <iconv.h>

#include <cerrno>
#include <string>

#include "base/CodePageConvert.h"

namespace setup::platform {

namespace {
// Windows-1252 bytes 0x80-0x9F. The five bytes Windows leaves undefined map to the C1 control
// of the same number, as MultiByteToWideChar does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t Cp1252ToWide(unsigned char byte) {
  return (byte >= 0x80 && byte < 0xA0) ? kCp1252High[byte - 0x80] : static_cast<char16_t>(byte);
}

char WideToCp1252(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (int i = 0; i < 32; ++i) {
    if (kCp1252High[i] == c) return static_cast<char>(0x80 + i);
  }
  return '?';
}

// An iconv descriptor owned for one conversion.
class Iconv {
 public:
  Iconv(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Iconv() {
    if (valid()) iconv_close(handle_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return handle_; }

 private:
  iconv_t handle_;
};

std::string IconvName(unsigned codePage) { return "CP" + std::to_string(codePage); }

// Runs iconv over the whole input; where it stops at something it cannot convert, the
// replacement is appended and `skip` input bytes are passed over.
std::string Run(const Iconv& cd, std::string_view input, std::size_t unit, std::string_view replacement) {
  std::string out;
  char buffer[4096];
  auto* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  while (inLeft > 0) {
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t rc = iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
      out.append(replacement);
      const std::size_t skip = inLeft < unit ? inLeft : unit;
      in += skip, inLeft -= skip;
      iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}
}  // namespace

unsigned SystemAnsiCodePage() { return 1252; }

std::string WideToCodePage(unsigned codePage, std::u16string_view text) {
  std::string out;
  if (codePage == 1252) {
    for (const char16_t c : text) out += WideToCp1252(c);
    return out;
  }
  const Iconv cd(IconvName(codePage).c_str(), "UTF-16LE");
  if (!cd.valid()) {
    for (const char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
  }
  std::string utf16le;
  utf16le.reserve(text.size() * 2);
  for (const char16_t c : text) utf16le += static_cast<char>(c & 0xFF), utf16le += static_cast<char>(c >> 8);
  return Run(cd, utf16le, 2, "?");
}

std::u16string CodePageToWide(unsigned codePage, std::string_view bytes) {
  std::u16string out;
  if (codePage == 1252) {
    for (const char b : bytes) out += Cp1252ToWide(static_cast<unsigned char>(b));
    return out;
  }
  const Iconv cd("UTF-16LE", IconvName(codePage).c_str());
  if (!cd.valid()) {
    for (const char b : bytes) out += static_cast<unsigned char>(b) < 0x80 ? static_cast<char16_t>(b) : u'?';
    return out;
  }
  const std::string utf16le = Run(cd, bytes, 1, std::string("?\0", 2));
  for (std::size_t i = 0; i + 1 < utf16le.size(); i += 2) {
    out += static_cast<char16_t>(static_cast<unsigned char>(utf16le[i]) |
                                 (static_cast<unsigned char>(utf16le[i + 1]) << 8));
  }
  return out;
}

}  // namespace setup::platform
