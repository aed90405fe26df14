#include "forms/resource_header.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "forms/test_stream_builder.h"

namespace reshape {
namespace {

using test::ExpectFailure;
using test::FormBytes;

TEST(ResourceHeaderTest, SkipFindsTheStreamBehindNamesOfAnyLength) {
  // Flags and size are not checked; an unterminated name ends after 256 bytes.
  EXPECT_EQ(SkipResourceHeader(FormBytes().Byte(0xFF).U16(10).Raw("A").Byte(0).U16(0).U32(999).Raw("TPF0").Bytes()), 11u);
  for (std::size_t length : {255u, 300u})
    EXPECT_EQ(SkipResourceHeader(test::FormFile(std::string(length, 'N'), "TPF0")), std::min<std::size_t>(length, 256) + 10);
  EXPECT_EQ(SkipResourceHeader(std::string("\xFF\x0A\x00" "ABC", 6)), 6u);
  for (std::string bytes : {std::string("object Form1: TForm1\r\nend\r\n"), std::string(),
                            std::string("\xFF\x0B\x00X\0", 5), std::string("\xFF\x0A\x01X\0", 5),
                            std::string("\xFE\x0A\x00X\0", 5)})
    ExpectFailure<EInvalidImage>([&] { SkipResourceHeader(bytes); }, "Invalid stream format");
}

TEST(ResourceHeaderTest, NamesTheRootClassUpperCased) {
  const std::tuple<std::string, std::uint8_t, std::string> cases[] = {
      {"TMain_x\xE9", 0, "TMAIN_X\xE9"}, {"TFrame1", 1, "TFRAME1"}, {"TFrame1", 6, "TFRAME1"},
      {std::string(239, 'c'), 3, std::string(239, 'C')}};
  for (const auto& [name, flags, upper] : cases) {
    FormBytes stream;
    stream.Signature();
    if (flags) stream.Prefix(flags);
    if (flags & PrefixChildPos) stream.Int16(1000);
    stream.Object(name, "Form1").End().End();
    EXPECT_EQ(ResourceHeader(stream.Bytes()) + stream.Bytes(), test::FormFile(upper, stream)) << upper;
  }
  for (std::uint8_t length : {4, 10})
    ExpectFailure<EReadError>([&] { ResourceHeader(FormBytes().Signature().Byte(length).Raw("TFo").Bytes()); },
                              "Stream read error");
}

}  // namespace
}  // namespace reshape
