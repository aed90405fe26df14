#include "platform/file.h"

#include <algorithm>

#include "base/errors.h"
#include "platform/os_error.h"
#include "platform/windows_api.h"

namespace reshape::platform {

namespace {

HANDLE Handle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// One system call moves at most this many bytes, so counts always fit a DWORD.
constexpr std::size_t kMaxTransfer = std::size_t{1} << 30;

bool IsDiskFull(DWORD error) { return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL; }

}  // namespace

int File::Open(const std::string& name, Access access, Share share, Disposition disposition) {
  Close();
  if (name.empty()) return kFileNotFound;

  bool writing = access != Access::Read;
  DWORD attributes = ::GetFileAttributesA(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    // Directories cannot be opened as files; read-only files cannot be opened for writing,
    // whatever rights the user has.
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return kAccessDenied;
    if (writing && (attributes & FILE_ATTRIBUTE_READONLY) != 0) return kAccessDenied;
  }

  DWORD desired = access == Access::Read    ? GENERIC_READ
                  : access == Access::Write ? GENERIC_WRITE
                                            : GENERIC_READ | GENERIC_WRITE;
  // A file opened only for writing is a scratch copy that the program renames into place while
  // it still holds it, which needs the delete share; every other file is held as asked.
  DWORD shareMode = (share == Share::DenyWrite ? FILE_SHARE_READ : 0) |
                    (access == Access::Write ? FILE_SHARE_DELETE : 0);
  DWORD creation = disposition == Disposition::OpenExisting   ? OPEN_EXISTING
                   : disposition == Disposition::CreateAlways ? CREATE_ALWAYS
                                                              : OPEN_ALWAYS;
  HANDLE file = ::CreateFileA(name.c_str(), desired, shareMode, nullptr, creation,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return LastErrorCode();
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file, &size)) {
    int code = LastErrorCode();
    ::CloseHandle(file);
    return code;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
  openedSize_ = size.QuadPart;
  return 0;
}

int File::ReadAt(std::int64_t offset, void* buffer, std::size_t count, std::size_t& got) {
  got = 0;
  // Every read and write names its offset, so the file pointer they move does not matter.
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset));
  at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
  DWORD read = 0;
  if (!::ReadFile(Handle(handle_), buffer, static_cast<DWORD>(std::min(count, kMaxTransfer)), &read,
                  &at) &&
      ::GetLastError() != ERROR_HANDLE_EOF)
    return LastErrorCode();
  got = read;
  return 0;
}

int File::WriteAt(std::int64_t offset, const void* buffer, std::size_t count) {
  HANDLE file = Handle(handle_);
  const char* p = static_cast<const char*>(buffer);
  int code = 0;
  while (count > 0 && code == 0) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset));
    at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
    DWORD written = 0;
    if (!::WriteFile(file, p, static_cast<DWORD>(std::min(count, kMaxTransfer)), &written, &at)) {
      DWORD error = ::GetLastError();
      code = IsDiskFull(error) ? kDiskFull : ErrorCodeFromSystem(error);
    } else if (written == 0) {
      code = kDiskFull;
    }
    p += written;
    offset += written;
    count -= written;
  }
  return code;
}

int File::Truncate(std::int64_t size) {
  // The file's end is where its pointer stands.
  LARGE_INTEGER end{};
  end.QuadPart = size;
  HANDLE file = Handle(handle_);
  if (!::SetFilePointerEx(file, end, nullptr, FILE_BEGIN) || !::SetEndOfFile(file))
    return LastErrorCode();
  return 0;
}

int File::Close() {
  if (handle_ == -1) return 0;
  HANDLE file = Handle(handle_);
  handle_ = -1;
  return ::CloseHandle(file) ? 0 : LastErrorCode();
}

}  // namespace reshape::platform
