// An open file of the platform, owned by an object: closing it (explicitly or by the
// destructor) releases it and its lock. Operations return 0 or a platform error code (2 file
// not found, 5 access denied, 32 sharing violation, ...); callers turn codes into the failure
// their context names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace reshape::platform {

// Write alone is for scratch copies: on Windows such a file may be renamed into place while the
// program still holds it.
enum class Access { Read, Write, ReadWrite };

// How others may use the file while it is open. Emulated with advisory whole-file locks: a
// reader takes a shared lock; a writer, or "no sharing", takes an exclusive one, so a second
// writer always fails with a sharing violation instead of mixing its bytes in. On Windows they
// are the system's own share modes.
enum class Share { DenyWrite, Exclusive };

enum class Disposition {
  OpenExisting,  // the file must exist
  CreateAlways,  // create it, or empty an existing one
  OpenAlways,    // open it, creating it empty when missing
};

class File {
 public:
  File() = default;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  File(File&& other) noexcept
      : handle_(std::exchange(other.handle_, -1)), openedSize_(other.openedSize_),
        ownName_(other.ownName_) {}
  ~File() { Close(); }

  int Open(const std::string& name, Access access, Share share, Disposition disposition);
  // The file's size when it was opened (0 after CreateAlways): known without another call.
  std::int64_t OpenedSize() const { return openedSize_; }
  // True when the open found the name to be the file itself, not a link to it (false when
  // the platform does not tell).
  bool OpenedOwnName() const { return ownName_; }

  // Reads up to count bytes from offset on; got is 0 at the end of the file.
  int ReadAt(std::int64_t offset, void* buffer, std::size_t count, std::size_t& got);
  // Reads the whole file.
  int ReadAll(std::string& bytes);
  // Writes all count bytes from offset on, or fails (101 when the disk is full).
  int WriteAt(std::int64_t offset, const void* buffer, std::size_t count);
  int Truncate(std::int64_t size);
  int Close();

 private:
  // A file descriptor, or a Windows handle; -1 is none on both.
  std::intptr_t handle_ = -1;
  std::int64_t openedSize_ = 0;
  bool ownName_ = false;
};

}  // namespace reshape::platform
