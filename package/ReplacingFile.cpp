#include "package/ReplacingFile.h"

#include <array>

#include "base/Errors.h"
#include "base/FileSystem.h"
#include "crypto/Random.h"

namespace setup {

namespace {

constexpr int kNameAttempts = 16;

// Eight random bytes in hexadecimal: unique enough that a clash only costs another attempt.
std::u16string RandomTag() {
  std::array<std::uint8_t, 8> bytes{};
  FillSecureRandom(bytes.data(), bytes.size());
  std::u16string tag;
  for (const std::uint8_t b : bytes) {
    tag += u"0123456789abcdef"[b >> 4];
    tag += u"0123456789abcdef"[b & 15];
  }
  return tag;
}

std::u16string FolderOf(const std::u16string& path) {
  const std::size_t cut = path.find_last_of(u"\\/");
  return cut == std::u16string::npos ? std::u16string() : path.substr(0, cut + 1);
}

}  // namespace

ReplacingFile::ReplacingFile(std::u16string target) : target_(std::move(target)), handle_(-1) {
  const std::u16string folder = FolderOf(target_);
  std::u16string reason;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    temporary_ = folder + u"~stp" + RandomTag() + u".tmp";
    if (CreateExclusive()) {
      open_ = true;
      return;
    }
    reason = LastErrorText();  // before anything else can overwrite it
    // Only a clash with an existing name is worth another attempt.
    if (!FileExists(temporary_)) break;
  }
  throw EFCreateError(target_, reason);
}

ReplacingFile::~ReplacingFile() {
  if (committed_) return;
  // An abandoned temporary file: nothing to report from a destructor, so both results go unread.
  if (open_) (void)Close();
  (void)RemoveFile(temporary_);
}

void ReplacingFile::Write(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  while (size != 0) {
    std::size_t written = 0;
    if (!WriteSome(bytes, size, written) || written == 0) throw EWriteError();
    bytes += written;
    size -= written;
  }
}

void ReplacingFile::Commit() {
  open_ = false;
  if (!Close()) throw EWriteError();
  if (!MoveOverTarget()) throw EFCreateError(target_, LastErrorText());
  committed_ = true;
}

}  // namespace setup
