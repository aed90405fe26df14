#include "forms/resource_header.h"

#include <gtest/gtest.h>

#include "forms/test_stream_builder.h"
#include "base/errors.h"

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

TEST(ResourceHeaderTest, SkipIgnoresFlagsAndSizeAndWorksOnShortFiles) {
  TMemoryStream file(FormBytes().Byte(0xFF).U16(10).Raw("A").Byte(0).U16(0).U32(999).Raw("TPF0"));
  SkipResourceHeader(file);
  EXPECT_EQ(file.Position(), 11);
}

TEST(ResourceHeaderTest, SkipRejectsOtherFiles) {
  for (std::string bytes :
       {std::string("object Form1: TForm1\r\nend\r\n"), std::string("TPF0"), std::string(),
        std::string("\xFF\x0B\x00X\0", 5), std::string("\xFF\x0A\x01X\0", 5),
        std::string("\xFE\x0A\x00X\0", 5)}) {
    TMemoryStream file(bytes);
    ExpectFailure<EInvalidImage>([&] { SkipResourceHeader(file); }, "Invalid stream format");
  }
}

TEST(ResourceHeaderTest, SkipPassesOverNamesOfAnyClassNameLength) {
  for (std::size_t length : {6u, 75u, 76u, 77u, 100u, 255u}) {
    TMemoryStream file(FormFile(std::string(length, 'N'), Stream("T")));
    SkipResourceHeader(file);
    EXPECT_EQ(file.Position(), static_cast<std::int64_t>(length + 10)) << length;
  }
}

TEST(ResourceHeaderTest, SkipOfAnUnterminatedNameStopsAfter256Bytes) {
  std::string name(300, 'N');
  TMemoryStream file(FormFile(name, Stream("T")));
  SkipResourceHeader(file);
  EXPECT_EQ(file.Position(), 266);
}

TEST(ResourceHeaderTest, WriteNamesTheRootClassUpperCased) {
  const std::pair<std::string, std::uint8_t> cases[] = {
      {"TMainForm_x\xE9", 0}, {"TFrame1", 1}, {"TFrame1", 2}, {"TFrame1", 3}, {"TFrame1", 4},
      {"TFrame1", 6}, {std::string(70, 'c'), 0}, {std::string(71, 'c'), 0},
      {std::string(200, 'c'), 0}, {std::string(239, 'c'), 0}};
  for (const auto& [name, flags] : cases) {
    std::string upper = name;
    for (char& c : upper) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
    std::string stream = Stream(name, flags);
    TMemoryStream compiled(stream);
    TMemoryStream file;
    WriteResourceHeader(compiled, file);
    EXPECT_EQ(file.Bytes(), FormFile(upper, stream)) << name.size() << " " << int{flags};
  }
}

TEST(ResourceHeaderTest, WrittenHeaderIsSkippedAgain) {
  // A class renamed to a long name must not make the converted form file unreadable.
  for (std::string name : {std::string("TForm1"), std::string(76, 'c'), std::string(239, 'c')}) {
    std::string stream = Stream(name, 3);
    TMemoryStream compiled(stream);
    TMemoryStream file;
    WriteResourceHeader(compiled, file);
    file.SetPosition(0);
    SkipResourceHeader(file);
    EXPECT_EQ(file.Position(), static_cast<std::int64_t>(file.Bytes().size() - stream.size()))
        << name.size();
  }
}

TEST(ResourceHeaderTest, WriteOfATruncatedStreamFails) {
  TMemoryStream compiled(FormBytes().Signature().Byte(10).Raw("TFo"));
  TMemoryStream file;
  ExpectFailure<EReadError>([&] { WriteResourceHeader(compiled, file); }, "Stream read error");
}

}  // namespace
}  // namespace reshape
