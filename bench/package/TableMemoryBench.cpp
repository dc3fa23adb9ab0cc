// Peak memory of loading a hostile file table: a package whose table holds nothing but row
// separators ("||||..."), so every byte of text becomes a row. Prints the process's peak
// resident size before and after the load, and what the load raised.
//
//   table_memory_bench [ROWS]     (default 2000000)
#include <sys/resource.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/Errors.h"
#include "base/FileStream.h"
#include "base/Text.h"
#include "crypto/Envelope.h"
#include "package/FileTable.h"

namespace {

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

std::string LittleEndian32(std::uint32_t v) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
  return bytes;
}

// An empty payload, the enciphered table and the three-byte tail that puts the length field
// right before it.
void WriteHostilePackage(const std::filesystem::path& file, long rows) {
  const std::u16string plain(static_cast<std::size_t>(rows - 1), u'|');
  const std::u16string envelope = setup::EncryptEnvelope(3, 6, u"", plain, u"SaltSalt", u"");
  std::string table;
  table.reserve(envelope.size());
  for (const char16_t c : envelope) table += static_cast<char>(c);
  std::ofstream out(file, std::ios::binary);
  out << table << LittleEndian32(static_cast<std::uint32_t>(table.size())) << std::string("\x0A\x14\x02", 3);
}

}  // namespace

int main(int argc, char** argv) {
  const long rows = argc > 1 ? std::atol(argv[1]) : 2000000;
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "table_memory_bench.stp";
  WriteHostilePackage(file, rows);
  std::printf("rows %ld, package %ju bytes\n", rows, static_cast<std::uintmax_t>(std::filesystem::file_size(file)));
  std::printf("peak before load: %ld KiB\n", PeakKilobytes());
  try {
    setup::FileStream package(file.u16string(), setup::FileStream::Mode::OpenRead);
    const setup::PackageTable table = setup::LoadFileTable(package, u"");
    std::printf("loaded %zu rows\n", table.rows.size());
  } catch (const setup::Exception& error) {
    std::printf("raised: %s\n", setup::ToUtf8(error.Message()).c_str());
  }
  std::printf("peak after load: %ld KiB\n", PeakKilobytes());
  std::filesystem::remove(file);
  return 0;
}
