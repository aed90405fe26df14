#include <bit>
#include <utility>

#include "base/ascii_case.h"
#include "forms/extended.h"
#include "forms/form_stream.h"

namespace reshape {

void FormWriter::WriteLittleEndian(std::uint64_t value, std::size_t size) {
  char bytes[8];
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(value >> (8 * i));
  WriteBytes(std::string_view(bytes, size));
}

void FormWriter::WriteObjectPrefix(std::uint8_t flags, std::int32_t position) {
  if (flags == 0) return;
  WriteTag(static_cast<std::uint8_t>(0xF0 | flags));
  if (flags & PrefixChildPos) WriteIntegerValue(position);
}

void FormWriter::WriteShortString(std::string_view s) {
  s = s.substr(0, 255);
  WriteTag(static_cast<std::uint8_t>(s.size()));
  WriteBytes(s);
}

void FormWriter::WriteIntegerValue(std::int32_t value) {
  const bool int8 = std::in_range<std::int8_t>(value), int16 = std::in_range<std::int16_t>(value);
  WriteTag(int8 ? TagInt8 : int16 ? TagInt16 : TagInt32);
  WriteLittleEndian(static_cast<std::uint32_t>(value), int8 ? 1 : int16 ? 2 : 4);
}

void FormWriter::WriteExtendedValue(const Extended& value) {
  WriteTag(TagExtended);
  const ExtendedBytes bytes = value.Bytes();
  WriteBytes(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void FormWriter::WriteSingleValue(float value) {
  WriteTag(TagSingle);
  WriteLittleEndian(std::bit_cast<std::uint32_t>(value), 4);
}

void FormWriter::WriteCurrencyValue(std::int64_t scaled) {
  WriteTag(TagCurrency);
  WriteLittleEndian(static_cast<std::uint64_t>(scaled), 8);
}

void FormWriter::WriteDoubleValue(double value) {
  WriteTag(TagDouble);
  WriteLittleEndian(std::bit_cast<std::uint64_t>(value), 8);
}

void FormWriter::WriteStringValue(std::string_view s) {
  const bool isShort = s.size() <= 255;
  WriteTag(isShort ? TagString : TagLongString);
  WriteLittleEndian(s.size(), isShort ? 1 : 4);
  WriteBytes(s);
}

void FormWriter::WriteWideStringValue(std::u16string_view s) {
  WriteTag(TagWideString);
  WriteLittleEndian(s.size(), 4);
  if (Discards()) return;
  // Little-endian units, written in place rather than a byte at a time.
  const std::size_t at = out_.size();
  out_.resize(at + 2 * s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    out_[at + 2 * i] = static_cast<char>(s[i] & 0xFF);
    out_[at + 2 * i + 1] = static_cast<char>(s[i] >> 8);
  }
}

void FormWriter::WriteIdentValue(std::string_view s) {
  if (SameIgnoringAsciiCase(s, "False")) return WriteTag(TagFalse);
  if (SameIgnoringAsciiCase(s, "True")) return WriteTag(TagTrue);
  if (SameIgnoringAsciiCase(s, "Null")) return WriteTag(TagNull);
  if (SameIgnoringAsciiCase(s, "nil")) return WriteTag(TagNil);
  WriteTag(TagIdent);
  WriteShortString(s);
}

std::size_t FormWriter::BeginBinary() {
  WriteTag(TagBinary);
  WriteLittleEndian(0, 4);
  return discard_ ? 0 : out_.size() - 4;
}

void FormWriter::EndBinary(std::size_t lengthAt) {
  if (discard_) return;
  auto length = static_cast<std::uint32_t>(out_.size() - lengthAt - 4);
  for (int i = 0; i < 4; ++i) out_[lengthAt + i] = static_cast<char>(length >> (8 * i));
}

}  // namespace reshape
