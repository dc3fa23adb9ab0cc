#include "package/PackageErrors.h"

#include <zlib.h>

#include "base/Text.h"

namespace setup {

// zlib's own texts for its codes, spelt here: the setup program inflates without zlib.
EDecompressionError EDecompressionError::FromZlibCode(int code) {
  struct Text {
    int code;
    const char16_t* text;
  };
  static constexpr Text kTexts[] = {{Z_NEED_DICT, u"need dictionary"}, {Z_STREAM_END, u"stream end"},
                                    {Z_ERRNO, u"file error"},          {Z_STREAM_ERROR, u"stream error"},
                                    {Z_DATA_ERROR, u"data error"},     {Z_MEM_ERROR, u"insufficient memory"},
                                    {Z_BUF_ERROR, u"buffer error"},    {Z_VERSION_ERROR, u"incompatible version"}};
  for (const Text& entry : kTexts)
    if (entry.code == code) return EDecompressionError(entry.text);
  return EDecompressionError(u"");
}

EPackageError EPackageError::InvalidTargetFolder(std::u16string_view folder) {
  return EPackageError(FormatText(u"Invalid target folder \"%s\"", {folder}));
}

EPackageError EPackageError::InvalidFileName(std::u16string_view name) {
  return EPackageError(FormatText(u"Invalid file name \"%s\"", {name}));
}

EPackageError EPackageError::InvalidSize(std::int64_t size, std::u16string_view name) {
  return EPackageError(FormatText(u"Invalid size %d of file \"%s\"", {IntToText(size), name}));
}

EPackageError EPackageError::InvalidTableLength(std::int64_t length) {
  return EPackageError(FormatText(u"Invalid package table length (%d)", {IntToText(length)}));
}

EPackageError EPackageError::TrailerTooShort() { return EPackageError(u"The package is too short for its trailer"); }

EPackageError EPackageError::TotalTooLarge() {
  return EPackageError(u"The unpacked sizes of the package exceed 2147483647 bytes");
}

EPackageError EPackageError::LinkInTargetFolder(std::u16string_view folder) {
  return EPackageError(FormatText(u"The target folder \"%s\" is a link to another place", {folder}));
}

EPackageError EPackageError::TableTextTooLarge(std::int64_t size, std::int64_t limit) {
  return EPackageError(FormatText(u"The file table of the package is %d bytes long; at most %d are allowed",
                                  {IntToText(size), IntToText(limit)}));
}

EPackageError EPackageError::TooManyRows(std::int64_t rows, std::int64_t limit) {
  return EPackageError(FormatText(u"The file table of the package holds %d rows; at most %d are allowed",
                                  {IntToText(rows), IntToText(limit)}));
}

}  // namespace setup
