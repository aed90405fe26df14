#include "platform/stream.h"

#include "base/errors.h"

namespace reshape {

std::int64_t TStream::Size() {
  std::int64_t position = Seek(0, SeekOrigin::Current);
  std::int64_t size = Seek(0, SeekOrigin::End);
  Seek(position, SeekOrigin::Begin);
  return size;
}

void TStream::ReadBuffer(void* buffer, std::size_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::size_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

}  // namespace reshape
