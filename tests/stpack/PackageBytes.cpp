#include "PackageBytes.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <iterator>

#include "crypto/Suite.h"

namespace setup::testing_support {

std::string ReadFileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  EXPECT_TRUE(in.good()) << file;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::filesystem::path& file, const std::string& bytes) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  EXPECT_TRUE(out.good()) << file;
}

std::string Deflate(const std::string& bytes) {
  uLongf size = compressBound(static_cast<uLong>(bytes.size()));
  std::string out(size, '\0');
  const int rc = compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(bytes.data()),
                           static_cast<uLong>(bytes.size()), 9);
  EXPECT_EQ(rc, Z_OK);
  out.resize(size);
  return out;
}

std::string Inflate(const std::string& stream, std::size_t unpackedSize) {
  std::string out(unpackedSize, '\0');
  uLongf size = static_cast<uLongf>(unpackedSize);
  // uncompress needs room for at least one byte to report a complete empty stream.
  std::string room = unpackedSize == 0 ? std::string(1, '\0') : std::string();
  Bytef* target = unpackedSize == 0 ? reinterpret_cast<Bytef*>(room.data()) : reinterpret_cast<Bytef*>(out.data());
  if (unpackedSize == 0) size = 1;
  uLong sourceLength = static_cast<uLong>(stream.size());
  const int rc = uncompress2(target, &size, reinterpret_cast<const Bytef*>(stream.data()), &sourceLength);
  EXPECT_EQ(rc, Z_OK);
  EXPECT_EQ(sourceLength, stream.size()) << "the stream has bytes after its end";
  EXPECT_EQ(unpackedSize == 0 ? 0u : size, unpackedSize);
  return out;
}

std::string AssemblePackage(const std::string& payload, const std::string& tableBytes) {
  std::string package = payload + tableBytes;
  const auto length = static_cast<std::uint32_t>(tableBytes.size());
  for (int shift = 0; shift < 32; shift += 8) package += static_cast<char>((length >> shift) & 0xFF);
  package += std::string("\x0A\x14\x02", 3);
  return package;
}

std::u16string Rc4Md5Envelope(std::u16string_view salt, std::u16string_view password, std::u16string_view plainText) {
  constexpr int kRc4 = 6;
  constexpr int kMd5 = 1;
  const auto hash = CreateHashByIndex(kMd5);
  const auto cipher = CreateCipherByIndex(kRc4);
  std::vector<std::uint8_t> digest(static_cast<std::size_t>(hash->GetHashSize() / 8));
  hash->Init();
  hash->UpdateStr(std::u16string(salt) + std::u16string(password));
  hash->Final(digest.data());
  cipher->Init(digest.data(), static_cast<std::uint32_t>(hash->GetHashSize()));
  std::u16string envelope(salt);
  envelope += static_cast<char16_t>(salt[3] - kRc4);
  envelope += static_cast<char16_t>(salt[4] - kMd5);
  envelope += cipher->EncryptString(plainText);
  cipher->Burn();
  return envelope;
}

PackageParts SplitPackage(const std::string& package) {
  PackageParts parts;
  EXPECT_GE(package.size(), 7u);
  if (package.size() < 7) return parts;
  EXPECT_EQ(package.substr(package.size() - 3), std::string("\x0A\x14\x02", 3));
  const std::size_t field = package.size() - 7;
  std::uint32_t length = 0;
  for (int i = 0; i < 4; ++i)
    length |= static_cast<std::uint32_t>(static_cast<unsigned char>(package[field + i])) << (8 * i);
  EXPECT_LE(length, field);
  if (length > field) return parts;
  parts.payload = package.substr(0, field - length);
  parts.tableBytes = package.substr(field - length, length);
  return parts;
}

std::vector<std::vector<std::u16string>> TableRows(std::u16string_view plainText) {
  std::u16string_view rest = plainText;
  if (rest.starts_with(u'#')) {
    const std::size_t close = rest.find(u'#', 1);
    if (close != std::u16string_view::npos) rest.remove_prefix(close + 1);
  }
  std::vector<std::vector<std::u16string>> rows;
  std::vector<std::u16string> cells{{}};
  for (const char16_t c : rest) {
    if (c == u'|') {
      rows.push_back(std::move(cells));
      cells = {{}};
    } else if (c == u',') {
      cells.emplace_back();
    } else {
      cells.back() += c;
    }
  }
  rows.push_back(std::move(cells));
  for (auto& row : rows) {
    if (row.size() < 2) continue;
    for (char16_t& c : row[1]) {
      if (c == 26) c = u',';
      if (c == 27) c = u'|';
    }
  }
  return rows;
}

}  // namespace setup::testing_support
