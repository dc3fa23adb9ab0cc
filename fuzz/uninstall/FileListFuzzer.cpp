// Parses arbitrary bytes as the uninstaller's file list and checks what must hold for every list
// it accepts: each entry stays inside the install folder, and each folder to empty is a folder of
// a listed file, given deepest first.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "install/FileList.h"

namespace {

void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

bool StaysInside(const std::u16string& entry) {
  if (entry.empty() || entry.front() == u'\\' || entry.back() == u'\\') return false;
  if (entry.find(u':') != std::u16string::npos || entry.find(u'/') != std::u16string::npos) return false;
  if (entry.find(u"\\\\") != std::u16string::npos) return false;
  const std::u16string framed = u"\\" + entry + u"\\";
  return framed.find(u"\\..\\") == std::u16string::npos && framed.find(u"\\.\\") == std::u16string::npos;
}

std::size_t Depth(const std::u16string& path) {
  return static_cast<std::size_t>(std::count(path.begin(), path.end(), u'\\'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::u16string> files;
  try {
    files = setup::ParseFileList(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const setup::EFileListError& error) {
    Require(error.Message().starts_with(u"Invalid file list entry on line "), "the error names its line");
    return 0;
  }
  for (const std::u16string& file : files) {
    Require(StaysInside(file), "an accepted entry leaves the install folder");
    Require(setup::IsInstallFolderPath(file), "an accepted entry fails the entry test");
  }
  const std::vector<std::u16string> folders = setup::FoldersOfFiles(files);
  for (std::size_t i = 0; i < folders.size(); ++i) {
    Require(StaysInside(folders[i]), "a folder to empty leaves the install folder");
    Require(i == 0 || Depth(folders[i - 1]) >= Depth(folders[i]), "folders are not deepest first");
    const bool holdsAFile = std::any_of(files.begin(), files.end(), [&](const std::u16string& file) {
      return file.size() > folders[i].size() && file.starts_with(folders[i]) && file[folders[i].size()] == u'\\';
    });
    Require(holdsAFile, "a folder to empty holds no listed file");
  }
  return 0;
}
