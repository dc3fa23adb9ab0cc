#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/Errors.h"
#include "base/FileStream.h"
#include "base/FileSystem.h"

namespace setup {

namespace {
int Fd(std::intptr_t handle) { return static_cast<int>(handle); }
}  // namespace

FileStream::FileStream(const std::u16string& fileName, Mode mode) : fileName_(fileName), handle_(-1) {
  const std::string path = NativePath(fileName);
  if (mode == Mode::OpenRead) {
    handle_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (handle_ < 0) throw EFOpenError(fileName, LastErrorText());
    struct stat st {};
    if (::fstat(Fd(handle_), &st) == 0 && S_ISDIR(st.st_mode)) {
      ::close(Fd(handle_));
      errno = EISDIR;
      throw EFOpenError(fileName, LastErrorText());
    }
  } else if (mode == Mode::Log) {
    // Never through a link, and an existing file is only appended to (see FileStream.h).
    handle_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (handle_ < 0) throw EFCreateError(fileName, LastErrorText());
    struct stat st {};
    if (::fstat(Fd(handle_), &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1) {
      ::close(Fd(handle_));
      handle_ = -1;
      throw EFCreateError(fileName, kNotAPlainLogFile);
    }
  } else {
    handle_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (handle_ < 0) throw EFCreateError(fileName, LastErrorText());
  }
}

FileStream::~FileStream() {
  if (handle_ >= 0) ::close(Fd(handle_));
}

std::size_t FileStream::Read(void* buffer, std::size_t count) {
  auto* out = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = ::read(Fd(handle_), out + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

void FileStream::WriteBuffer(const void* buffer, std::size_t count) {
  const auto* in = static_cast<const char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(Fd(handle_), in + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw EWriteError();
    done += static_cast<std::size_t>(n);
  }
}

std::int64_t FileStream::Seek(std::int64_t offset, Origin origin) {
  const int whence = origin == Origin::Begin ? SEEK_SET : origin == Origin::Current ? SEEK_CUR : SEEK_END;
  return ::lseek(Fd(handle_), static_cast<off_t>(offset), whence);
}

std::int64_t FileStream::Size() {
  struct stat st {};
  return ::fstat(Fd(handle_), &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
}

}  // namespace setup
