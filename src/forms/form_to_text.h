// Prints the text form of a form read from a binary form file: one line per object header and
// property, indented two spaces per level, lines ending in CR LF.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/code_page.h"
#include "forms/form_tree.h"

namespace reshape {

// The text of a tree read by the binary reader, with what the rules made of it (new names,
// removed properties, set elements). Notes on the tree the lines at which the rules act: each
// property's, and each object's after its header and after its own property list. Long
// strings are split so that no double-byte character of codePage is cut in two.
std::string PrintFormText(FormTree& tree, CodePage codePage);

// The whole form file (resource header, then the form stream) to its text form.
std::string FormFileToText(std::string_view formFile, CodePage codePage);

// The form stream (from its signature on) to the text of the one object tree it holds; bytes
// after the root object are not looked at. consumed, when given, receives the number of bytes
// read.
std::string FormStreamToText(std::string_view stream, CodePage codePage,
                             std::size_t* consumed = nullptr);

// One single value (tag and payload: a number, string or identifier) as the text form writes
// it after "Name = ".
std::string FormValueToText(std::string_view value);

}  // namespace reshape
