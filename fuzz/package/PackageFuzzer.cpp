// ExtractPackage on any bytes. The destination and the system folder lie four folders deep in a
// private sandbox, so a file that escapes them by "..", or a temporary file left behind, shows up
// in the sandbox listing. Failures must be the toolkit's exceptions, and progress stays in 0..100
// and never goes back.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "base/Errors.h"
#include "package/Extract.h"

namespace {

namespace fs = std::filesystem;

struct Sandbox {
  Sandbox() {
    root = fs::temp_directory_path() / ("package_fuzz_" + std::to_string(::getpid()));
    fs::remove_all(root);
    const fs::path deep = root / "a" / "b" / "c";
    destination = deep / "dest";
    system = deep / "sys";
    package = root / "Setup.stp";
    fs::create_directories(deep);
  }
  ~Sandbox() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  fs::path root;
  fs::path destination;
  fs::path system;
  fs::path package;
};

Sandbox& TheSandbox() {
  static Sandbox sandbox;
  return sandbox;
}

bool Inside(const fs::path& path, const fs::path& folder) {
  const fs::path relative = path.lexically_relative(folder);
  return !relative.empty() && *relative.begin() != "..";
}

// Everything in the sandbox must be the package, a folder on the way, or inside the two folders,
// and no temporary file may be left.
void CheckSandbox(const Sandbox& sandbox) {
  for (const auto& item : fs::recursive_directory_iterator(sandbox.root)) {
    const fs::path& path = item.path();
    if (path == sandbox.package) continue;
    if (item.is_directory() && Inside(sandbox.destination, path)) continue;
    if (item.is_directory() && Inside(sandbox.system, path)) continue;
    if (!Inside(path, sandbox.destination) && !Inside(path, sandbox.system)) std::abort();
    if (path.filename().string().rfind("~stp", 0) == 0) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Sandbox& sandbox = TheSandbox();
  fs::remove_all(sandbox.destination);
  fs::remove_all(sandbox.system);
  fs::create_directories(sandbox.system);
  {
    std::ofstream out(sandbox.package, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }

  std::int64_t last = 0;
  const std::u16string system = sandbox.system.u16string() + u"/";
  try {
    setup::ExtractPackage(
        sandbox.package.u16string(), sandbox.destination.u16string() + u"/", u"",
        [&last](std::int64_t percent) {
          if (percent < last || percent > 100) std::abort();
          last = percent;
        },
        [&system] { return system; });
  } catch (const setup::Exception&) {
    // Malformed packages fail with the toolkit's errors; anything else ends the run.
  }
  CheckSandbox(sandbox);
  return 0;
}
