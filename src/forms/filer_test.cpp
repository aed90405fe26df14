#include "forms/filer.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "forms/test_stream_builder.h"
#include "base/errors.h"

namespace reshape {
namespace {

using test::ExpectFailure;
using test::FormBytes;

template <typename F>
std::string Written(F&& body) {
  TMemoryStream stream;
  {
    TWriter writer(stream);
    body(writer);
    writer.Flush();
  }
  return stream.Bytes();
}

// Takes at most capacity bytes in total, then takes nothing.
class LimitedStream : public TMemoryStream {
 public:
  explicit LimitedStream(std::size_t capacity) : capacity_(capacity) {}
  std::size_t Write(const void* buffer, std::size_t count) override {
    std::size_t n = std::min(count, capacity_ - Bytes().size());
    return n == 0 ? 0 : TMemoryStream::Write(buffer, n);
  }

 private:
  std::size_t capacity_;
};

struct IntegerCase {
  std::int32_t value;
  std::string bytes;
};

TEST(WriterTest, IntegerUsesTheSmallestTag) {
  const IntegerCase cases[] = {
      {0, FormBytes().Int8(0)},
      {-128, FormBytes().Int8(-128)},
      {127, FormBytes().Int8(127)},
      {-129, FormBytes().Int16(-129)},
      {128, FormBytes().Int16(128)},
      {-32768, FormBytes().Int16(-32768)},
      {32767, FormBytes().Int16(32767)},
      {-32769, FormBytes().Int32(-32769)},
      {32768, FormBytes().Int32(32768)},
      {std::numeric_limits<std::int32_t>::min(), FormBytes().Int32(INT32_MIN)},
      {70000, std::string("\x04\x70\x11\x01\x00", 5)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Written([&](TWriter& w) { w.WriteIntegerValue(c.value); }), c.bytes) << c.value;
    TMemoryStream in(c.bytes);
    TReader reader(in);
    EXPECT_EQ(reader.ReadIntegerValue(), c.value);
  }
}

TEST(WriterTest, ShortStringKeepsTheFirst255Bytes) {
  std::string name(300, 'n');
  name[254] = 'L';
  std::string out = Written([&](TWriter& w) { w.WriteShortString(name); });
  ASSERT_EQ(out.size(), 256u);
  EXPECT_EQ(static_cast<unsigned char>(out[0]), 255);
  EXPECT_EQ(out.back(), 'L');
  EXPECT_EQ(Written([](TWriter& w) { w.WriteShortString(""); }), std::string(1, '\0'));
}

TEST(WriterTest, ValueLayouts) {
  struct Case {
    const char* what;
    std::function<void(TWriter&)> write;
    std::string bytes;
  };
  const std::string s255(255, 'x'), s256(256, 'y');
  const Case cases[] = {
      {"empty string", [](TWriter& w) { w.WriteStringValue(""); }, std::string("\x06\x00", 2)},
      {"string of 255", [&](TWriter& w) { w.WriteStringValue(s255); }, FormBytes().Str(s255)},
      {"string of 256", [&](TWriter& w) { w.WriteStringValue(s256); },
       std::string("\x0C\x00\x01\x00\x00", 5) + s256},
      // The four words fold ASCII case.
      {"FALSE", [](TWriter& w) { w.WriteIdentValue("FALSE"); }, "\x08"},
      {"true", [](TWriter& w) { w.WriteIdentValue("true"); }, "\x09"},
      {"NULL", [](TWriter& w) { w.WriteIdentValue("NULL"); }, std::string(1, '\0')},
      {"NIL", [](TWriter& w) { w.WriteIdentValue("NIL"); }, "\x0D"},
      {"Nile", [](TWriter& w) { w.WriteIdentValue("Nile"); }, "\x07\x04Nile"},
      {"Truex", [](TWriter& w) { w.WriteIdentValue("Truex"); }, "\x07\x05Truex"},
      {"no prefix", [](TWriter& w) { w.WriteObjectPrefix(0, 5); }, ""},
      {"inherited", [](TWriter& w) { w.WriteObjectPrefix(PrefixInherited, 5); }, "\xF1"},
      {"inline", [](TWriter& w) { w.WriteObjectPrefix(PrefixInline, 0); }, "\xF4"},
      {"child position",
       [](TWriter& w) { w.WriteObjectPrefix(PrefixInherited | PrefixChildPos, 300); },
       FormBytes().Prefix(3).Int16(300)},
      {"extended", [](TWriter& w) { w.WriteExtendedValue(1.5L); },
       std::string("\x05\0\0\0\0\0\0\0\xC0\xFF\x3F", 11)},
      {"single", [](TWriter& w) { w.WriteSingleValue(1.0f); },
       std::string("\x0F\x00\x00\x80\x3F", 5)},
      {"double", [](TWriter& w) { w.WriteDoubleValue(-2.0); },
       std::string("\x11\0\0\0\0\0\0\0\xC0", 9)},
      {"currency", [](TWriter& w) { w.WriteCurrencyValue(-1); },
       std::string("\x10\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 9)},
      {"wide", [](TWriter& w) { w.WriteWideStringValue(u"A\u20AC"); },
       std::string("\x12\x02\0\0\0A\0\xAC\x20", 9)},
      {"signature, list, end",
       [](TWriter& w) {
         w.WriteFormSignature();
         w.WriteListStart();
         w.WriteEndMarker();
       },
       std::string("TPF0\x01\x00", 6)},
      {"binary",
       [](TWriter& w) {
         w.WriteBinaryValue([](TStream& s) { s.WriteBuffer("\x01\x02\x03", 3); });
       },
       FormBytes().Binary("\x01\x02\x03")},
      {"empty binary", [](TWriter& w) { w.WriteBinaryValue([](TStream&) {}); },
       FormBytes().Binary("")},
  };
  for (const auto& c : cases) EXPECT_EQ(Written(c.write), c.bytes) << c.what;
}

TEST(WriterTest, FailingFillerFailsTheValue) {
  TMemoryStream stream;
  TWriter writer(stream);
  writer.WriteTag(TagList);
  ExpectFailure<EReadError>(
      [&] {
        writer.WriteBinaryValue([](TStream& data) {
          data.WriteBuffer("\x01\x02", 2);
          throw EReadError("Stream read error");
        });
      },
      "Stream read error");
}

TEST(WriterTest, BinaryValueLengthIsFilledInAfterTheData) {
  TMemoryStream stream;
  {
    TWriter writer(stream);
    writer.WriteTag(TagList);
    writer.WriteBinaryValue([](TStream& data) {
      data.WriteBuffer(std::string(5000, 'x'));
      data.WriteBuffer("yz", 2);
    });
    writer.WriteEndMarker();
  }
  const std::string& bytes = stream.Bytes();
  ASSERT_EQ(bytes.size(), 1 + 1 + 4 + 5002 + 1u);
  EXPECT_EQ(bytes.substr(0, 6), std::string("\x01\x0A\x8A\x13\x00\x00", 6));
  EXPECT_EQ(bytes.substr(6 + 4998, 4), "xxyz");
  EXPECT_EQ(bytes.back(), '\0');
}

TEST(WriterTest, LargeWritesCrossTheBufferInOrder) {
  std::string data;
  for (int i = 0; i < 20000; ++i) data += static_cast<char>(i * 7);
  TMemoryStream stream;
  {
    TWriter writer(stream, 100);
    writer.WriteTag('<');
    writer.WriteBytes(data);
    writer.WriteTag('>');
  }
  EXPECT_EQ(stream.Bytes(), "<" + data + ">");
}

TEST(WriterTest, ReleaseSpillsAlsoWhenAFailurePasses) {
  TMemoryStream stream;
  try {
    TWriter writer(stream);
    writer.WriteBytes("partial");
    throw EReadError("Stream read error");
  } catch (const EReadError&) {
  }
  EXPECT_EQ(stream.Bytes(), "partial");
}

TEST(WriterTest, FlushReportsAShortWriteAndReleaseDoesNotThrow) {
  LimitedStream stream(3);
  {
    TWriter writer(stream);
    writer.WriteBytes("abcdef");
    ExpectFailure<EWriteError>([&] { writer.Flush(); }, "Stream write error");
    writer.WriteBytes("gh");
  }
  EXPECT_EQ(stream.Bytes(), "abc");
}

TEST(ReaderTest, FloatReadersAcceptIntegers) {
  TMemoryStream in(FormBytes().Int8(5).Int8(5).Int8(5).Int16(-3).Int32(100000).Bytes());
  TReader reader(in);
  EXPECT_EQ(reader.ReadExtendedValue(), 5.0L);
  EXPECT_EQ(reader.ReadCurrencyValue(), 50000);
  EXPECT_EQ(reader.ReadSingleValue(), 5.0f);
  EXPECT_EQ(reader.ReadDoubleValue(), -3.0);
  EXPECT_EQ(reader.ReadCurrencyValue(), 1000000000);
}

TEST(ReaderTest, TypedValuesRoundTrip) {
  std::string bytes = Written([](TWriter& w) {
    w.WriteExtendedValue(-2.5e-7L);
    w.WriteSingleValue(0.1f);
    w.WriteCurrencyValue(INT64_MIN);
    w.WriteDoubleValue(1e300);
    w.WriteWideStringValue(u"\u20ACx");
    w.WriteStringValue(std::string(300, 'q'));
    w.WriteIdentValue("clRed");
  });
  TMemoryStream in(bytes);
  TReader reader(in);
  EXPECT_EQ(reader.ReadExtendedValue(), -2.5e-7L);
  EXPECT_EQ(reader.ReadSingleValue(), 0.1f);
  EXPECT_EQ(reader.ReadCurrencyValue(), INT64_MIN);
  EXPECT_EQ(reader.ReadDoubleValue(), 1e300);
  EXPECT_EQ(reader.ReadWideStringValue(), u"\u20ACx");
  EXPECT_EQ(reader.ReadStringValue(), std::string(300, 'q'));
  EXPECT_EQ(reader.ReadIdentValue(), "clRed");
  EXPECT_EQ(reader.Position(), static_cast<std::int64_t>(bytes.size()));
}

TEST(ReaderTest, MalformedInputFails) {
  struct Case {
    const char* what;
    std::function<void(TReader&)> read;
    std::string bytes;
    const char* message = "Invalid property value";
  };
  const std::string tail(100, 'z');
  auto signature = [](TReader& r) { r.CheckSignature(); };
  const Case cases[] = {
      // Typed reads reject other tags.
      {"integer", [](TReader& r) { r.ReadIntegerValue(); }, FormBytes().Str("1")},
      {"extended", [](TReader& r) { r.ReadExtendedValue(); }, FormBytes().Byte(TagTrue)},
      {"single", [](TReader& r) { r.ReadSingleValue(); }, FormBytes().Byte(TagExtended)},
      {"currency", [](TReader& r) { r.ReadCurrencyValue(); }, FormBytes().Byte(TagDouble)},
      {"double", [](TReader& r) { r.ReadDoubleValue(); }, FormBytes().Byte(TagCurrency)},
      {"string", [](TReader& r) { r.ReadStringValue(); }, FormBytes().Ident("x")},
      {"wide", [](TReader& r) { r.ReadWideStringValue(); }, FormBytes().Str("x")},
      {"ident", [](TReader& r) { r.ReadIdentValue(); }, FormBytes().Str("x")},
      {"ident above 18", [](TReader& r) { r.ReadIdentValue(); }, FormBytes().Byte(0x87).Short("x")},
      {"expect", [](TReader& r) { r.ExpectTag(TagList); }, FormBytes().Byte(TagCollection)},
      {"end marker", [](TReader& r) { r.ExpectEndMarker(); }, FormBytes().Byte(TagList)},
      // Huge lengths fail without allocating.
      {"long string 2^31", [](TReader& r) { r.ReadStringValue(); },
       FormBytes().Byte(TagLongString).U32(0x80000000u).Raw(tail)},
      {"long string 2e9", [](TReader& r) { r.ReadStringValue(); },
       FormBytes().Byte(TagLongString).U32(2000000000u).Raw(tail), "Stream read error"},
      {"wide 2^31", [](TReader& r) { r.ReadWideStringValue(); },
       FormBytes().Byte(TagWideString).U32(0xFFFFFFFFu).Raw(tail)},
      {"wide 2e9", [](TReader& r) { r.ReadWideStringValue(); },
       FormBytes().Byte(TagWideString).U32(2000000000u).Raw(tail), "Stream read error"},
      {"count 2^31", [](TReader& r) { r.ReadCount(); }, FormBytes().U32(0x80000000u)},
      // The signature must be TPF0.
      {"TPF1", signature, "TPF1", "Invalid stream format"},
      {"text form", signature, "object Form1", "Invalid stream format"},
      {"lower case", signature, "tpf0", "Invalid stream format"},
      {"short", signature, "TP", "Stream read error"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TMemoryStream in(c.bytes);
    TReader reader(in);
    ExpectFailure<EReadError>([&] { c.read(reader); }, c.message);
  }
  TMemoryStream good("TPF0");
  TReader(good).CheckSignature();
}

TEST(ReaderTest, ObjectPrefixVariants) {
  struct Case {
    std::string bytes;
    std::uint8_t flags;
    std::int32_t childPos;
    std::int64_t consumed;
  };
  const Case cases[] = {
      {FormBytes().Short("TForm1"), 0, 0, 0},
      {FormBytes().Prefix(PrefixInherited).Short("T"), 1, 0, 1},
      {FormBytes().Prefix(PrefixChildPos).Int8(2).Short("T"), 2, 2, 3},
      {FormBytes().Prefix(3).Int16(-300).Short("T"), 3, -300, 4},
      {FormBytes().Prefix(PrefixInline).Short("T"), 4, 0, 1},
      {FormBytes().Prefix(0).Short("T"), 0, 0, 1},
  };
  for (const auto& c : cases) {
    TMemoryStream in(c.bytes);
    TReader reader(in);
    ObjectPrefix prefix = reader.ReadObjectPrefix();
    EXPECT_EQ(prefix.flags, c.flags);
    EXPECT_EQ(prefix.childPos, c.childPos);
    EXPECT_EQ(reader.Position(), c.consumed);
  }
}

TEST(ReaderTest, PeekAfterRefillLeavesTheByteUnread) {
  TMemoryStream in("abcd");
  TReader reader(in, 2);
  EXPECT_EQ(reader.ReadTag(), 'a');
  EXPECT_EQ(reader.ReadTag(), 'b');
  EXPECT_EQ(reader.PeekTag(), 'c');
  EXPECT_FALSE(reader.AtEndMarker());
  EXPECT_EQ(reader.ReadTag(), 'c');
  EXPECT_EQ(reader.Position(), 3);
}

TEST(ReaderTest, ReadBytesCrossesRefills) {
  std::string data;
  for (int i = 0; i < 10000; ++i) data += static_cast<char>(i * 13);
  TMemoryStream in(data);
  TReader reader(in, 7);
  std::string out(data.size(), '\0');
  reader.ReadBytes(out.data(), 3);
  reader.ReadBytes(out.data() + 3, data.size() - 3);
  EXPECT_EQ(out, data);
  ExpectFailure<EReadError>([&] { reader.ReadTag(); }, "Stream read error");
}

TEST(ReaderTest, ReleaseMovesTheStreamBackToTheLastByteConsumed) {
  TMemoryStream in(std::string(10000, 'x'));
  {
    TReader reader(in);
    reader.ReadBytes(std::string(5000, '\0').data(), 5000);
    reader.PeekTag();
    EXPECT_EQ(in.Position(), 8192);
  }
  EXPECT_EQ(in.Position(), 5000);
}

TEST(ReaderTest, NullInAListEndsIt) {
  std::string bytes = Written([](TWriter& w) {
    w.WriteListStart();
    w.WriteIdentValue("Null");
    w.WriteEndMarker();
  });
  TMemoryStream in(bytes);
  TReader reader(in);
  reader.ExpectTag(TagList);
  EXPECT_TRUE(reader.AtEndMarker());
  reader.ExpectEndMarker();
  EXPECT_TRUE(reader.AtEndMarker());
}

TEST(ReaderTest, TruncatedValuesFailWithStreamReadError) {
  std::string full = Written([](TWriter& w) {
    w.WriteIntegerValue(100000);
    w.WriteExtendedValue(3.25L);
    w.WriteStringValue("hello");
    w.WriteStringValue(std::string(300, 's'));
    w.WriteWideStringValue(u"wide");
    w.WriteCurrencyValue(7);
    w.WriteIdentValue("ident");
  });
  for (std::size_t cut = 0; cut < full.size(); ++cut) {
    SCOPED_TRACE(cut);
    TMemoryStream in(full.substr(0, cut));
    TReader reader(in);
    ExpectFailure<EReadError>(
        [&] {
          reader.ReadIntegerValue();
          reader.ReadExtendedValue();
          reader.ReadStringValue();
          reader.ReadStringValue();
          reader.ReadWideStringValue();
          reader.ReadCurrencyValue();
          reader.ReadIdentValue();
        },
        "Stream read error");
  }
}

}  // namespace
}  // namespace reshape
