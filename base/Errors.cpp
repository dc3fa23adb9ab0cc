#include "base/Errors.h"

#include "base/Text.h"

namespace setup {

Exception::Exception(std::u16string message) : message_(std::move(message)), utf8_(ToUtf8(message_)) {}

EListError EListError::IndexOutOfBounds(long long index) {
  return EListError(FormatText(u"List index out of bounds (%d)", {IntToText(index)}));
}

EConvertError EConvertError::InvalidInteger(std::u16string_view text) {
  return EConvertError(FormatText(u"''%s'' is not a valid integer value", {text}));
}

EConvertError EConvertError::InvalidBoolean(std::u16string_view text) {
  return EConvertError(FormatText(u"'%s' is not a valid boolean value", {text}));
}

EConvertError EConvertError::CannotAssign(std::u16string_view sourceClass, std::u16string_view targetClass) {
  return EConvertError(FormatText(u"Cannot assign a %s to a %s", {sourceClass, targetClass}));
}

EReadError::EReadError() : EStreamError(u"Stream read error") {}
EWriteError::EWriteError() : EStreamError(u"Stream write error") {}

EFOpenError::EFOpenError(std::u16string_view fileName, std::u16string_view reason)
    : EStreamError(FormatText(u"Cannot open file \"%s\". %s", {fileName, reason})) {}

EFCreateError::EFCreateError(std::u16string_view fileName, std::u16string_view reason)
    : EStreamError(FormatText(u"Cannot create file \"%s\". %s", {fileName, reason})) {}

EInOutError EInOutError::CannotCreateDirectory() { return EInOutError(u"Unable to create directory"); }

}  // namespace setup
