#include "platform/stream.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>
#include <vector>

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

void TStream::CopyFrom(TStream& source, std::int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  std::vector<char> chunk(static_cast<std::size_t>(std::min<std::int64_t>(count, 1 << 16)) + 1);
  while (count > 0) {
    auto n = static_cast<std::size_t>(std::min<std::int64_t>(count, chunk.size()));
    source.ReadBuffer(chunk.data(), n);
    WriteBuffer(chunk.data(), n);
    count -= static_cast<std::int64_t>(n);
  }
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
  if (position_ >= data_.size()) return 0;
  std::size_t n = std::min(count, data_.size() - position_);
  std::memcpy(buffer, data_.data() + position_, n);
  position_ += n;
  return n;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
  if (count == 0) return 0;
  try {
    std::size_t end = position_ + count;
    if (position_ == data_.size()) {
      // Writing at the end, the usual case: appending spares filling the new bytes twice.
      data_.append(static_cast<const char*>(buffer), count);
    } else {
      if (end > data_.size()) data_.resize(end);
      std::memcpy(data_.data() + position_, buffer, count);
    }
    position_ = end;
  } catch (const std::bad_alloc&) {
    throw EStreamError("Out of memory while expanding memory stream");
  } catch (const std::length_error&) {
    throw EStreamError("Out of memory while expanding memory stream");
  }
  return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, SeekOrigin origin) {
  std::int64_t base = 0;
  if (origin == SeekOrigin::Current) base = static_cast<std::int64_t>(position_);
  if (origin == SeekOrigin::End) base = static_cast<std::int64_t>(data_.size());
  std::int64_t target = base + offset;
  // A memory stream may stand beyond its end (a later write fills the gap), never before 0.
  position_ = static_cast<std::size_t>(std::max<std::int64_t>(target, 0));
  return static_cast<std::int64_t>(position_);
}

void TMemoryStream::Reserve(std::size_t size) {
  try {
    data_.reserve(size);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
}

void TMemoryStream::Clear() {
  data_.clear();
  position_ = 0;
}

}  // namespace reshape
