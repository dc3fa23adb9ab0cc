// A fresh folder under the system's temporary folder, removed with everything in it at the end.
#pragma once

#include <atomic>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#include "base/FileSystem.h"
#include "base/Text.h"

namespace setup::testing_support {

class TempFolder {
 public:
  TempFolder() {
    static std::atomic<int> counter{0};
    std::random_device random;
    const std::string leaf = "setup_test_" + std::to_string(random()) + "_" + std::to_string(counter++);
    path_ = std::filesystem::temp_directory_path() / leaf;
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // The folder as the toolkit's UTF-16 text, with a folder separator at the end.
  std::u16string Text() const { return IncludeTrailingPathDelimiter(path_.u16string()); }

 private:
  std::filesystem::path path_;
};

}  // namespace setup::testing_support
