// The binary form stream: its byte layout, and the reader and writer that every form conversion
// uses to take it apart and put it together, one tag, number or string at a time. The reader
// works on a byte span, the writer appends to a string.
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
//      4 TagInt32       4 bytes signed         5 TagExtended  10 bytes 80-bit float
//      6 TagString      length byte, bytes     7 TagIdent     length byte, bytes
//      8 TagFalse       none                   9 TagTrue      none
//     10 TagBinary      4-byte length, bytes  11 TagSet       short strings, then length 0
//     12 TagLongString  4-byte length, bytes  13 TagNil       none
//     14 TagCollection  items, then 0; an item is [integer value] 1, property records, 0
//     15 TagSingle      4 bytes IEEE single   16 TagCurrency  8 bytes, amount * 10000
//     17 TagDouble      8 bytes IEEE double   18 TagWideString 4-byte count, 2*count bytes
//     19 TagInt64       8 bytes signed        20 TagUtf8String 4-byte length, UTF-8 bytes
//
// Lengths and counts of 2^31 or more, tags above 20 where a value stands, and UTF-8 that RFC
// 3629 does not allow (overlong forms, surrogates, values above U+10FFFF, cut sequences) are
// rejected ("Invalid property value"); reading past the end is "Stream read error".
// Tags 19 and 20 come from newer IDEs; they are written only by copying a value of the form
// that was read (see binary_form_writer.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "forms/extended.h"
#include "script/name_rules.h"

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
  TagInt64 = 19,
  TagUtf8String = 20,
};

constexpr std::string_view FormSignature = "TPF0";

constexpr std::uint8_t PrefixInherited = 1;
constexpr std::uint8_t PrefixChildPos = 2;
constexpr std::uint8_t PrefixInline = 4;

// Objects, lists and collections may nest this deep (the root object is level 1); one level
// more fails with "Nesting too deep", in the binary and in the text form alike.
constexpr int kMaxNestingDepth = 256;
// A class name's length byte must stay below the object prefixes (0xF0 and up).
constexpr std::size_t kMaxClassNameLength = 240;

// Counts one level of objects, lists and collections for as long as it lives; one level more
// than kMaxNestingDepth calls fail instead, which throws.
class NestingLevel {
 public:
  template <typename Fail>
  NestingLevel(int& depth, Fail fail) : depth_(depth) {
    if (depth_ >= kMaxNestingDepth) fail();
    ++depth_;
  }
  ~NestingLevel() { --depth_; }
  NestingLevel(const NestingLevel&) = delete;
  NestingLevel& operator=(const NestingLevel&) = delete;

 private:
  int& depth_;
};

// The flags of an object record's prefix byte and the child position that may follow it.
struct ObjectPrefix {
  std::uint8_t flags = 0;
  std::int32_t childPos = 0;
};

// Reads a binary form stream from a byte span, never past its end.
class FormReader {
 public:
  explicit FormReader(std::string_view bytes) : bytes_(bytes) {}

  std::size_t Position() const { return position_; }

  std::uint8_t ReadTag();
  std::uint8_t PeekTag() const;
  std::string_view ReadBytes(std::size_t count);
  bool AtEndMarker() const { return PeekTag() == 0; }
  void ExpectTag(std::uint8_t tag);
  void ExpectEndMarker() { ExpectTag(TagNull); }
  void CheckSignature();

  ObjectPrefix ReadObjectPrefix();
  std::string_view ReadShortString();
  // A 4-byte length or count; 2^31 or more fails with "Invalid property value".
  std::uint32_t ReadCount();

  std::int32_t ReadIntegerValue();
  Extended ReadExtendedValue();
  float ReadSingleValue();
  // The stored integer: the amount times 10000.
  std::int64_t ReadCurrencyValue();
  double ReadDoubleValue();
  std::string_view ReadStringValue();
  std::u16string ReadWideStringValue();
  std::int64_t ReadInt64Value();
  // The UTF-16 units of a UTF-8 string; code points above U+FFFF become surrogate pairs.
  std::u16string ReadUtf8StringValue();
  // Identifiers, and False, True, nil and Null for their tags.
  std::string_view ReadIdentValue();

 private:
  template <typename T>
  T ReadLittleEndian();
  // ReadLittleEndian after the expected tag.
  template <typename T>
  T ReadTagged(std::uint8_t tag);

  std::string_view bytes_;
  std::size_t position_ = 0;
};

// Appends a binary form stream to a string. A discarding writer checks nothing and keeps
// nothing: the text reader checks values through it.
class FormWriter {
 public:
  explicit FormWriter(std::string& out, bool discard = false) : out_(out), discard_(discard) {}

  std::string& Out() { return out_; }
  bool Discards() const { return discard_; }

  void WriteBytes(std::string_view bytes) {
    if (!discard_) out_.append(bytes);
  }
  void WriteTag(std::uint8_t tag) {
    if (!discard_) out_.push_back(static_cast<char>(tag));
  }
  void WriteFormSignature() { WriteBytes(FormSignature); }
  void WriteObjectPrefix(std::uint8_t flags, std::int32_t position);
  // Names longer than 255 bytes are cut to 255.
  void WriteShortString(std::string_view s);
  void WriteIntegerValue(std::int32_t value);
  void WriteExtendedValue(const Extended& value);
  void WriteSingleValue(float value);
  void WriteCurrencyValue(std::int64_t scaled);
  void WriteDoubleValue(double value);
  void WriteStringValue(std::string_view s);
  void WriteWideStringValue(std::u16string_view s);
  void WriteIdentValue(std::string_view s);
  void WriteListStart() { WriteTag(TagList); }
  void WriteEndMarker() { WriteTag(TagNull); }
  // A binary value: BeginBinary writes the tag and a length to be filled in, the data is then
  // appended to Out(), and EndBinary patches the length at the offset BeginBinary returned.
  std::size_t BeginBinary();
  void EndBinary(std::size_t lengthAt);

 private:
  // The low size bytes (at most 8) of value, least significant first.
  void WriteLittleEndian(std::uint64_t value, std::size_t size);

  std::string& out_;
  bool discard_;
};

}  // namespace reshape
