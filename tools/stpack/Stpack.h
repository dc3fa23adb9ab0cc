// The tool's entry after the platform has turned the command line into UTF-16 arguments.
#pragma once

#include <span>
#include <string>

namespace setup::stpack {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // the reason is the last line on standard error
inline constexpr int kExitUsage = 2;

// Runs one command; `arguments` excludes the program name. Never raises.
int RunStpack(std::span<const std::u16string> arguments) noexcept;

}  // namespace setup::stpack
