#include "ToolRunner.h"

namespace setup::testing_support {

std::string ToolResult::LastErrorLine() const {
  std::size_t end = err.size();
  while (end > 0 && (err[end - 1] == '\n' || err[end - 1] == '\r')) --end;
  const std::size_t start = err.find_last_of('\n', end == 0 ? 0 : end - 1);
  const std::size_t first = (start == std::string::npos || end == 0) ? 0 : start + 1;
  std::string line = err.substr(first, end - first);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace setup::testing_support
