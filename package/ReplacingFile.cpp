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

std::size_t NameStart(const std::u16string& path) {
  const std::size_t cut = path.find_last_of(u"\\/");
  return cut == std::u16string::npos ? 0 : cut + 1;
}

}  // namespace

ReplacingFile::ReplacingFile(const std::u16string& target)
    : ownFolder_(std::in_place, target.substr(0, NameStart(target)), u"", TargetFolder::Missing::Stop),
      folder_(&*ownFolder_),
      name_(std::u16string_view(target).substr(NameStart(target))),
      target_(folder_->Path() + name_),
      handle_(-1) {
  Create();
}

ReplacingFile::ReplacingFile(const TargetFolder& folder, std::u16string_view name)
    : folder_(&folder), name_(name), target_(folder_->Path() + name_), handle_(-1) {
  Create();
}

// The exclusive creation fails on any name that exists, a link or a folder included: those take
// the temporary-name path, whose move replaces a file or a link and fails on a folder.
void ReplacingFile::Create() {
  if (folder_->IsOpen()) {
    temporaryName_ = name_;
    temporary_ = target_;
    if (CreateExclusive()) {
      open_ = true;
      inPlace_ = true;
      return;
    }
  }
  CreateTemporary();
}

void ReplacingFile::CreateTemporary() {
  if (!folder_->IsOpen()) throw EFCreateError(target_, folder_->FailureText());
  std::u16string reason;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    temporaryName_ = u"~stp" + RandomTag() + u".tmp";
    temporary_ = folder_->Path() + temporaryName_;
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
  if (open_) (void)Close();  // abandoned: nothing to report from a destructor
  RemoveTemporary();
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
  if (inPlace_) {
    if (!Close()) throw EWriteError();
    committed_ = true;
    return;
  }
  switch (CloseAndMove()) {
    case Ending::CloseFailed:
      throw EWriteError();
    case Ending::MoveFailed:
      throw EFCreateError(target_, LastErrorText());
    case Ending::Done:
      break;
  }
  committed_ = true;
}

void ReplacingFile::KeepUnmoved() {
  open_ = false;
  if (!Close()) throw EWriteError();
  committed_ = true;
}

}  // namespace setup
