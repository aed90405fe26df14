// Turns a binary form stream into its text form: one line per object header and property,
// indented two spaces per level, lines ending in CR LF.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/code_page.h"

namespace reshape {

// Where one value of the text form came from: the offset of its first token in the text, and
// its bytes (tag and payload) in the form file. Leaf values, list elements, sets, binary
// blocks and collection item indexes have one, and so has an object prefix (its byte and child
// position), at its header's keyword; lists and collections as a whole do not.
struct ValueSpan {
  std::size_t textOffset;
  std::size_t begin;
  std::size_t end;
};

// The values of a form, which the text form cannot always say in the same bytes (floats,
// integer widths, string kinds): the compiler copies each value that the rules leave alone
// from here, and keeps the resource header and the bytes after the form stream.
struct OriginalValues {
  std::string_view formFile;
  std::vector<ValueSpan> spans;  // in text order
  std::size_t streamAt = 0;      // where the form stream starts in the file
  std::size_t streamEnd = 0;     // just past its root object
};

// The last value that a conversion began to read: its tag byte and that byte's offset in the
// form file. After a failure it names the value that could not be read.
struct ValuePlace {
  bool any = false;
  std::uint8_t tag = 0;
  std::size_t offset = 0;
};

// The whole form file (resource header, then the form stream) to its text form. originals,
// when given, is filled; it refers to formFile.
// lastValue, when given, follows the values as they are read.
std::string FormFileToText(std::string_view formFile, CodePage codePage,
                           OriginalValues* originals = nullptr, ValuePlace* lastValue = nullptr);

// The form stream (from its signature on) to the text of the one object tree it holds; bytes
// after the root object are not looked at. Long strings are split so that no double-byte
// character of codePage is cut in two. consumed, when given, receives the number of bytes
// read.
std::string FormStreamToText(std::string_view stream, CodePage codePage,
                             std::size_t* consumed = nullptr);

// One value (tag and payload) as the text form writes it: a number, identifier or set in one
// line, exactly as after "Name = " in a form's text.
std::string FormValueToText(std::string_view value);

}  // namespace reshape
