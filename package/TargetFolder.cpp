#include "package/TargetFolder.h"

#include "base/FileSystem.h"
#include "base/Text.h"
#include "package/PackageErrors.h"

namespace setup {

TargetFolder::TargetFolder(std::u16string base, std::u16string_view relative, Missing missing)
    : path_(IncludeTrailingPathDelimiter(std::move(base))) {
  const std::u16string basePath = path_;
  path_.append(relative);
  // The base is trusted (it may be a link), so a missing one is made as any folder would be.
  const bool baseOpen =
      OpenBase(basePath) || (missing == Missing::Create && ForceDirectories(basePath) && OpenBase(basePath));
  if (!baseOpen) {
    Fail();
    return;
  }
  std::size_t start = 0;
  while (start < relative.size()) {
    std::size_t end = relative.find_first_of(u"\\/", start);
    if (end == std::u16string_view::npos) end = relative.size();
    const std::u16string_view component = relative.substr(start, end - start);
    start = end + 1;
    if (component.empty() || component == u".") continue;
    if (!OpenComponent(component, missing, basePath + std::u16string(relative.substr(0, end)))) {
      Fail();
      return;
    }
  }
  open_ = true;
}

// The folder is named with the system's reason, so a file that cannot be written here says which
// folder stood in its way.
void TargetFolder::Fail() {
  const std::u16string reason = LastErrorText();  // before anything else can overwrite it
  failure_ = FormatText(u"Unable to create directory \"%s\". %s", {path_, reason});
}

TargetFolder::~TargetFolder() {
  for (const std::intptr_t handle : handles_) CloseHandle(handle);
}

TargetFolder::TargetFolder(TargetFolder&& other) noexcept
    : path_(std::move(other.path_)),
      failure_(std::move(other.failure_)),
      handles_(std::move(other.handles_)),
      open_(other.open_) {
  other.handles_.clear();
  other.open_ = false;
}

}  // namespace setup
