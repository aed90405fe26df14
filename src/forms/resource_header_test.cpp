#include "forms/resource_header.h"

#include <gtest/gtest.h>

#include "forms/test_stream_builder.h"
#include "platform/errors.h"

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

TEST(ResourceHeaderTest, SkipLeavesTheStreamAtTheFormStream) {
  TMemoryStream file(FormFile("TFORM1", Stream("TForm1")));
  SkipResourceHeader(file);
  EXPECT_EQ(file.Position(), 16);
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
  for (std::size_t length : {75u, 76u, 77u, 100u, 255u}) {
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
  std::string stream = Stream("TMainForm_x\xE9");
  TMemoryStream compiled(stream);
  TMemoryStream file;
  WriteResourceHeader(compiled, file);
  EXPECT_EQ(file.Bytes(), FormFile("TMAINFORM_X\xE9", stream));
}

TEST(ResourceHeaderTest, WriteFindsTheClassNameBehindAPrefix) {
  for (std::uint8_t flags : {1, 2, 3, 4, 6}) {
    std::string stream = Stream("TFrame1", flags);
    TMemoryStream compiled(stream);
    TMemoryStream file;
    WriteResourceHeader(compiled, file);
    EXPECT_EQ(file.Bytes(), FormFile("TFRAME1", stream)) << int{flags};
  }
}

TEST(ResourceHeaderTest, LongClassNamesGetAHeaderOfTheirLength) {
  for (std::size_t length : {70u, 71u, 200u, 239u}) {
    std::string name(length, 'c');
    std::string stream = Stream(name);
    TMemoryStream compiled(stream);
    TMemoryStream file;
    WriteResourceHeader(compiled, file);
    EXPECT_EQ(file.Bytes(), FormFile(std::string(length, 'C'), stream));
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
