#include "forms/resource_header.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "forms/test_stream_builder.h"

namespace reshape {
namespace {

using test::ExpectFailure;
using test::FormBytes;
using test::FormFile;

std::string Stream(std::string_view className, std::uint8_t prefixFlags = 0) {
  FormBytes b;
  b.Signature();
  if (prefixFlags) b.Prefix(prefixFlags);
  if (prefixFlags & PrefixChildPos) b.Int16(1000);
  return b.Object(className, "Form1").End().End();
}

TEST(ResourceHeaderTest, SkipFindsTheStreamBehindNamesOfAnyLength) {
  // Flags and size are not checked; an unterminated name ends after 256 bytes.
  std::string shortFile = FormBytes().Byte(0xFF).U16(10).Raw("A").Byte(0).U16(0).U32(999);
  EXPECT_EQ(SkipResourceHeader(shortFile + "TPF0"), 11u);
  for (std::size_t length : {6u, 76u, 255u})
    EXPECT_EQ(SkipResourceHeader(FormFile(std::string(length, 'N'), Stream("T"))), length + 10);
  EXPECT_EQ(SkipResourceHeader(FormFile(std::string(300, 'N'), Stream("T"))), 266u);
  EXPECT_EQ(SkipResourceHeader(std::string("\xFF\x0A\x00" "ABC", 6)), 6u);
}

TEST(ResourceHeaderTest, SkipRejectsOtherFiles) {
  for (std::string bytes :
       {std::string("object Form1: TForm1\r\nend\r\n"), std::string("TPF0"), std::string(),
        std::string("\xFF\x0B\x00X\0", 5), std::string("\xFF\x0A\x01X\0", 5),
        std::string("\xFE\x0A\x00X\0", 5)}) {
    ExpectFailure<EInvalidImage>([&] { SkipResourceHeader(bytes); }, "Invalid stream format");
  }
}

TEST(ResourceHeaderTest, NamesTheRootClassUpperCasedAndIsSkippedAgain) {
  const std::pair<std::string, std::uint8_t> cases[] = {
      {"TMainForm_x\xE9", 0}, {"TFrame1", 1}, {"TFrame1", 3}, {"TFrame1", 6},
      {std::string(71, 'c'), 0}, {std::string(239, 'c'), 3}};
  for (const auto& [name, flags] : cases) {
    std::string upper = name;
    for (char& c : upper) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
    std::string stream = Stream(name, flags);
    std::string file = ResourceHeader(stream) + stream;
    EXPECT_EQ(file, FormFile(upper, stream)) << name.size() << " " << int{flags};
    EXPECT_EQ(SkipResourceHeader(file), file.size() - stream.size());
  }
  for (std::uint8_t length : {4, 10}) {
    std::string stream = FormBytes().Signature().Byte(length).Raw("TFo");
    ExpectFailure<EReadError>([&] { ResourceHeader(stream); }, "Stream read error");
  }
}

}  // namespace
}  // namespace reshape
