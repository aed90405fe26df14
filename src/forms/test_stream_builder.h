// Builds binary form streams and form files for tests from readable calls, e.g.
//   FormBytes().Signature().Object("TForm1", "Form1").Prop("Left").Int8(8).End().End()
// Every call appends exactly the bytes it names; nothing is checked, so broken streams are as
// easy to build as good ones.
#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "forms/extended.h"
#include "forms/form_stream.h"

namespace reshape::test {

class FormBytes {
 public:
  FormBytes& Raw(std::string_view s) { return bytes_ += s, *this; }
  FormBytes& Byte(std::uint8_t b) { return bytes_ += static_cast<char>(b), *this; }
  FormBytes& U16(std::uint16_t v) { return Little(v, 2); }
  FormBytes& U32(std::uint32_t v) { return Little(v, 4); }
  FormBytes& U64(std::uint64_t v) { return Little(v, 8); }
  FormBytes& Short(std::string_view s) { return Byte(static_cast<std::uint8_t>(s.size())).Raw(s); }

  FormBytes& Signature() { return Raw(FormSignature); }
  FormBytes& Prefix(std::uint8_t flags) { return Byte(static_cast<std::uint8_t>(0xF0 | flags)); }
  // Class name and object name of an object record.
  FormBytes& Object(std::string_view className, std::string_view name = "") { return Short(className).Short(name); }
  FormBytes& Prop(std::string_view name) { return Short(name); }
  FormBytes& End() { return Byte(0); }

  FormBytes& Int8(std::int8_t v) { return Byte(TagInt8).Byte(static_cast<std::uint8_t>(v)); }
  FormBytes& Int16(std::int16_t v) { return Byte(TagInt16).U16(static_cast<std::uint16_t>(v)); }
  FormBytes& Int32(std::int32_t v) { return Byte(TagInt32).U32(static_cast<std::uint32_t>(v)); }
  FormBytes& Extended(const reshape::Extended& v) {
    for (Byte(TagExtended); auto b : v.Bytes()) Byte(b);
    return *this;
  }
  FormBytes& Single(float v) { return Byte(TagSingle).U32(std::bit_cast<std::uint32_t>(v)); }
  FormBytes& Double(double v) { return Byte(TagDouble).U64(std::bit_cast<std::uint64_t>(v)); }
  FormBytes& Currency(std::int64_t scaled) { return Byte(TagCurrency).U64(static_cast<std::uint64_t>(scaled)); }
  FormBytes& Str(std::string_view s) { return Byte(TagString).Short(s); }
  FormBytes& LStr(std::string_view s) { return Byte(TagLongString).U32(static_cast<std::uint32_t>(s.size())).Raw(s); }
  FormBytes& WStr(std::u16string_view s) {
    for (Byte(TagWideString).U32(static_cast<std::uint32_t>(s.size())); char16_t u : s) U16(u);
    return *this;
  }
  FormBytes& Ident(std::string_view s) { return Byte(TagIdent).Short(s); }
  FormBytes& Binary(std::string_view data) { return Byte(TagBinary).U32(static_cast<std::uint32_t>(data.size())).Raw(data); }
  FormBytes& Set() { return Byte(TagSet); }  // then the elements as Short(...), then End()
  FormBytes& List() { return Byte(TagList); }
  FormBytes& Collection() { return Byte(TagCollection); }

  const std::string& Bytes() const { return bytes_; }
  operator const std::string&() const { return bytes_; }

 private:
  FormBytes& Little(std::uint64_t v, int size) {
    for (int i = 0; i < size; ++i) Byte(static_cast<std::uint8_t>(v >> (8 * i)));
    return *this;
  }

  std::string bytes_;
};

// The ten bytes of an extended value from its 64-bit significand and its sign and exponent.
inline ExtendedBytes ExtendedParts(std::uint64_t significand, std::uint16_t signAndExponent) {
  ExtendedBytes bytes;
  for (int i = 0; i < 10; ++i) bytes[i] = static_cast<std::uint8_t>((i < 8 ? significand : signAndExponent) >> (8 * (i % 8)));
  return bytes;
}

// A form file: the resource header named upperName, then the stream.
inline std::string FormFile(std::string_view upperName, const std::string& stream) {
  return FormBytes().Byte(0xFF).U16(10).Raw(upperName).Byte(0).U16(0x1030)
      .U32(static_cast<std::uint32_t>(stream.size())).Raw(stream);
}

// Runs body and expects it to fail with exception class E and exactly this message.
template <typename E, typename F>
void ExpectFailure(F&& body, std::string_view message) {
  std::string failure = "no failure";
  try {
    body();
  } catch (const E& e) {
    failure = e.Message();
  }
  EXPECT_EQ(failure, message);
}

}  // namespace reshape::test
