// The failures the shell helpers raise. Each carries the text the user would see.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "base/Errors.h"

namespace setup {

// A registry key or value that cannot be created, set or read: "Failed to create key %s",
// "Failed to set data for '%s'", "Failed to get data for '%s'", "Invalid data type for '%s'".
class ERegistryException : public Exception {
 public:
  using Exception::Exception;
};

// A COM call that failed; carries the call's HRESULT.
class EOleSysError : public Exception {
 public:
  EOleSysError(std::u16string message, std::int32_t errorCode) : Exception(std::move(message)), errorCode_(errorCode) {}
  std::int32_t ErrorCode() const noexcept { return errorCode_; }

 private:
  std::int32_t errorCode_;
};

// An object that lacks an interface it must have: "Interface not supported".
class EIntfCastError : public Exception {
 public:
  EIntfCastError() : Exception(u"Interface not supported") {}
};

}  // namespace setup
