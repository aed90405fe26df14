// The kinds of the values in a binary form stream, in stream order, as one string: what a
// round trip through the text form must keep even where the exact tag may change (an integer
// stored in fewer bytes, a single value as an extended one, a short wide string as a byte
// string, the identifier True as its own tag).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "forms/form_stream.h"
#include "fuzz/binary_value.h"
#include "fuzz/fuzz_support.h"

namespace reshape::fuzz {

namespace kinds {

// Identifiers that the text form cannot tell from the words it writes for infinite and
// not-a-number floats; they come back as floats.
inline bool IsFloatWord(std::string_view name) {
  for (std::string_view word : {"INF", "NAN"}) {
    if (!name.starts_with(word)) continue;
    std::string_view rest = name.substr(word.size());
    if (rest.empty() || rest == "s" || rest == "d") return true;
  }
  return false;
}

class KindWalker {
 public:
  explicit KindWalker(FormReader& reader) : reader_(reader) {}

  void Object() {
    reader_.ReadObjectPrefix();
    reader_.ReadShortString();
    reader_.ReadShortString();
    kinds_ += 'o';
    Properties();
    while (!reader_.AtEndMarker()) Object();
    reader_.ReadTag();
    kinds_ += 'e';
  }

  const std::string& Kinds() const { return kinds_; }

 private:
  void Properties() {
    while (!reader_.AtEndMarker()) {
      reader_.ReadShortString();
      Value();
    }
    reader_.ReadTag();
  }

  void Value() {
    switch (reader_.PeekTag()) {
      case TagList:
        reader_.ReadTag();
        kinds_ += '(';
        while (!reader_.AtEndMarker()) Value();
        reader_.ReadTag();
        kinds_ += ')';
        return;
      case TagSet:
        reader_.ReadTag();
        while (!reader_.ReadShortString().empty()) {
        }
        kinds_ += '[';
        return;
      case TagCollection:
        reader_.ReadTag();
        kinds_ += '<';
        while (!reader_.AtEndMarker()) {
          std::uint8_t tag = reader_.PeekTag();
          if (tag == TagInt8 || tag == TagInt16 || tag == TagInt32) reader_.ReadIntegerValue();
          reader_.ExpectTag(TagList);
          Properties();
        }
        reader_.ReadTag();
        kinds_ += '>';
        return;
      case TagBinary:
        SkipBinaryValue(reader_);
        kinds_ += '{';
        return;
      case TagExtended: reader_.ReadExtendedValue(); kinds_ += 'n'; return;
      case TagSingle: reader_.ReadSingleValue(); kinds_ += 'n'; return;
      case TagDouble: reader_.ReadDoubleValue(); kinds_ += 'n'; return;
      case TagInt8:
      case TagInt16:
      case TagInt32: reader_.ReadIntegerValue(); kinds_ += 'n'; return;
      case TagInt64: reader_.ReadInt64Value(); kinds_ += 'n'; return;
      case TagCurrency: reader_.ReadCurrencyValue(); kinds_ += 'c'; return;
      case TagUtf8String: reader_.ReadUtf8StringValue(); kinds_ += 's'; return;
      case TagString:
      case TagLongString: reader_.ReadStringValue(); kinds_ += 's'; return;
      case TagWideString: reader_.ReadWideStringValue(); kinds_ += 's'; return;
      case TagIdent: kinds_ += IsFloatWord(reader_.ReadIdentValue()) ? 'n' : 'i'; return;
      default: reader_.ReadIdentValue(); kinds_ += 'i'; return;
    }
  }

  FormReader& reader_;
  std::string kinds_;
};

}  // namespace kinds

// The kinds of a binary form stream that begins with its signature; false when it does not
// read.
inline bool ValueKinds(const std::string& stream, std::string& result) {
  return Accepts([&] {
    FormReader reader(stream);
    reader.CheckSignature();
    kinds::KindWalker walker(reader);
    walker.Object();
    result = walker.Kinds();
  });
}

// Aborts when the second stream holds other kinds of values than the first.
inline void CheckSameKinds(const std::string& original, const std::string& again,
                           const char* what) {
  std::string before;
  std::string after;
  Check(ValueKinds(original, before), "a stream that converted to text does not read");
  Check(ValueKinds(again, after), "a compiled stream does not read");
  CheckSameText(before, after, what);
}

}  // namespace reshape::fuzz
