// The product file: a UTF-8 INI-style text that describes one product for `stpack build`.
//
//   # a comment (also ";")           ShortName = Glyphor
//   KEY = VALUE                      1010 = Glyphor   (the numeric form of the same key)
//
// Keys are matched without case; each may appear once. File names are relative to the product
// file's folder. ReadProductFile reads and checks every file the product names, so a product that
// reads without error can be built.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/Errors.h"

namespace setup::product {

// "<product file>:<line>: <message>".
class EProductError : public Exception {
 public:
  using Exception::Exception;
};

enum class Architecture { X64, X86 };

// Machine: installed for every user, elevated. User: installed for the user who runs Setup.exe,
// without elevation.
enum class Scope { Machine, User };

struct Signing {
  std::filesystem::path key;          // PEM private key
  std::filesystem::path certificate;  // PEM certificate
};

struct Product {
  std::map<std::uint16_t, std::u16string> strings;  // configuration strings by id (ProductIds.h)
  std::filesystem::path filesFolder;                // the files to pack
  std::vector<std::uint8_t> imageLeftChinese;       // banner file bytes
  std::vector<std::uint8_t> imageLeftEnglish;
  std::vector<std::uint8_t> imageIconBitmap;      // the .bmp without its file header
  std::optional<std::vector<std::uint8_t>> icon;  // .ico file bytes
  std::optional<std::string> licenseEnglish;      // UTF-8
  std::optional<std::string> licenseChinese;
  Architecture architecture = Architecture::X64;
  Scope scope = Scope::Machine;
  std::size_t scopeLine = 0;  // the line the scope was given on; 0 when the product gives none
  std::optional<Signing> signing;

  std::u16string String(std::uint16_t id) const;
};

// `displayName` is how messages name the file (as the user gave it). Raises EProductError.
Product ReadProductFile(const std::filesystem::path& file, const std::u16string& displayName);

// The same from text already read, with files relative to `folder`.
Product ParseProductText(std::string_view utf8, const std::filesystem::path& folder, const std::u16string& displayName);

}  // namespace setup::product
