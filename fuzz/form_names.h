// Tells whether every name in a binary form stream can be read back from the text form as the
// same name. The text form writes names as they are, so a class, object, property, identifier
// or set element name that is not an identifier (a blank, a control byte, a quote) comes back
// different or not at all; the exact round trip of the text form holds only for streams without
// such names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "forms/form_stream.h"
#include "fuzz/binary_value.h"
#include "fuzz/fuzz_support.h"

namespace reshape::fuzz {

namespace names {

inline bool IsIdentStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
inline bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }

inline bool IsIdentifier(std::string_view name) {
  if (name.empty() || !IsIdentStart(name.front())) return false;
  for (char c : name)
    if (!IsIdentChar(c)) return false;
  return true;
}

// Identifiers joined by single dots.
inline bool IsDottedIdentifier(std::string_view name) {
  for (;;) {
    std::size_t dot = name.find('.');
    if (!IsIdentifier(name.substr(0, dot))) return false;
    if (dot == std::string_view::npos) return true;
    name.remove_prefix(dot + 1);
  }
}


class NameWalker {
 public:
  explicit NameWalker(FormReader& reader) : reader_(reader) {}

  bool Object() {
    reader_.ReadObjectPrefix();
    std::string_view className = reader_.ReadShortString();
    std::string_view objectName = reader_.ReadShortString();
    // A class name of 240 bytes or more (possible after a prefix byte) is refused by the
    // compiler, since without the prefix its length byte would read as one.
    if (!IsIdentifier(className) || className.size() >= kMaxClassNameLength ||
        !(objectName.empty() || IsIdentifier(objectName)))
      return false;
    if (!Properties()) return false;
    while (!reader_.AtEndMarker())
      if (!Object()) return false;
    reader_.ReadTag();
    return true;
  }

 private:
  bool Properties() {
    while (!reader_.AtEndMarker())
      if (!IsDottedIdentifier(reader_.ReadShortString()) || !Value()) return false;
    reader_.ReadTag();
    return true;
  }

  bool Value() {
    switch (reader_.PeekTag()) {
      case TagList:
        reader_.ReadTag();
        while (!reader_.AtEndMarker())
          if (!Value()) return false;
        reader_.ReadTag();
        return true;
      case TagIdent: return IsDottedIdentifier(reader_.ReadIdentValue());
      case TagSet:
        reader_.ReadTag();
        for (std::string element; !(element = reader_.ReadShortString()).empty();)
          if (!IsIdentifier(element)) return false;
        return true;
      case TagCollection:
        reader_.ReadTag();
        while (!reader_.AtEndMarker()) {
          std::uint8_t tag = reader_.PeekTag();
          if (tag == TagInt8 || tag == TagInt16 || tag == TagInt32) reader_.ReadIntegerValue();
          reader_.ExpectTag(TagList);
          if (!Properties()) return false;
        }
        reader_.ReadTag();
        return true;
      case TagBinary: SkipBinaryValue(reader_); return true;
      case TagExtended: reader_.ReadExtendedValue(); return true;
      case TagSingle: reader_.ReadSingleValue(); return true;
      case TagCurrency: reader_.ReadCurrencyValue(); return true;
      case TagDouble: reader_.ReadDoubleValue(); return true;
      case TagInt8:
      case TagInt16:
      case TagInt32: reader_.ReadIntegerValue(); return true;
      case TagString:
      case TagLongString: reader_.ReadStringValue(); return true;
      case TagWideString: reader_.ReadWideStringValue(); return true;
      default: reader_.ReadIdentValue(); return true;
    }
  }

  FormReader& reader_;
};

}  // namespace names

// The stream begins with the form signature. False also when the stream does not read.
inline bool HasOnlyIdentifierNames(std::string_view stream) {
  bool identifiers = false;
  Accepts([&] {
    FormReader reader(stream);
    reader.CheckSignature();
    names::NameWalker walker(reader);
    identifiers = walker.Object();
  });
  return identifiers;
}

}  // namespace reshape::fuzz
