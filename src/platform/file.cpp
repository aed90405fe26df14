#include "platform/file.h"

namespace reshape::platform {

// Built on ReadAt alone, so both platforms share it; the size seen at the open only reserves
// room, and a file that has grown since is still read to its end.
int File::ReadAll(std::string& bytes) {
  bytes.clear();
  if (openedSize_ > 0) bytes.reserve(static_cast<std::size_t>(openedSize_));
  char chunk[1 << 16];
  for (;;) {
    std::size_t got = 0;
    if (int code = ReadAt(static_cast<std::int64_t>(bytes.size()), chunk, sizeof chunk, got)) return code;
    if (got == 0) return 0;
    bytes.append(chunk, got);
  }
}

}  // namespace reshape::platform
