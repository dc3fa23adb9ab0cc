// Failures of reading or writing a setup package, beyond the stream and conversion errors of base/.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/Errors.h"

namespace setup {

// A stream that does not inflate to its row's unpacked size with a good checksum. The message is
// zlib's text for the error code ("data error", "stream error", "insufficient memory",
// "buffer error", "need dictionary", "incompatible version", "file error").
class EDecompressionError : public Exception {
 public:
  using Exception::Exception;
  // zlib's text for one of its return codes.
  static EDecompressionError FromZlibCode(int code);
};

// A package whose trailer, sizes or paths cannot be trusted, or entries the writer cannot pack.
class EPackageError : public Exception {
 public:
  using Exception::Exception;
  // "Invalid target folder \"%s\"": a folder that would leave the destination, or a macro that
  // is not one of the two folder macros.
  static EPackageError InvalidTargetFolder(std::u16string_view folder);
  // "Invalid file name \"%s\"": a name whose last component is empty, "." or "..", or a
  // reserved device name.
  static EPackageError InvalidFileName(std::u16string_view name);
  // "Invalid size %d of file \"%s\"": a negative compressed or unpacked size.
  static EPackageError InvalidSize(std::int64_t size, std::u16string_view name);
  // "Invalid package table length (%d)": a negative length field.
  static EPackageError InvalidTableLength(std::int64_t length);
  // "The package is too short for its trailer".
  static EPackageError TrailerTooShort();
  // "The unpacked sizes of the package exceed 2147483647 bytes".
  static EPackageError TotalTooLarge();
  // "The target folder \"%s\" is a link to another place": a folder below the destination or the
  // system folder that is a symbolic link, junction or other reparse point.
  static EPackageError LinkInTargetFolder(std::u16string_view folder);
  // "The file table of the package is %d bytes long; at most %d are allowed".
  static EPackageError TableTextTooLarge(std::int64_t size, std::int64_t limit);
  // "The file table of the package holds %d rows; at most %d are allowed".
  static EPackageError TooManyRows(std::int64_t rows, std::int64_t limit);
};

}  // namespace setup
