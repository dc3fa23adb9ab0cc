// A one-line progress bar on standard error, drawn only when a person is watching.
#pragma once

#include <cstdint>
#include <string>

namespace setup::stpack {

class ProgressBar {
 public:
  // Draws nothing unless `visible` (normally StderrIsTerminal()).
  ProgressBar(std::u16string label, bool visible);
  // Ends the bar's line, so an error message that follows starts on a line of its own.
  ~ProgressBar();
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  // Percentages outside 0..100 are clamped; the line is redrawn only when the value changes.
  void Show(std::int64_t percent);

 private:
  std::u16string label_;
  bool visible_;
  int shown_ = -1;
};

}  // namespace setup::stpack
