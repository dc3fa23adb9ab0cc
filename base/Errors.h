// The exception root and the classes that carry the texts users see.
#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace setup {

// Root of every failure the toolkit raises: holds the user-facing message in UTF-16
// and a UTF-8 copy for what().
class Exception : public std::exception {
 public:
  explicit Exception(std::u16string message);
  const std::u16string& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return utf8_.c_str(); }

 private:
  std::u16string message_;
  std::string utf8_;
};

// Indexed access out of range: "List index out of bounds (%d)".
class EListError : public Exception {
 public:
  using Exception::Exception;
  static EListError IndexOutOfBounds(long long index);
};

// Text that does not convert, and assignments between unrelated classes.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
  static EConvertError InvalidInteger(std::u16string_view text);
  static EConvertError InvalidBoolean(std::u16string_view text);
  static EConvertError CannotAssign(std::u16string_view sourceClass, std::u16string_view targetClass);
};

class EStreamError : public Exception {
 public:
  using Exception::Exception;
};
class EReadError : public EStreamError {
 public:
  EReadError();
};
class EWriteError : public EStreamError {
 public:
  EWriteError();
};
// "Cannot open file \"%s\". %s" with the system's reason.
class EFOpenError : public EStreamError {
 public:
  EFOpenError(std::u16string_view fileName, std::u16string_view reason);
};
// "Cannot create file \"%s\". %s" with the system's reason.
class EFCreateError : public EStreamError {
 public:
  EFCreateError(std::u16string_view fileName, std::u16string_view reason);
};

// "Unable to create directory".
class EInOutError : public Exception {
 public:
  using Exception::Exception;
  static EInOutError CannotCreateDirectory();
};

}  // namespace setup
