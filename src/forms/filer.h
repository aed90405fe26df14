// The binary form stream: its byte layout, and the buffered reader and writer that every form
// conversion uses to take it apart and put it together, one tag, number or string at a time.
//
// Layout (all numbers little-endian, names and strings are bytes without terminator):
//
//   form file      resource header (see resource_header.h), then one binary form stream
//   form stream    FormSignature "TPF0", then one object record (the root)
//   object record  [prefix] class name, object name, property records, 0, child records, 0
//   prefix         one byte 0xF0..0xFF; low four bits are flags: PrefixInherited (1),
//                  PrefixChildPos (2, an integer value with its tag follows), PrefixInline (4)
//   short string   length byte 0..255, then that many bytes (class names stay below 240 so
//                  that the length byte is never taken for a prefix)
//   property       name as a short string (maybe dotted, never empty), then one value
//   value          tag byte, then its payload:
//      0 TagNull        none; the same byte ends every list (as a value: identifier Null)
//      1 TagList        values, then 0
//      2 TagInt8        1 byte signed          3 TagInt16     2 bytes signed
//      4 TagInt32       4 bytes signed         5 TagExtended  10 bytes x87 80-bit float
//      6 TagString      length byte, bytes     7 TagIdent     length byte, bytes
//      8 TagFalse       none                   9 TagTrue      none
//     10 TagBinary      4-byte length, bytes  11 TagSet       short strings, then length 0
//     12 TagLongString  4-byte length, bytes  13 TagNil       none
//     14 TagCollection  items, then 0; an item is [integer value] 1, property records, 0
//     15 TagSingle      4 bytes IEEE single   16 TagCurrency  8 bytes, amount * 10000
//     17 TagDouble      8 bytes IEEE double   18 TagWideString 4-byte count, 2*count bytes
//
// Lengths and counts of 2^31 or more, and tags above 18 where a value stands, are rejected.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/stream.h"

namespace reshape {

enum ValueType : std::uint8_t {
  TagNull = 0,
  TagList = 1,
  TagInt8 = 2,
  TagInt16 = 3,
  TagInt32 = 4,
  TagExtended = 5,
  TagString = 6,
  TagIdent = 7,
  TagFalse = 8,
  TagTrue = 9,
  TagBinary = 10,
  TagSet = 11,
  TagLongString = 12,
  TagNil = 13,
  TagCollection = 14,
  TagSingle = 15,
  TagCurrency = 16,
  TagDouble = 17,
  TagWideString = 18,
};

constexpr std::uint8_t kLastValueType = TagWideString;

constexpr std::string_view FormSignature = "TPF0";

constexpr std::uint8_t PrefixInherited = 1;
constexpr std::uint8_t PrefixChildPos = 2;
constexpr std::uint8_t PrefixInline = 4;

// Objects, lists and collections may nest this deep (the root object is level 1); one level
// more fails with "Nesting too deep", in the binary and in the text form alike.
constexpr int kMaxNestingDepth = 256;
// A class name's length byte must stay below the object prefixes (0xF0 and up).
constexpr std::size_t kMaxClassNameLength = 240;

// The flags of an object record's prefix byte and the child position that may follow it.
struct ObjectPrefix {
  std::uint8_t flags = 0;
  std::int32_t childPos = 0;
};

// Common state of reader and writer: the stream (not owned) and the owned byte buffer.
class TFiler {
 public:
  static constexpr std::int32_t FilerBufferSize = 4096;

  TFiler(const TFiler&) = delete;
  TFiler& operator=(const TFiler&) = delete;

  TStream& Stream() const { return stream_; }

 protected:
  TFiler(TStream& stream, std::int32_t bufferSize);
  ~TFiler() = default;

  TStream& stream_;
  std::unique_ptr<std::uint8_t[]> buffer_;
  std::int32_t bufferSize_;
  std::int32_t bufferPos_ = 0;
  std::int32_t bufferEnd_ = 0;
};

// Reads a binary form stream through the buffer with a one-byte look-ahead. On destruction the
// stream is moved back so that it stands right after the last byte consumed.
class TReader : public TFiler {
 public:
  explicit TReader(TStream& stream, std::int32_t bufferSize = FilerBufferSize);
  ~TReader();

  void ReadBytes(void* dest, std::size_t count);
  // Refills the buffer from the stream; EReadError "Stream read error" at the end.
  void FillBuffer();

  std::uint8_t ReadTag() {
    if (bufferPos_ == bufferEnd_) FillBuffer();
    return buffer_[bufferPos_++];
  }
  // The next byte, left unread.
  std::uint8_t PeekTag() {
    std::uint8_t tag = ReadTag();
    --bufferPos_;
    return tag;
  }
  bool AtEndMarker() { return PeekTag() == 0; }
  void ExpectTag(std::uint8_t tag);
  void ExpectEndMarker() { ExpectTag(TagNull); }
  void CheckSignature();

  ObjectPrefix ReadObjectPrefix();
  std::string ReadShortString();
  // The same into out, whose storage is reused: for callers that read many names.
  void ReadShortString(std::string& out);
  // A 4-byte length or count; 2^31 or more fails with "Invalid property value".
  std::uint32_t ReadCount();

  std::int32_t ReadIntegerValue();
  long double ReadExtendedValue();
  float ReadSingleValue();
  // The stored integer: the amount times 10000.
  std::int64_t ReadCurrencyValue();
  double ReadDoubleValue();
  std::string ReadStringValue();
  void ReadStringValue(std::string& out);
  std::u16string ReadWideStringValue();
  // Identifiers, and False, True, nil and Null for their tags.
  std::string ReadIdentValue();

  // Offset of the next unread byte in the stream.
  std::int64_t Position();

 private:
  // Appends count bytes to out, growing it only as the bytes actually arrive.
  void AppendBytes(std::string& out, std::uint32_t count);
  template <typename T>
  T ReadLittleEndian();
};

// Writes a binary form stream through the buffer. Flush() hands the buffered bytes to the
// stream and reports failures; the destructor spills whatever is left without throwing, so the
// bytes written before a failure still reach the stream.
class TWriter : public TFiler {
 public:
  explicit TWriter(TStream& stream, std::int32_t bufferSize = FilerBufferSize);
  ~TWriter();

  void WriteBytes(const void* src, std::size_t count) {
    if (count <= static_cast<std::size_t>(bufferSize_ - bufferPos_)) {
      std::memcpy(buffer_.get() + bufferPos_, src, count);
      bufferPos_ += static_cast<std::int32_t>(count);
    } else {
      WriteBytesSlow(static_cast<const std::uint8_t*>(src), count);
    }
  }
  void WriteBytes(std::string_view bytes) { WriteBytes(bytes.data(), bytes.size()); }
  // Writes the buffered bytes to the stream in one write; EWriteError if it takes fewer.
  void SpillBuffer();
  void Flush() { SpillBuffer(); }

  void WriteTag(std::uint8_t tag) {
    if (bufferPos_ == bufferSize_) SpillBuffer();
    buffer_[bufferPos_++] = tag;
  }
  void WriteFormSignature() { WriteBytes(FormSignature); }
  void WriteObjectPrefix(std::uint8_t flags, std::int32_t position);
  void WriteShortString(std::string_view s);
  void WriteIntegerValue(std::int32_t value);
  void WriteExtendedValue(long double value);
  void WriteSingleValue(float value);
  void WriteCurrencyValue(std::int64_t scaled);
  void WriteDoubleValue(double value);
  void WriteStringValue(std::string_view s);
  void WriteWideStringValue(std::u16string_view s);
  void WriteIdentValue(std::string_view s);
  void WriteListStart() { WriteTag(TagList); }
  void WriteEndMarker() { WriteTag(TagNull); }
  // Writes a binary value whose data fill writes to the stream it is given. The length is
  // filled in afterwards, so the writer's stream must be able to seek.
  void WriteBinaryValue(const std::function<void(TStream&)>& fill);

 private:
  void WriteBytesSlow(const std::uint8_t* src, std::size_t count);
  void WriteUInt32(std::uint32_t value);
};

// The writer the form compiler creates; it behaves exactly like TWriter.
class TMyWriter : public TWriter {
 public:
  using TWriter::TWriter;
};

}  // namespace reshape
