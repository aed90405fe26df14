#include "forms/filer.h"

#include <algorithm>
#include <bit>

#include "forms/extended.h"
#include "base/errors.h"

namespace reshape {

namespace {

[[noreturn]] void FailInvalidValue() { throw EReadError("Invalid property value"); }

bool SameIdent(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

}  // namespace

TFiler::TFiler(TStream& stream, std::int32_t bufferSize)
    : stream_(stream),
      buffer_(new std::uint8_t[static_cast<std::size_t>(std::max(bufferSize, 1))]),
      bufferSize_(std::max(bufferSize, 1)) {}

TReader::TReader(TStream& stream, std::int32_t bufferSize) : TFiler(stream, bufferSize) {}

TReader::~TReader() {
  if (bufferEnd_ == bufferPos_) return;
  // A destructor must not throw; a stream that cannot seek back is left where it stands.
  try {
    stream_.Seek(bufferPos_ - bufferEnd_, SeekOrigin::Current);
  } catch (...) {
  }
}

void TReader::FillBuffer() {
  std::size_t count = stream_.Read(buffer_.get(), static_cast<std::size_t>(bufferSize_));
  bufferEnd_ = static_cast<std::int32_t>(count);
  bufferPos_ = 0;
  if (count == 0) throw EReadError("Stream read error");
}

void TReader::ReadBytes(void* dest, std::size_t count) {
  auto* out = static_cast<std::uint8_t*>(dest);
  while (count > 0) {
    if (bufferPos_ == bufferEnd_) FillBuffer();
    std::size_t take = std::min(count, static_cast<std::size_t>(bufferEnd_ - bufferPos_));
    std::memcpy(out, buffer_.get() + bufferPos_, take);
    bufferPos_ += static_cast<std::int32_t>(take);
    out += take;
    count -= take;
  }
}

void TReader::AppendBytes(std::string& out, std::uint32_t count) {
  out.reserve(out.size() + std::min<std::uint32_t>(count, 1u << 16));
  while (count > 0) {
    if (bufferPos_ == bufferEnd_) FillBuffer();
    std::uint32_t take = std::min(count, static_cast<std::uint32_t>(bufferEnd_ - bufferPos_));
    out.append(reinterpret_cast<const char*>(buffer_.get() + bufferPos_), take);
    bufferPos_ += static_cast<std::int32_t>(take);
    count -= take;
  }
}

template <typename T>
T TReader::ReadLittleEndian() {
  std::uint8_t bytes[sizeof(T)];
  ReadBytes(bytes, sizeof(T));
  std::uint64_t value = 0;
  for (std::size_t i = sizeof(T); i-- > 0;) value = (value << 8) | bytes[i];
  return static_cast<T>(value);
}

void TReader::ExpectTag(std::uint8_t tag) {
  if (ReadTag() != tag) FailInvalidValue();
}

void TReader::CheckSignature() {
  char signature[4];
  ReadBytes(signature, sizeof signature);
  if (std::string_view(signature, sizeof signature) != FormSignature)
    throw EReadError("Invalid stream format");
}

ObjectPrefix TReader::ReadObjectPrefix() {
  ObjectPrefix prefix;
  if ((PeekTag() & 0xF0) == 0xF0) {
    prefix.flags = ReadTag() & 0x0F;
    if (prefix.flags & PrefixChildPos) prefix.childPos = ReadIntegerValue();
  }
  return prefix;
}

std::string TReader::ReadShortString() {
  std::string s;
  ReadShortString(s);
  return s;
}

void TReader::ReadShortString(std::string& out) {
  std::uint8_t length = ReadTag();
  out.resize(length);
  ReadBytes(out.data(), length);
}

std::uint32_t TReader::ReadCount() {
  auto count = ReadLittleEndian<std::uint32_t>();
  if (count >= 0x80000000u) FailInvalidValue();
  return count;
}

std::int32_t TReader::ReadIntegerValue() {
  switch (ReadTag()) {
    case TagInt8: return ReadLittleEndian<std::int8_t>();
    case TagInt16: return ReadLittleEndian<std::int16_t>();
    case TagInt32: return ReadLittleEndian<std::int32_t>();
    default: FailInvalidValue();
  }
}

long double TReader::ReadExtendedValue() {
  if (PeekTag() != TagExtended) return ReadIntegerValue();
  ReadTag();
  ExtendedBytes bytes;
  ReadBytes(bytes.data(), bytes.size());
  return BytesToExtended(bytes);
}

float TReader::ReadSingleValue() {
  if (PeekTag() != TagSingle) return static_cast<float>(ReadIntegerValue());
  ReadTag();
  return std::bit_cast<float>(ReadLittleEndian<std::uint32_t>());
}

std::int64_t TReader::ReadCurrencyValue() {
  if (PeekTag() != TagCurrency) return std::int64_t{ReadIntegerValue()} * 10000;
  ReadTag();
  return ReadLittleEndian<std::int64_t>();
}

double TReader::ReadDoubleValue() {
  if (PeekTag() != TagDouble) return ReadIntegerValue();
  ReadTag();
  return std::bit_cast<double>(ReadLittleEndian<std::uint64_t>());
}

std::string TReader::ReadStringValue() {
  std::string s;
  ReadStringValue(s);
  return s;
}

void TReader::ReadStringValue(std::string& out) {
  std::uint32_t length;
  switch (ReadTag()) {
    case TagString: length = ReadTag(); break;
    case TagLongString: length = ReadCount(); break;
    default: FailInvalidValue();
  }
  out.clear();
  AppendBytes(out, length);
}

std::u16string TReader::ReadWideStringValue() {
  if (ReadTag() != TagWideString) FailInvalidValue();
  std::uint32_t count = ReadCount();
  std::u16string s;
  s.reserve(std::min<std::uint32_t>(count, 1u << 15));
  for (std::uint32_t i = 0; i < count; ++i) s.push_back(ReadLittleEndian<std::uint16_t>());
  return s;
}

std::string TReader::ReadIdentValue() {
  switch (ReadTag()) {
    case TagIdent: {
      std::uint8_t length = ReadTag();
      std::string s(length, '\0');
      ReadBytes(s.data(), length);
      return s;
    }
    case TagFalse: return "False";
    case TagTrue: return "True";
    case TagNil: return "nil";
    case TagNull: return "Null";
    default: FailInvalidValue();
  }
}

std::int64_t TReader::Position() { return stream_.Position() - bufferEnd_ + bufferPos_; }

TWriter::TWriter(TStream& stream, std::int32_t bufferSize) : TFiler(stream, bufferSize) {}

TWriter::~TWriter() {
  // Bytes written before a failure must still reach the stream, but a destructor must not
  // throw: a spill that fails here is dropped.
  try {
    SpillBuffer();
  } catch (...) {
  }
}

void TWriter::SpillBuffer() {
  auto count = static_cast<std::size_t>(bufferPos_);
  bufferPos_ = 0;
  stream_.WriteBuffer(buffer_.get(), count);
}

void TWriter::WriteBytesSlow(const std::uint8_t* src, std::size_t count) {
  while (count > 0) {
    if (bufferPos_ == bufferSize_) SpillBuffer();
    std::size_t take = std::min(count, static_cast<std::size_t>(bufferSize_ - bufferPos_));
    std::memcpy(buffer_.get() + bufferPos_, src, take);
    bufferPos_ += static_cast<std::int32_t>(take);
    src += take;
    count -= take;
  }
}

void TWriter::WriteUInt32(std::uint32_t value) {
  std::uint8_t bytes[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                           static_cast<std::uint8_t>(value >> 16),
                           static_cast<std::uint8_t>(value >> 24)};
  WriteBytes(bytes, sizeof bytes);
}

void TWriter::WriteObjectPrefix(std::uint8_t flags, std::int32_t position) {
  if (flags == 0) return;
  WriteTag(static_cast<std::uint8_t>(0xF0 | flags));
  if (flags & PrefixChildPos) WriteIntegerValue(position);
}

void TWriter::WriteShortString(std::string_view s) {
  std::size_t length = std::min<std::size_t>(s.size(), 255);
  WriteTag(static_cast<std::uint8_t>(length));
  WriteBytes(s.data(), length);
}

void TWriter::WriteIntegerValue(std::int32_t value) {
  if (value >= -128 && value <= 127) {
    WriteTag(TagInt8);
    WriteTag(static_cast<std::uint8_t>(value));
  } else if (value >= -32768 && value <= 32767) {
    WriteTag(TagInt16);
    WriteTag(static_cast<std::uint8_t>(value));
    WriteTag(static_cast<std::uint8_t>(value >> 8));
  } else {
    WriteTag(TagInt32);
    WriteUInt32(static_cast<std::uint32_t>(value));
  }
}

void TWriter::WriteExtendedValue(long double value) {
  WriteTag(TagExtended);
  ExtendedBytes bytes = ExtendedToBytes(value);
  WriteBytes(bytes.data(), bytes.size());
}

void TWriter::WriteSingleValue(float value) {
  WriteTag(TagSingle);
  WriteUInt32(std::bit_cast<std::uint32_t>(value));
}

void TWriter::WriteCurrencyValue(std::int64_t scaled) {
  WriteTag(TagCurrency);
  auto bits = static_cast<std::uint64_t>(scaled);
  WriteUInt32(static_cast<std::uint32_t>(bits));
  WriteUInt32(static_cast<std::uint32_t>(bits >> 32));
}

void TWriter::WriteDoubleValue(double value) {
  WriteTag(TagDouble);
  auto bits = std::bit_cast<std::uint64_t>(value);
  WriteUInt32(static_cast<std::uint32_t>(bits));
  WriteUInt32(static_cast<std::uint32_t>(bits >> 32));
}

void TWriter::WriteStringValue(std::string_view s) {
  if (s.size() <= 255) {
    WriteTag(TagString);
    WriteTag(static_cast<std::uint8_t>(s.size()));
  } else {
    WriteTag(TagLongString);
    WriteUInt32(static_cast<std::uint32_t>(s.size()));
  }
  WriteBytes(s.data(), s.size());
}

void TWriter::WriteWideStringValue(std::u16string_view s) {
  WriteTag(TagWideString);
  WriteUInt32(static_cast<std::uint32_t>(s.size()));
  for (char16_t unit : s) {
    WriteTag(static_cast<std::uint8_t>(unit));
    WriteTag(static_cast<std::uint8_t>(unit >> 8));
  }
}

void TWriter::WriteIdentValue(std::string_view s) {
  if (SameIdent(s, "False")) {
    WriteTag(TagFalse);
  } else if (SameIdent(s, "True")) {
    WriteTag(TagTrue);
  } else if (SameIdent(s, "Null")) {
    WriteTag(TagNull);
  } else if (SameIdent(s, "nil")) {
    WriteTag(TagNil);
  } else {
    WriteTag(TagIdent);
    WriteShortString(s);
  }
}

namespace {

// Hands what fill writes straight to the writer and counts it.
class WriterSink : public TStream {
 public:
  explicit WriterSink(TWriter& writer) : writer_(writer) {}
  std::size_t Read(void*, std::size_t) override { return 0; }
  std::size_t Write(const void* buffer, std::size_t count) override {
    writer_.WriteBytes(buffer, count);
    written_ += count;
    return count;
  }
  std::int64_t Seek(std::int64_t, SeekOrigin) override {
    return static_cast<std::int64_t>(written_);
  }
  std::size_t Written() const { return written_; }

 private:
  TWriter& writer_;
  std::size_t written_ = 0;
};

}  // namespace

void TWriter::WriteBinaryValue(const std::function<void(TStream&)>& fill) {
  // The data goes to the stream as it comes and its length is filled in afterwards: a copy of
  // it in memory would add the size of a large image to the peak memory of a compilation.
  WriteTag(TagBinary);
  SpillBuffer();
  const std::int64_t lengthAt = stream_.Position();
  WriteUInt32(0);
  WriterSink sink(*this);
  fill(sink);
  SpillBuffer();
  const std::int64_t end = stream_.Position();
  stream_.SetPosition(lengthAt);
  WriteUInt32(static_cast<std::uint32_t>(sink.Written()));
  SpillBuffer();
  stream_.SetPosition(end);
}

}  // namespace reshape
