#include <bit>
#include <cstring>

#include "base/errors.h"
#include "forms/extended.h"
#include "forms/form_stream.h"

namespace reshape {

namespace {

[[noreturn]] void FailInvalidValue() { throw EReadError("Invalid property value"); }
[[noreturn]] void FailReadPastEnd() { throw EReadError("Stream read error"); }

// The number of continuation bytes after a lead byte; an invalid lead fails.
int ContinuationsAfter(unsigned char lead) {
  if (lead < 0x80) return 0;
  if (lead >= 0xC2 && lead <= 0xDF) return 1;
  if (lead >= 0xE0 && lead <= 0xEF) return 2;
  if (lead >= 0xF0 && lead <= 0xF4) return 3;
  FailInvalidValue();
}

// The lowest code point that needs that many continuation bytes: anything below is overlong.
constexpr char32_t kLowestCode[] = {0, 0x80, 0x800, 0x10000};

}  // namespace

std::uint8_t FormReader::ReadTag() { return static_cast<std::uint8_t>(ReadBytes(1)[0]); }

std::uint8_t FormReader::PeekTag() const {
  if (position_ >= bytes_.size()) FailReadPastEnd();
  return static_cast<std::uint8_t>(bytes_[position_]);
}

std::string_view FormReader::ReadBytes(std::size_t count) {
  if (count > bytes_.size() - position_) FailReadPastEnd();
  std::string_view bytes = bytes_.substr(position_, count);
  position_ += count;
  return bytes;
}

template <typename T>
T FormReader::ReadLittleEndian() {
  std::string_view bytes = ReadBytes(sizeof(T));
  std::uint64_t value = 0;
  for (std::size_t i = sizeof(T); i-- > 0;) value = (value << 8) | static_cast<std::uint8_t>(bytes[i]);
  return static_cast<T>(value);
}

template <typename T>
T FormReader::ReadTagged(std::uint8_t tag) {
  ExpectTag(tag);
  return ReadLittleEndian<T>();
}

void FormReader::ExpectTag(std::uint8_t tag) {
  if (ReadTag() != tag) FailInvalidValue();
}

void FormReader::CheckSignature() {
  if (ReadBytes(FormSignature.size()) != FormSignature) throw EReadError("Invalid stream format");
}

ObjectPrefix FormReader::ReadObjectPrefix() {
  ObjectPrefix prefix;
  if ((PeekTag() & 0xF0) == 0xF0) {
    prefix.flags = ReadTag() & 0x0F;
    if (prefix.flags & PrefixChildPos) prefix.childPos = ReadIntegerValue();
  }
  return prefix;
}

std::string_view FormReader::ReadShortString() { return ReadBytes(ReadTag()); }

std::uint32_t FormReader::ReadCount() {
  auto count = ReadLittleEndian<std::uint32_t>();
  if (count >= 0x80000000u) FailInvalidValue();
  return count;
}

std::int32_t FormReader::ReadIntegerValue() {
  switch (ReadTag()) {
    case TagInt8: return ReadLittleEndian<std::int8_t>();
    case TagInt16: return ReadLittleEndian<std::int16_t>();
    case TagInt32: return ReadLittleEndian<std::int32_t>();
    default: FailInvalidValue();
  }
}

Extended FormReader::ReadExtendedValue() {
  ExpectTag(TagExtended);
  ExtendedBytes bytes;
  std::memcpy(bytes.data(), ReadBytes(bytes.size()).data(), bytes.size());
  return Extended::FromBytes(bytes);
}

float FormReader::ReadSingleValue() {
  return std::bit_cast<float>(ReadTagged<std::uint32_t>(TagSingle));
}

std::int64_t FormReader::ReadCurrencyValue() { return ReadTagged<std::int64_t>(TagCurrency); }

double FormReader::ReadDoubleValue() {
  return std::bit_cast<double>(ReadTagged<std::uint64_t>(TagDouble));
}

std::string_view FormReader::ReadStringValue() {
  switch (ReadTag()) {
    case TagString: return ReadBytes(ReadTag());
    case TagLongString: return ReadBytes(ReadCount());
    default: FailInvalidValue();
  }
}

std::u16string FormReader::ReadWideStringValue() {
  ExpectTag(TagWideString);
  std::string_view bytes = ReadBytes(std::size_t{ReadCount()} * 2);
  std::u16string s(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < s.size(); ++i)
    s[i] = static_cast<char16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                 static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8);
  return s;
}

std::int64_t FormReader::ReadInt64Value() { return ReadTagged<std::int64_t>(TagInt64); }

std::u16string FormReader::ReadUtf8StringValue() {
  ExpectTag(TagUtf8String);
  std::string_view bytes = ReadBytes(ReadCount());
  std::u16string s;
  s.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i++]);
    const int continuations = ContinuationsAfter(lead);
    // The lead's payload bits: all seven of an ASCII byte, fewer the more bytes follow.
    char32_t code = lead & (0x7F >> continuations);
    for (int k = 0; k < continuations; ++k, ++i) {
      if (i == bytes.size() || (bytes[i] & 0xC0) != 0x80) FailInvalidValue();
      code = code << 6 | (bytes[i] & 0x3F);
    }
    if (code < kLowestCode[continuations] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
      FailInvalidValue();
    if (code >= 0x10000) {
      code -= 0x10000;
      s += static_cast<char16_t>(0xD800 + (code >> 10));
      code = 0xDC00 + (code & 0x3FF);
    }
    s += static_cast<char16_t>(code);
  }
  return s;
}

std::string_view FormReader::ReadIdentValue() {
  switch (ReadTag()) {
    case TagIdent: return ReadShortString();
    case TagFalse: return "False";
    case TagTrue: return "True";
    case TagNil: return "nil";
    case TagNull: return "Null";
    default: FailInvalidValue();
  }
}

}  // namespace reshape
