// Writes small valid packages into the folder given on the command line, as seeds for the
// package fuzzer: RC4 keeps a changed ciphertext byte local, so mutations reach the table rows.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/Errors.h"
#include "package/PackageWriter.h"

namespace fs = std::filesystem;

namespace {

void Source(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: package_fuzz_seeds <folder>\n", stderr);
    return 2;
  }
  const fs::path folder = argv[1];
  fs::create_directories(folder);
  Source(folder / "one.src", "hello package");
  Source(folder / "two.src", std::string(300, 'x') + "tail");
  Source(folder / "empty.src", "");
  const auto one = (folder / "one.src").u16string();
  const auto two = (folder / "two.src").u16string();
  const auto empty = (folder / "empty.src").u16string();

  struct Seed {
    const char* name;
    std::vector<setup::PackageEntry> entries;
    int hash;
    int cipher;
  };
  const std::vector<Seed> seeds = {
      {"single.stp", {{u"", u"a.txt", one, {}}}, 1, 6},
      {"folders.stp", {{u"sub\\deeper\\", u"b,c.txt", two, {}}, {u"", u"e", empty, {}}}, 3, 6},
      {"macros.stp", {{u"$System$", u"x.dll", one, {}}, {u"$Third$lib\\", u"y.dll", two, {}}}, 2, 6},
      {"flags.stp", {{u"sub\\", u"f.txt", one, true}, {u"sub\\", u"g|h.txt", two, false}}, 0, 6},
      {"rijndael.stp", {{u"", u"a.txt", one, {}}, {u"z\\", u"b.txt", two, {}}}, 3, 5},
  };
  try {
    for (const Seed& seed : seeds) {
      setup::PackageWriterOptions options;
      options.hashIndex = seed.hash;
      options.cipherIndex = seed.cipher;
      options.reproducible = true;
      options.jobs = 1;
      setup::WritePackage(seed.entries, (folder / seed.name).u16string(), options);
    }
  } catch (const setup::Exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  for (const char* source : {"one.src", "two.src", "empty.src"}) fs::remove(folder / source);
  return 0;
}
