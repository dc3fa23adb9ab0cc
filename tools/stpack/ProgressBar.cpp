#include "tools/stpack/ProgressBar.h"

#include <algorithm>
#include <utility>

#include "base/Text.h"
#include "tools/stpack/Console.h"

namespace setup::stpack {

namespace {
constexpr int kBarWidth = 40;
}

ProgressBar::ProgressBar(std::u16string label, bool visible) : label_(std::move(label)), visible_(visible) {}

ProgressBar::~ProgressBar() {
  if (visible_ && shown_ >= 0) WriteStderr(u"\n");
}

void ProgressBar::Show(std::int64_t percent) {
  const int clamped = static_cast<int>(std::clamp<std::int64_t>(percent, 0, 100));
  if (!visible_ || clamped == shown_) return;
  shown_ = clamped;
  const int filled = clamped * kBarWidth / 100;
  std::u16string line = u"\r" + label_ + u" [";
  line.append(static_cast<std::size_t>(filled), u'#');
  line.append(static_cast<std::size_t>(kBarWidth - filled), u' ');
  line += u"] ";
  const std::u16string number = IntToText(clamped);
  line.append(3 - number.size(), u' ');
  line += number + u"%";
  WriteStderr(line);
}

}  // namespace setup::stpack
