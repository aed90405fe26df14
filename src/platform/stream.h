// Byte streams: the abstract stream that the form reader, writer, converter and compiler work
// on, and the in-memory stream. The file stream lives in file_stream.h.
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
  // Copies count bytes from source (all of it from its start when count is 0).
  void CopyFrom(TStream& source, std::int64_t count);
};

// A growable stream in memory. Growth failure is EStreamError
// "Out of memory while expanding memory stream".
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::string bytes) : data_(std::move(bytes)) {}

  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;

  const std::string& Bytes() const { return data_; }
  // Makes room for size bytes in advance, so that writing up to them copies nothing. Only a
  // hint: when the room cannot be had, the stream grows as it is written.
  void Reserve(std::size_t size);
  void Clear();

 private:
  std::string data_;
  std::size_t position_ = 0;
};

}  // namespace reshape
