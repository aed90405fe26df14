// The abstract byte stream under the file stream (file_stream.h) that the form pass reads,
// backs up and writes form files through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace reshape {

enum class SeekOrigin { Begin, Current, End };

class TStream {
 public:
  virtual ~TStream() = default;
  // Reads up to count bytes; returns how many were read (0 at the end or on a failure).
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  // Writes up to count bytes; returns how many were taken (fewer only on a failure).
  virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
  // Moves the position and returns the new one.
  virtual std::int64_t Seek(std::int64_t offset, SeekOrigin origin) = 0;

  std::int64_t Position() { return Seek(0, SeekOrigin::Current); }
  void SetPosition(std::int64_t position) { Seek(position, SeekOrigin::Begin); }
  std::int64_t Size();

  // Reads exactly count bytes or fails with EReadError "Stream read error".
  void ReadBuffer(void* buffer, std::size_t count);
  // Writes all count bytes or fails with EWriteError "Stream write error".
  void WriteBuffer(const void* buffer, std::size_t count);
  void WriteBuffer(std::string_view bytes) { WriteBuffer(bytes.data(), bytes.size()); }
};

}  // namespace reshape
