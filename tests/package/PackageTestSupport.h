// Helpers for the package tests: files as bytes, folder listings, zlib streams and hand-built
// packages with any table text and trailer layout.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

#include "base/Errors.h"
#include "base/Text.h"
#include "crypto/Envelope.h"
#include "package/Extract.h"
#include "package/PackageWriter.h"
#include "tests/support/TempFolder.h"

namespace setup::testing_support {

namespace fs = std::filesystem;

inline fs::path PathOf(const std::u16string& text) { return fs::path(text); }

inline std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const fs::path& path, std::string_view bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Every file below root, as "folder/name" (generic separators), sorted.
inline std::vector<std::string> ListFiles(const fs::path& root) {
  std::vector<std::string> files;
  if (!fs::exists(root)) return files;
  for (const auto& item : fs::recursive_directory_iterator(root)) {
    if (item.is_regular_file()) files.push_back(ToUtf8(fs::relative(item.path(), root).generic_u16string()));
  }
  std::sort(files.begin(), files.end());
  return files;
}

// The zlib stream of data at the given level, made by zlib's own one-shot compressor.
inline std::string Zlib(std::string_view data, int level = Z_DEFAULT_COMPRESSION) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::string out(size, '\0');
  EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
                      static_cast<uLong>(data.size()), level),
            Z_OK);
  out.resize(size);
  return out;
}

// The zlib stream of data at the given level and strategy, made by zlib's streaming compressor.
inline std::string ZlibWithStrategy(std::string_view data, int level, int strategy) {
  z_stream stream{};
  EXPECT_EQ(deflateInit2(&stream, level, Z_DEFLATED, 15, 8, strategy), Z_OK);
  std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
  stream.next_in = const_cast<Bytef*>(reinterpret_cast<const Bytef*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

inline std::string LittleEndian32(std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  return {static_cast<char>(bits), static_cast<char>(bits >> 8), static_cast<char>(bits >> 16),
          static_cast<char>(bits >> 24)};
}

// The usual tail: length field, then 0x0A 0x14 0x02.
inline const std::string kStandardTail("\x0A\x14\x02", 3);

// Payload, then the table text enciphered (RC4 with SHA-256 and a fixed salt unless given),
// then its length and the bytes after the length field.
inline std::string HandBuiltPackage(std::string_view payload, std::u16string_view plainTable,
                                    std::string_view afterLength = kStandardTail, std::u16string_view password = u"") {
  const std::u16string envelope = EncryptEnvelope(3, 6, password, plainTable, u"SaltSalt", u"");
  std::string table;
  for (const char16_t c : envelope) table += static_cast<char>(c);
  return std::string(payload) + table + LittleEndian32(static_cast<std::int32_t>(table.size())) +
         std::string(afterLength);
}

// A folder two levels below a fresh temporary folder, so that a file escaping it by ".." or
// "..\\.." still shows up in the sandbox listing.
class NestedFolder {
 public:
  NestedFolder() { fs::create_directories(path_); }
  const fs::path& Path() const { return path_; }
  std::u16string Text() const { return IncludeTrailingPathDelimiter(path_.u16string()); }
  const fs::path& Sandbox() const { return sandbox_.Path(); }

 private:
  TempFolder sandbox_;
  fs::path path_ = sandbox_.Path() / "inner" / "folder";
};

inline std::u16string Text(const fs::path& path) { return path.u16string(); }

// The message of the setup::Exception that body raises; fails the test when none is raised.
template <class Body>
std::string MessageOf(Body&& body) {
  try {
    body();
  } catch (const Exception& error) {
    return error.what();
  }
  ADD_FAILURE() << "no exception";
  return {};
}

// Files left behind by the replacing writes: none may survive a call.
inline bool HoldsTemporaryFile(const fs::path& root) {
  const std::vector<std::string> files = ListFiles(root);
  return std::any_of(files.begin(), files.end(),
                     [](const std::string& f) { return f.find("~stp") != std::string::npos; });
}

#ifndef _WIN32
// While it is in force, writes beyond the limit fail as on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limit = previous_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit previous_{};
  void (*previousHandler_)(int);
};
#endif

}  // namespace setup::testing_support
