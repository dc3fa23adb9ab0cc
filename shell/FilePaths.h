// Paths as the uninstaller compares them (Windows only).
#pragma once

#include <string>

namespace setup {

// The full path of this program's file.
std::u16string ModuleFilePath();

// Whether both paths name one existing file, whatever their spelling (case, short names,
// "..", another drive mapping): compared by volume and file index.
bool SameFile(const std::u16string& a, const std::u16string& b);

// Whether `path` lies in `folder` or in a folder below it. Both are made full and long, and
// compared without regard to case.
bool LiesInFolder(const std::u16string& path, const std::u16string& folder);

}  // namespace setup
