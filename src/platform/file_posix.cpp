#include "platform/file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/errors.h"
#include "platform/os_error.h"

namespace reshape::platform {

int File::Open(const std::string& name, Access access, Share share, Disposition disposition) {
  Close();
  if (name.empty()) return kFileNotFound;

  // Non-blocking, so that a pipe or device cannot stall the open; what it opened is checked
  // below, before anything is read, written or truncated. The flag has no effect on the regular
  // files that are kept open.
  bool writing = access != Access::Read;
  int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  flags |= access == Access::Read ? O_RDONLY : access == Access::Write ? O_WRONLY : O_RDWR;
  if (disposition != Disposition::OpenExisting) flags |= O_CREAT;
  // A first open that follows no link tells, at no extra cost, that the name is no link; a
  // link fails it (ELOOP, or EMLINK on some systems) and is opened again, followed.
  int fd = ::open(name.c_str(), flags | O_NOFOLLOW, 0666);
  bool ownName = fd >= 0;
  if (fd < 0 && (errno == ELOOP || errno == EMLINK)) fd = ::open(name.c_str(), flags, 0666);
  // A pipe without a reader or a device without a driver: not a file, like a directory.
  if (fd < 0) return errno == ENXIO ? kAccessDenied : LastErrorCode();

  // The lock is taken before anything is truncated, so a file held by another run is never
  // emptied.
  bool exclusive = share == Share::Exclusive || writing;
  int code = 0;
  struct stat st{};
  if (::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0 || ::fstat(fd, &st) != 0)
    code = LastErrorCode();
  // Only regular files are files here: a directory, pipe or device fails as a directory does.
  // Read-only files (owner-write bit clear) cannot be opened for writing, also by root.
  else if (!S_ISREG(st.st_mode) || (writing && (st.st_mode & S_IWUSR) == 0))
    code = kAccessDenied;
  else if (disposition == Disposition::CreateAlways && st.st_size != 0 && ::ftruncate(fd, 0) != 0)
    code = LastErrorCode();
  if (code != 0) {
    ::close(fd);
    return code;
  }
  handle_ = fd;
  openedSize_ = disposition == Disposition::CreateAlways ? 0 : st.st_size;
  ownName_ = ownName;
  return 0;
}

int File::ReadAt(std::int64_t offset, void* buffer, std::size_t count, std::size_t& got) {
  got = 0;
  ssize_t n;
  while ((n = ::pread(static_cast<int>(handle_), buffer, count, static_cast<off_t>(offset))) < 0)
    if (errno != EINTR) return LastErrorCode();
  got = static_cast<std::size_t>(n);
  return 0;
}

int File::WriteAt(std::int64_t offset, const void* buffer, std::size_t count) {
  const char* p = static_cast<const char*>(buffer);
  while (count > 0) {
    ssize_t n = ::pwrite(static_cast<int>(handle_), p, count, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? LastErrorCode() : kDiskFull;
    p += n;
    offset += n;
    count -= static_cast<std::size_t>(n);
  }
  return 0;
}

int File::Truncate(std::int64_t size) {
  return ::ftruncate(static_cast<int>(handle_), static_cast<off_t>(size)) == 0 ? 0
                                                                            : LastErrorCode();
}

int File::Close() {
  if (handle_ == -1) return 0;
  return ::close(static_cast<int>(std::exchange(handle_, -1))) == 0 ? 0 : LastErrorCode();
}

}  // namespace reshape::platform
