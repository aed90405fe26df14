#include "platform/file.h"

namespace reshape::platform {

// Built on ReadAt alone, so both platforms share it. The bytes are read straight into the
// string, sized by what the open saw plus one byte: a file of that size takes one read, which
// comes back short at its end, and a file that has grown since fills the buffer and is read on.
int File::ReadAll(std::string& bytes) {
  std::size_t size = 0;
  bytes.resize(openedSize_ > 0 ? static_cast<std::size_t>(openedSize_) + 1 : std::size_t{1} << 16);
  for (;;) {
    if (size == bytes.size()) bytes.resize(2 * size);
    const std::size_t wanted = bytes.size() - size;
    std::size_t got = 0;  // 0 too when the read fails
    const int code = ReadAt(static_cast<std::int64_t>(size), bytes.data() + size, wanted, got);
    size += got;
    // A regular file reads short at its end, or where one read cannot take more.
    if (code != 0 || got == 0 || (got < wanted && static_cast<std::int64_t>(size) >= openedSize_)) {
      bytes.resize(size);
      return code;
    }
  }
}

}  // namespace reshape::platform
